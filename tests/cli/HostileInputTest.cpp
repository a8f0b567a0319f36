// Every qorvel command on damaged input: exit code 2, one line on stderr, and no file created or changed.
// Also what an interrupted create leaves (nothing), and names beginning with "~", which the host allows.
#include "CliTestFiles.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>

namespace {

const QByteArray kScenario = R"({
  "tables": [{"name": "T", "fields": [{"name": "a", "type": "Long"}], "rows": [[1]]}],
  "queries": [{"name": "Q", "sql": "SELECT a FROM T"},
              {"name": "~Other", "sql": "SELECT a FROM Q"},
              {"name": "Top", "sql": "SELECT a FROM [~Other]"}]
})";

class HostileInputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString path(const QString& name) const { return folder.filePath(name); }
    QStringList entries() const { return folderEntries(QDir(folder.path())); }

    // A database built from the scenario, named `name`.
    QString goodDatabase(const QString& name) {
        writeFile(path("scenario.json"), kScenario);
        const QorvelRun run = runQorvel({"create", path(name), "--from", path("scenario.json")});
        EXPECT_EQ(run.exitCode, 0) << run.errText().toStdString();
        return path(name);
    }

    // The contents of every file of the folder, by name.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> files;
        for (const QString& name : entries()) {
            files.insert(name, readFileBytes(path(name)));
        }
        return files;
    }

    QTemporaryDir folder;
};

void runSql(const QString& database, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// The commands that open a database, with DB standing for its path.
const QList<QStringList> kDatabaseCommands = {
    {"catalogue", "DB"},    {"catalogue", "DB", "Q"}, {"sql", "DB", "Q"},
    {"sources", "DB", "Q"}, {"fields", "DB", "Q"},    {"uses", "DB", "Q"},
    {"usedby", "DB", "T"},  {"export", "DB", "OUT"},  {"click", "DB", "Uses", "--object", "Q"},
};

TEST_F(HostileInputTest, DamagedDatabasesAreRefusedUntouched) {
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i) {
        noise[i] = char((i * 7919 + 13) % 251);
    }
    writeFile(path("empty.qdb"), {});
    writeFile(path("text.qdb"), "not a database\n");
    writeFile(path("noise.qdb"), noise);
    runSql(path("foreign.qdb"), "CREATE TABLE x (a); INSERT INTO x VALUES (1);");
    runSql(goodDatabase("no-queries.qdb"), "DROP TABLE MSysQueries;");
    runSql(goodDatabase("no-objects.qdb"), "DROP TABLE MSysObjects;");
    QFile::remove(path("scenario.json"));
    const QMap<QString, QByteArray> before = snapshot();
    for (const QString& database : before.keys()) {
        for (QStringList command : kDatabaseCommands) {
            command.replaceInStrings(QRegularExpression("^DB$"), path(database));
            command.replaceInStrings(QRegularExpression("^OUT$"), path("out.json"));
            SCOPED_TRACE(command.join(' ').toStdString());
            const QorvelRun run = runQorvel(command);
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_TRUE(run.oneErrorLine()) << run.errText().toStdString();
            EXPECT_EQ(snapshot(), before);
        }
    }
}

// A command that only reads leaves a sound database byte for byte as it was, with no -wal or -shm beside it.
TEST_F(HostileInputTest, ReadingCommandsLeaveASoundDatabaseAsItWas) {
    const QString database = goodDatabase("good.qdb");
    const QMap<QString, QByteArray> before = snapshot();
    for (const QStringList& command : {QStringList{"catalogue", database}, QStringList{"sql", database, "Q"},
                                       QStringList{"catalogue", database, "Q"}}) {
        const QorvelRun run = runQorvel(command);
        EXPECT_EQ(run.exitCode, 0) << run.errText().toStdString();
        EXPECT_EQ(snapshot(), before);
    }
    EXPECT_EQ(runQorvel({"export", database, path("out.json")}).exitCode, 0);
    QFile::remove(path("out.json"));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(HostileInputTest, DamagedJsonAndSqlAreRefusedWithoutADatabase) {
    const QByteArray hugeSql = "SELECT a FROM T WHERE " + QByteArray(10 * 1024 * 1024, '(');
    const QList<QByteArray> inputs = {
        QByteArray(kScenario).chopped(40),                   // truncated
        R"({"tables": {"name": "T"}})",                      // an object for an array
        R"({"queries": [{"name": 7, "sql": "SELECT 1"}]})",  // a number for a name
        R"({"tables": [{"name": "T", "fields": [{"name": "a", "type": "Long"}], "rows": [["x"]]}]})",
        "{\"queries\": [{\"name\": \"Q\xff\xfe\", \"sql\": \"SELECT 1\"}]}",  // invalid UTF-8
        R"({"queries": [{"name": "Q", "sql": ")" + hugeSql + R"("}]})",
        R"({"queries": [{"name": "Q", "sql": "SELECT 1"}], "queries": []})",
        R"({"queries": [{"name": "Q", "sql": "SELECT a\r\nb\r\nFROM T"}]})",  // the message quotes line
                                                                              // breaks
    };
    for (const QByteArray& json : inputs) {
        SCOPED_TRACE(json.left(80).toStdString());
        writeFile(path("input.json"), json);
        const QorvelRun run = runQorvel({"create", path("db.qdb"), "--from", path("input.json")});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.oneErrorLine()) << run.errText().left(200).toStdString();
        EXPECT_EQ(entries(), QStringList{"input.json"});
    }
}

