// Shared pieces of the tree tests: a database built from a JSON scenario in a temporary folder, the host
// made current, and a prompter that records every message.
#pragma once

#include "catalogue/AccessApplication.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

class RecordingPrompter : public platform::Prompter {
public:
    platform::MsgResult msgBox(const platform::Message& message) override {
        messages.push_back(message);
        return platform::MsgResult::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }

    QStringList texts() const {
        QStringList all;
        for (const auto& message : messages) {
            all << message.text;
        }
        return all;
    }
    std::vector<platform::Message> messages;
};

inline QString readTestFile(const QString& name) {
    QFile file(QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << name.toStdString();
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

inline qdb::FormSpec formFromJson(const QJsonObject& object) {
    qdb::FormSpec form;
    form.name = object.value(QStringLiteral("name")).toString();
    form.recordSource = object.value(QStringLiteral("recordSource")).toString();
    form.description = object.value(QStringLiteral("description")).toString();
    for (const QJsonValue& control : object.value(QStringLiteral("controls")).toArray()) {
        form.controls.push_back(
            {control[QStringLiteral("name")].toString(), control[QStringLiteral("rowSource")].toString()});
    }
    return form;
}

// Builds the database of a scenario file: tables, queries, forms and reports as the JSON database format
// writes them; tables listed under "dropped" are created and dropped again, so queries name missing tables.
inline void buildScenario(qdb::QdbDatabase& database, const QString& scenarioFile) {
    const QJsonObject scenario = QJsonDocument::fromJson(readTestFile(scenarioFile).toUtf8()).object();
    for (const QJsonValue& value : scenario.value(QStringLiteral("tables")).toArray()) {
        qdb::TableSpec table;
        table.name = value[QStringLiteral("name")].toString();
        table.description = value[QStringLiteral("description")].toString();
        for (const QJsonValue& field : value[QStringLiteral("fields")].toArray()) {
            table.fields.push_back(
                {field[QStringLiteral("name")].toString(), field[QStringLiteral("type")].toString()});
        }
        database.createTable(table);
    }
    for (const QJsonValue& value : scenario.value(QStringLiteral("queries")).toArray()) {
        database.createQueryDef(value[QStringLiteral("name")].toString(),
                                value[QStringLiteral("sql")].toString());
        const QString description = value[QStringLiteral("description")].toString();
        if (!description.isEmpty()) {
            database.setDescription(QStringLiteral("Tables"), value[QStringLiteral("name")].toString(),
                                    description);
        }
    }
    for (const QJsonValue& value : scenario.value(QStringLiteral("forms")).toArray()) {
        database.saveForm(formFromJson(value.toObject()));
    }
    for (const QJsonValue& value : scenario.value(QStringLiteral("reports")).toArray()) {
        database.saveReport(formFromJson(value.toObject()));
    }
    for (const QJsonValue& value : scenario.value(QStringLiteral("dropped")).toArray()) {
        database.dropTable(value.toString());
    }
}

// A scenario database made the host's open database, with the recording prompter installed.
class ScenarioTest : public ::testing::Test {
protected:
    explicit ScenarioTest(QString scenarioFile) : mScenarioFile(std::move(scenarioFile)) {}

    void SetUp() override {
        ASSERT_TRUE(mFolder.isValid());
        database = qdb::QdbDatabase::create(mFolder.filePath(QStringLiteral("trees.qdb")));
        buildScenario(*database, mScenarioFile);
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        AccessApplication = application.get();
        platform::services().prompter = &prompter;
    }

    void TearDown() override {
        AccessApplication = nullptr;
        platform::services() = platform::Services();
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
};
