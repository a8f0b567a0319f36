// Shared pieces of the tree tests: a database built from a JSON scenario in a temporary folder, the host
// made current, and a prompter that records every message.
#pragma once

#include "catalogue/AddinContext.h"
#include "common/QStringPrinter.h"
#include "common/RecordingPrompter.h"
#include "common/TextFiles.h"
#include "host/HostApplication.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

inline QString readTestFile(const QString& name) {
    return readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name);
}

// Builds the database of a scenario file with the engine's own JSON loader.
inline void buildScenario(qdb::QdbDatabase& database, const QString& scenarioFile) {
    qdb::JsonDatabase::build(database, qdb::JsonDatabase::parse(readTestFile(scenarioFile).toUtf8()));
}

// A scenario database made the host's open database, in an add-in context with the recording prompter.
class ScenarioTest : public ::testing::Test {
protected:
    explicit ScenarioTest(QString scenarioFile) : mScenarioFile(std::move(scenarioFile)) {}

    void SetUp() override {
        ASSERT_TRUE(mFolder.isValid());
        database = qdb::QdbDatabase::create(mFolder.filePath(QStringLiteral("trees.qdb")));
        buildScenario(*database, mScenarioFile);
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        platform::Services services;
        services.prompter = &prompter;
        mContext = std::make_unique<AddinContext>(application.get(), services);
    }

    // Queries whose name starts with "~TemporaryQuery".
    QStringList temporaryQueries() const {
        QStringList names;
        for (int i = 0; i < database->queryDefCount(); ++i) {
            const QString name = database->queryDef(i)->name();
            if (name.startsWith(QStringLiteral("~TemporaryQuery"))) {
                names << name;
            }
        }
        return names;
    }

    QString mScenarioFile;
    QTemporaryDir mFolder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    RecordingPrompter prompter;
    std::unique_ptr<AddinContext> mContext;

    AddinContext& context() { return *mContext; }
};