TEST_F(HostileInputTest, ArgumentsThatAreNotUtf8AreRefused) {
    const QString database = goodDatabase("good.qdb");
    const QMap<QString, QByteArray> before = snapshot();
    writeFile(path("bad.sql"), "SELECT \xff\xfe FROM t");
    const QorvelRun colour = runQorvel({"colour", path("bad.sql")});
    EXPECT_EQ(colour.exitCode, 2);
    EXPECT_TRUE(colour.oneErrorLine()) << colour.errText().toStdString();
    QFile::remove(path("bad.sql"));

    // QProcess passes arguments as UTF-8; a name that is not text reaches qorvel through a shell.
    QProcess shell;
    shell.start("/bin/sh", {"-c", QStringLiteral("exec '%1' sql '%2' \"$(printf 'Q\\377')\"")
                                      .arg(QStringLiteral(QORVEL_BINARY_DIR "/bin/qorvel"), database)});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_EQ(shell.readAllStandardError().count('\n'), 1);
    EXPECT_EQ(snapshot(), before);
}

// An interrupted create removes its hidden database and the -wal and -shm files beside it.
TEST_F(HostileInputTest, InterruptedCreateLeavesNothing) {
    QByteArray json = R"({"queries": [)";
    for (int i = 0; i < 40000; ++i) {
        json += QStringLiteral(R"(%1{"name": "Q%2", "sql": "SELECT a FROM T%2 WHERE b = %2"})")
                    .arg(i ? "," : "")
                    .arg(i)
                    .toUtf8();
    }
    json += "]}";
    writeFile(path("big.json"), json);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess process;
        process.start(QStringLiteral(QORVEL_BINARY_DIR "/bin/qorvel"),
                      {"create", path("big.qdb"), "--from", path("big.json")});
        ASSERT_TRUE(process.waitForStarted());
        // Wait until the build has its hidden file, then interrupt it.
        bool building = false;
        for (int wait = 0; wait < 3000 && !building; ++wait) {
            building = entries().filter(".building").size() >= 2;
            QThread::msleep(2);
        }
        ASSERT_TRUE(building) << "the build never started";
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(entries(), QStringList{"big.json"});
    }
}

// A create removes what a killed earlier run for the same target left, and nothing of a run still going.
TEST_F(HostileInputTest, CreateRemovesDebrisOfEarlierRuns) {
    const QString dead = ".db.qdb.2147480000-0b5e2a8a-1c1e-4b8e-9a11-111111111111.building";
    const QString old = ".db.qdb.0b5e2a8a-1c1e-4b8e-9a11-222222222222.building";
    const QString alive = QStringLiteral(".db.qdb.%1-0b5e2a8a-1c1e-4b8e-9a11-333333333333.building")
                              .arg(QCoreApplication::applicationPid());
    for (const QString& name :
         {dead, dead + "-wal", dead + "-shm", old, alive, QString(".other.qdb.1-x.building")}) {
        writeFile(path(name), "debris");
    }
    writeFile(path("scenario.json"), kScenario);
    EXPECT_EQ(runQorvel({"create", path("db.qdb"), "--from", path("scenario.json")}).exitCode, 0);
    EXPECT_EQ(entries(), (QStringList{".db.qdb.%1-0b5e2a8a-1c1e-4b8e-9a11-333333333333.building",
                                      ".other.qdb.1-x.building", "db.qdb", "scenario.json"})
                             .replaceInStrings("%1", QString::number(QCoreApplication::applicationPid())));
}

// The host lets a query's name begin with "~" (the add-in's own temporary queries do); so does every command.
TEST_F(HostileInputTest, NamesBeginningWithTildeAreObjectsLikeAnyOther) {
    const QString database = goodDatabase("good.qdb");
    const QorvelRun uses = runQorvel({"uses", database, "~Other"});
    EXPECT_EQ(uses.exitCode, 0) << uses.errText().toStdString();
    EXPECT_EQ(uses.outText(), "~Other\n    Q\n        T\n");
    const QorvelRun usedBy = runQorvel({"usedby", database, "~other"});
    EXPECT_EQ(usedBy.exitCode, 0) << usedBy.errText().toStdString();
    EXPECT_EQ(usedBy.outText(), "~Other\n    Top\n");
    const QorvelRun click = runQorvel({"click", database, "Uses", "--object", "~Other"});
    EXPECT_EQ(click.exitCode, 0) << click.errText().toStdString();
    EXPECT_EQ(click.outText(), "tree 1 ~Other\n");
}

}  // namespace
