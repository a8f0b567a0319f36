// Shared helpers of the engine's tests: a database in a temporary folder and error-number checks.
#pragma once

#include "common/ObjectRefPrinter.h"
#include "host/QdbDatabase.h"
#include "hostapi/host.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// The error number a call fails with, or 0 when it succeeds.
inline int errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::Error& error) {
        return error.number();
    }
    return 0;
}

// All values of one column of a statement's rows, as text (Null as "<null>").
inline QStringList column(host::Database& db, const QString& sql, const QString& field) {
    QStringList values;
    auto rs = db.openRecordset(sql, host::RecordsetType::Snapshot);
    while (!rs->eof()) {
        values << (rs->isNull(field) ? QStringLiteral("<null>") : rs->text(field));
        rs->moveNext();
    }
    return values;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mFolder.isValid());
        db = qdb::QdbDatabase::create(path());
    }
    QString path() const { return mFolder.filePath(QStringLiteral("test.qdb")); }
    void reopen() {
        db.reset();
        db = qdb::QdbDatabase::open(path());
    }

    QTemporaryDir mFolder;
    std::shared_ptr<qdb::QdbDatabase> db;
};
