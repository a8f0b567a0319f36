// qorvel create: bad input is refused with one line on stderr and exit code 2, and never leaves a database
// file behind or damages the one that is there.
#include "CliTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kGood = R"({
  "tables": [{"name": "Orders", "fields": [{"name": "OrderID", "type": "Long"}], "rows": [[1], [2]]}],
  "queries": [{"name": "Order List", "sql": "SELECT Orders.* FROM Orders;"}]
})";

class CreateCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString path(const QString& name) const { return folder.filePath(name); }

    // Writes the JSON text and runs create on it.
    QorvelRun create(const QByteArray& json, QStringList options = {}) {
        writeFile(path("input.json"), json);
        return runQorvel(QStringList{"create", path("db.qdb"), "--from", path("input.json")} + options);
    }

    QStringList entries() const { return folderEntries(QDir(folder.path())); }

    QTemporaryDir folder;
};

struct BadInput {
    const char* what;
    QByteArray json;
    QString message;  // the whole line on stderr, after the input file's path where there is one
};

TEST_F(CreateCommandTest, BadInputIsRefusedAndLeavesNoFile) {
    const std::vector<BadInput> cases{
        {"malformed JSON", "{\n  \"tables\": [\n    {\"name\": Orders}\n  ]\n}",
         ": line 3, column 14: illegal number\n"},
        {"unknown field type",
         R"({"tables": [{"name": "Orders", "fields": [{"name": "OrderID", "type": "Lng"}]}]})",
         ": table 'Orders', field 'OrderID': unknown type 'Lng' (the types are Text, Memo, Byte, Integer, "
         "Long, "
         "Single, Double, Currency, DateTime, YesNo, AutoNumber)\n"},
        {"a query named like a table",
         R"({"tables": [{"name": "Orders", "fields": [{"name": "OrderID", "type": "Long"}]}],
             "queries": [{"name": "ORDERS", "sql": "SELECT 1;"}]})",
         ": duplicate query name 'ORDERS' (a table of that name comes earlier)\n"},
        {"two forms of one name", R"({"forms": [{"name": "Entry"}, {"name": "entry"}]})",
         ": duplicate form name 'entry' (a form of that name comes earlier)\n"},
        {"invalid query name", R"({"queries": [{"name": "Bad.Name", "sql": "SELECT 1;"}]})",
         ": invalid query name 'Bad.Name': the name contains '.'\n"},
        {"misspelt key", R"({"queries": [{"name": "Q", "sql": "SELECT 1;", "descripton": "x"}]})",
         ": query 'Q': unknown key 'descripton'\n"},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.what);
        const QorvelRun run = create(bad.json);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.errText(), "qorvel: " + path("input.json") + bad.message);
        EXPECT_EQ(entries(), QStringList{"input.json"});
    }
}

TEST_F(CreateCommandTest, InvalidQueryNamesTheQueryAndGivesTheEnginesMessage) {
    const QorvelRun run = create(R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"}]}],
        "queries": [{"name": "Good", "sql": "SELECT T.A FROM T;"},
                    {"name": "Bad One", "sql": "SELEKT A FROM T;"}]})");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.oneErrorLine()) << run.err.constData();
    EXPECT_TRUE(run.errText().startsWith("qorvel: query 'Bad One': ")) << run.err.constData();
    EXPECT_GT(run.errText().size(), QString("qorvel: query 'Bad One': \n").size());
    EXPECT_EQ(entries(), QStringList{"input.json"});
}

TEST_F(CreateCommandTest, ExistingDatabaseIsKeptWithoutForce) {
    writeFile(path("db.qdb"), "not replaced");
    const QorvelRun run = create(kGood);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(), "qorvel: '" + path("db.qdb") + "' exists; use --force to replace it\n");
    EXPECT_EQ(readFileBytes(path("db.qdb")), "not replaced");
    EXPECT_EQ(entries(), (QStringList{"db.qdb", "input.json"}));
}

TEST_F(CreateCommandTest, ForceKeepsTheOldDatabaseWhenTheBuildFails) {
    ASSERT_EQ(create(kGood).exitCode, 0);
    const QByteArray before = readFileBytes(path("db.qdb"));

    const QorvelRun failed =
        create(R"({"queries": [{"name": "Bad One", "sql": "SELECT FROM WHERE;"}]})", {"--force"});
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_TRUE(failed.errText().startsWith("qorvel: query 'Bad One': ")) << failed.err.constData();
    EXPECT_EQ(readFileBytes(path("db.qdb")), before);
    EXPECT_EQ(entries(), (QStringList{"db.qdb", "input.json"}));

    const QorvelRun sql = runQorvel({"sql", path("db.qdb"), "Order List"});
    EXPECT_EQ(sql.exitCode, 0);
    EXPECT_EQ(sql.out, "SELECT Orders.* FROM Orders;");
}

TEST_F(CreateCommandTest, ForceReplacesTheDatabase) {
    ASSERT_EQ(create(kGood).exitCode, 0);
    const QorvelRun run =
        create(R"({"queries": [{"name": "Other", "sql": "SELECT 1 AS One;"}]})", {"--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(runQorvel({"sql", path("db.qdb"), "Order List"}).exitCode, 1);
    EXPECT_EQ(runQorvel({"sql", path("db.qdb"), "Other"}).out, "SELECT 1 AS One;");
    EXPECT_EQ(entries(), (QStringList{"db.qdb", "input.json"}));
}

TEST_F(CreateCommandTest, UsageErrorsAndUnreadableInput) {
    const struct {
        QStringList arguments;
        QString message;
    } cases[]{
        {{"create", path("db.qdb")},
         "qorvel create: --from FILE.json is required; usage: qorvel create DB --from FILE.json [--force]\n"},
        {{"create", "--from", path("input.json")},
         "qorvel create: missing arguments; usage: qorvel create DB --from FILE.json [--force]\n"},
        {{"create", path("db.qdb"), "--from", path("missing.json")},
         "qorvel: cannot read '" + path("missing.json") + "': No such file or directory\n"},
        {{"create", path("no/such/folder/db.qdb"), "--from", path("missing.json")},
         "qorvel: cannot create '" + path("no/such/folder/db.qdb") + "': no folder '" +
             path("no/such/folder") + "'\n"},
    };
    for (const auto& usage : cases) {
        SCOPED_TRACE(usage.arguments.join(' ').toStdString());
        const QorvelRun run = runQorvel(usage.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.errText(), usage.message);
    }
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(CreateCommandTest, TheJsonFileIsNeverReplacedByTheDatabase) {
    writeFile(path("db.qdb"), kGood);
    const QorvelRun run = runQorvel({"create", path("db.qdb"), "--from", path("db.qdb"), "--force"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(),
              "qorvel create: DB and FILE.json are the same file; usage: qorvel create DB --from "
              "FILE.json [--force]\n");
    EXPECT_EQ(readFileBytes(path("db.qdb")), kGood);
}

TEST(CommandHelp, EveryCommandDescribesItself) {
    for (const QString command : {"create", "export", "catalogue", "sql"}) {
        SCOPED_TRACE(command.toStdString());
        const QorvelRun run = runQorvel({command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.startsWith("Usage: qorvel " + command.toUtf8() + ' ')) << run.out.constData();
        EXPECT_TRUE(run.err.isEmpty());
    }
}

TEST(CommandHelp, UnknownOptionIsAUsageError) {
    const QorvelRun run = runQorvel({"create", "--verbose", "a.qdb", "--from", "b.json"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(
        run.errText(),
        "qorvel create: Unknown option 'verbose'; usage: qorvel create DB --from FILE.json [--force]\n");
}

}  // namespace
