// A real engine database in a temporary folder, made the current database of an add-in context for one
// test, with message boxes recorded instead of shown.
#pragma once

#include "catalogue/AddinContext.h"
#include "common/RecordingPrompter.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("test.qdb"));
        database = qdb::QdbDatabase::create(path);
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        platform::Services services;
        services.prompter = &prompter;
        mContext = std::make_unique<AddinContext>(application.get(), services);
    }

    // A table of text fields.
    void table(const QString& name, const QStringList& fields) {
        qdb::TableSpec spec;
        spec.name = name;
        for (const QString& field : fields) {
            spec.fields.push_back({field, QStringLiteral("Text")});
        }
        database->createTable(spec);
    }

    void query(const QString& name, const QString& sql) { database->createQueryDef(name, sql); }

    QStringList queryNames() {
        QStringList names;
        for (int i = 0; i < database->queryDefCount(); ++i) {
            names << database->queryDef(i)->name();
        }
        return names;
    }

    QTemporaryDir folder;
    QString path;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    RecordingPrompter prompter;
    std::unique_ptr<AddinContext> mContext;

    AddinContext& context() { return *mContext; }
};
