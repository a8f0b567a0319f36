// What the commands that read a database print (uses, usedby, click, sources, fields), for every object of
// the sample database and of the test scenarios, compared with reference files (data/outputs/*.txt). The
// references were recorded before the add-in's internals were reshaped, so any change of behaviour shows up
// as a readable diff. QORVEL_UPDATE_REFERENCES=1 rewrites them; QORVEL_PROGRAM runs another qorvel build.
#include "CliTestFiles.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Scenario {
    const char* name;
    const char* json;  // from the repository's top folder
};

const Scenario kScenarios[] = {
    {"sample", "samples/sample.json"},
    {"scenario", "tests/cli/data/scenario.json"},
    {"shape", "tests/cli/data/shape_input.json"},
    {"shop", "tests/trees/data/shop.json"},
};

struct Object {
    QString type;
    QString name;
};

std::vector<Object> objectsOf(const QString& jsonFile) {
    const QJsonObject root = QJsonDocument::fromJson(readFileBytes(jsonFile)).object();
    std::vector<Object> objects;
    const std::pair<const char*, const char*> kinds[] = {
        {"tables", "table"}, {"queries", "query"}, {"forms", "form"}, {"reports", "report"}};
    for (const auto& [key, type] : kinds) {
        for (const QJsonValue& value : root.value(QLatin1String(key)).toArray()) {
            objects.push_back({QString::fromLatin1(type), value[QStringLiteral("name")].toString()});
        }
    }
    return objects;
}

class CliOutputs : public ::testing::TestWithParam<Scenario> {
protected:
    // One command's outputs as a block of the transcript; the database path and the program's folder are
    // written as DB and BIN so that the transcript does not depend on where it was made.
    void record(const QStringList& arguments) {
        QStringList shown = arguments;
        shown.replaceInStrings(database, QStringLiteral("DB"));
        const QorvelRun run = runQorvel(arguments);
        const QString programFolder = QFileInfo(qorvelProgram()).absolutePath();
        transcript += QStringLiteral("$ qorvel '") + shown.join(QStringLiteral("' '")) +
                      QStringLiteral("'\n[exit ") + QString::number(run.exitCode) + QStringLiteral("]\n") +
                      run.outText().replace(programFolder, QStringLiteral("BIN"));
        if (!run.err.isEmpty()) {
            transcript +=
                QStringLiteral("[stderr]\n") + run.errText().replace(database, QStringLiteral("DB"));
        }
    }

    QTemporaryDir folder;
    QString database;
    QString transcript;
};

TEST_P(CliOutputs, MatchTheRecordedReference) {
    const Scenario& scenario = GetParam();
    ASSERT_TRUE(folder.isValid());
    database = folder.filePath(QStringLiteral("db.qdb"));
    const QString json = sourceFile(QString::fromLatin1(scenario.json));
    ASSERT_EQ(runQorvel({QStringLiteral("create"), database, QStringLiteral("--from"), json}).exitCode, 0);

    for (const char* id : {"QueryTemplates", "About", "Help", "Dependencies"}) {
        record({QStringLiteral("click"), database, QString::fromLatin1(id)});
    }
    for (const Object& object : objectsOf(json)) {
        const QStringList typed{object.name, QStringLiteral("--type"), object.type};
        for (const char* tree : {"uses", "usedby"}) {
            record(QStringList{QString::fromLatin1(tree), database} + typed);
        }
        record(QStringList{QStringLiteral("uses"), database} + typed +
               QStringList{QStringLiteral("--find"), QStringLiteral("ID")});
        record(QStringList{QStringLiteral("usedby"), database} + typed +
               QStringList{QStringLiteral("--find"), QStringLiteral("CustomerID"),
                           QStringLiteral("--whole-word")});
        if (object.type == QLatin1String("query") || object.type == QLatin1String("table")) {
            record({QStringLiteral("sources"), database, object.name});
            record({QStringLiteral("fields"), database, object.name});
        }
        for (const char* id : {"QueryEditor", "Uses", "UsesFind", "UsedBy", "UsedByFind"}) {
            record({QStringLiteral("click"), database, QString::fromLatin1(id), QStringLiteral("--object"),
                    object.name, QStringLiteral("--type"), object.type});
        }
    }
    // No build may leave a temporary query behind.
    record({QStringLiteral("catalogue"), database});

    const QString reference =
        testData(QStringLiteral("outputs/") + QString::fromLatin1(scenario.name) + QStringLiteral(".txt"));
    if (qEnvironmentVariableIsSet("QORVEL_UPDATE_REFERENCES")) {
        QDir().mkpath(QFileInfo(reference).absolutePath());
        writeFile(reference, transcript.toUtf8());
    }
    EXPECT_EQ(transcript.toStdString(), QString::fromUtf8(readFileBytes(reference)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Databases, CliOutputs, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
