// qorvel uses and qorvel usedby, run as a user runs them.
#include "TreesTestSupport.h"

#include "common/QorvelProcess.h"
#include "host/JsonDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class TreeCommands : public ScenarioTest {
protected:
    TreeCommands() : ScenarioTest(QStringLiteral("shop.json")) {}

    CommandRun qorvel(const QStringList& arguments) {
        database.reset();  // let the command have the file to itself
        application->setDatabase(nullptr);
        const QorvelRun run = runQorvel(arguments);
        return {run.exitCode, run.outText(), run.errText()};
    }
    QString db() const { return mFolder.filePath(QStringLiteral("trees.qdb")); }
};

TEST_F(TreeCommands, PrintTheTreeTextWithLfLineEnds) {
    const CommandRun uses = qorvel({QStringLiteral("uses"), db(), QStringLiteral("Big Orders")});
    EXPECT_EQ(uses.exitCode, 0) << uses.err.toStdString();
    EXPECT_EQ(uses.out, readTestFile(QStringLiteral("shop/uses-big-orders.tree")));
    EXPECT_EQ(uses.err, QString());

    const CommandRun find =
        qorvel({QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--find"),
                QStringLiteral("CustID"), QStringLiteral("--whole-word")});
    EXPECT_EQ(find.exitCode, 0) << find.err.toStdString();
    EXPECT_EQ(find.out, readTestFile(QStringLiteral("shop/find-usedby-orders-custid-whole.tree")));
    EXPECT_FALSE(find.err.contains(QLatin1Char('%')));  // no progress line when stderr is not a terminal
}

TEST_F(TreeCommands, MessagesGoToStderrAndNothingShownExitsOne) {
    const CommandRun table = qorvel({QStringLiteral("uses"), db(), QStringLiteral("Orders")});
    EXPECT_EQ(table.exitCode, 1);
    EXPECT_EQ(table.out, QString());
    EXPECT_EQ(table.err, QStringLiteral("Qorvel is not available!\n"));  // the add-in's availability test

    const CommandRun refused = qorvel({QStringLiteral("usedby"), db(), QStringLiteral("Invoice"),
                                       QStringLiteral("--find"), QStringLiteral("Amount")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, QStringLiteral("Query Used By Find is not available!\n"));

    const CommandRun unused = qorvel({QStringLiteral("usedby"), db(), QStringLiteral("Unused")});
    EXPECT_EQ(unused.exitCode, 0);
    EXPECT_EQ(unused.out, QStringLiteral("Unused\n"));
}

TEST_F(TreeCommands, AnAmbiguousNameNeedsItsType) {
    const CommandRun ambiguous = qorvel({QStringLiteral("uses"), db(), QStringLiteral("Sub Orders")});
    EXPECT_EQ(ambiguous.exitCode, 2);
    EXPECT_TRUE(ambiguous.err.contains(QStringLiteral("--type"))) << ambiguous.err.toStdString();

    const CommandRun form = qorvel({QStringLiteral("uses"), db(), QStringLiteral("Sub Orders"),
                                    QStringLiteral("--type"), QStringLiteral("form")});
    EXPECT_EQ(form.exitCode, 0) << form.err.toStdString();
    EXPECT_EQ(form.out, QStringLiteral("Sub Orders\n    Orders Twice\n        Orders\n"));

    const CommandRun query = qorvel({QStringLiteral("uses"), db(), QStringLiteral("sub orders"),
                                     QStringLiteral("--type"), QStringLiteral("query")});
    EXPECT_EQ(query.out, readTestFile(QStringLiteral("shop/uses-sub-orders.tree")));
}

TEST_F(TreeCommands, BadArgumentsExitTwo) {
    EXPECT_EQ(qorvel({QStringLiteral("uses"), db()}).exitCode, 2);
    EXPECT_EQ(qorvel({QStringLiteral("uses"), db(), QStringLiteral("Nope")}).exitCode, 2);
    EXPECT_EQ(
        qorvel({QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--find")}).exitCode,
        2);
    EXPECT_EQ(qorvel({QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--type"),
                      QStringLiteral("macro")})
                  .exitCode,
              2);
    EXPECT_EQ(
        qorvel({QStringLiteral("uses"), mFolder.filePath(QStringLiteral("missing.qdb")), QStringLiteral("X")})
            .exitCode,
        2);
}

TEST_F(TreeCommands, UsageErrorsSayWhatIsWrongOnOneLine) {
    const std::pair<QStringList, QString> cases[] = {
        {{QStringLiteral("uses"), db()}, QString()},
        {{QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--find"), QString()},
         QStringLiteral("qorvel: --find needs a text of at least one character\n")},
        {{QStringLiteral("uses"), db(), QStringLiteral("Big Orders"), QStringLiteral("--whole-word")},
         QStringLiteral("qorvel: --whole-word goes with --find\n")},
        {{QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--type"),
          QStringLiteral("macro")},
         QStringLiteral("qorvel: --type is one of table, query, form, report\n")},
        {{QStringLiteral("usedby"), db(), QStringLiteral("Orders"), QStringLiteral("--max-nodes"),
          QStringLiteral("0")},
         QStringLiteral("qorvel: --max-nodes needs a whole number of at least 1\n")},
        {{QStringLiteral("uses"), db(), QStringLiteral("Nope")},
         QStringLiteral("qorvel: no table, query, form or report named 'Nope'\n")},
        {{QStringLiteral("uses"), db(), QStringLiteral("Unused"), QStringLiteral("--type"),
          QStringLiteral("form")},
         QStringLiteral("qorvel: no form named 'Unused'\n")},
        {{QStringLiteral("uses"), db(), QStringLiteral("Sub Orders")},
         QStringLiteral("qorvel: 'Sub Orders' names a query and a form; choose one with --type\n")},
    };
    for (const auto& [arguments, message] : cases) {
        const CommandRun run = qorvel(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(run.out, QString()) << arguments.join(u' ').toStdString();
        if (message.isEmpty()) {
            EXPECT_FALSE(run.err.isEmpty());
        } else {
            EXPECT_EQ(run.err, message);
        }
    }
}

// The node budget set on the command line: past it, repeated queries are leaves and stderr says why.
TEST(TreeCommandBudget, MaxNodesShortensTheTreeAndSaysSoOnce) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString json = folder.filePath(QStringLiteral("doubling.json"));
    const QString db = folder.filePath(QStringLiteral("doubling.qdb"));
    {
        qdb::DatabaseSpec spec;
        spec.tables.push_back(
            {QStringLiteral("T"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        spec.queries.push_back({QStringLiteral("F0"), QStringLiteral("SELECT ID FROM T;"), QString()});
        spec.queries.push_back({QStringLiteral("F1"), QStringLiteral("SELECT ID FROM F0;"), QString()});
        for (int i = 2; i < 8; ++i) {
            spec.queries.push_back(
                {QStringLiteral("F%1").arg(i),
                 QStringLiteral("SELECT a.ID FROM [F%1] AS a, [F%2] AS b;").arg(i - 1).arg(i - 2),
                 QString()});
        }
        QFile file(json);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(qdb::JsonDatabase::write(spec));
    }
    ASSERT_EQ(runQorvel({QStringLiteral("create"), db, QStringLiteral("--from"), json}).exitCode, 0);
    const QorvelRun whole = runQorvel({QStringLiteral("uses"), db, QStringLiteral("F7")});
    const QorvelRun shortened = runQorvel({QStringLiteral("uses"), db, QStringLiteral("F7"),
                                           QStringLiteral("--max-nodes"), QStringLiteral("10")});
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_EQ(whole.errText(), QString());
    EXPECT_EQ(whole.outText().count(QLatin1Char('\n')), 75);
    EXPECT_EQ(shortened.exitCode, 0);
    EXPECT_LT(shortened.outText().count(QLatin1Char('\n')), 25);
    EXPECT_TRUE(shortened.outText().contains(QStringLiteral(" (...)\n")));
    EXPECT_TRUE(
        shortened.errText().startsWith(QStringLiteral("The tree was shortened: it grew past 10 nodes")))
        << shortened.errText().toStdString();
    EXPECT_EQ(shortened.errText().count(QLatin1Char('\n')), 1);
}

// SIGINT, SIGTERM or SIGHUP during a build: the build stops, nothing is printed, the temporary queries made
// for the subqueries are deleted again, and the command ends with 128 + the signal's number.
TEST(TreeCommandInterrupt, SignalsStopBothBuildsAndLeaveNoTemporaryQuery) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString json = folder.filePath(QStringLiteral("chain.json"));
    const QString db = folder.filePath(QStringLiteral("chain.qdb"));
    {
        // A chain of queries that each read the one below through a subquery: the Uses build makes a
        // temporary query at every level, the Used By build one for each query before it walks the tree;
        // both long enough to be interrupted on any machine.
        qdb::DatabaseSpec spec;
        spec.tables.push_back(
            {QStringLiteral("T"), QString(), {{QStringLiteral("ID"), QStringLiteral("Long")}}, {}});
        spec.queries.push_back(
            {QStringLiteral("Q0"), QStringLiteral("SELECT s.ID FROM (SELECT ID FROM T) AS s;"), QString()});
        for (int i = 1; i < 3000; ++i) {
            spec.queries.push_back(
                {QStringLiteral("Q%1").arg(i),
                 QStringLiteral("SELECT s.ID FROM (SELECT ID FROM [Q%1]) AS s;").arg(i - 1), QString()});
        }
        QFile file(json);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(qdb::JsonDatabase::write(spec));
    }
    ASSERT_EQ(runQorvel({QStringLiteral("create"), db, QStringLiteral("--from"), json}).exitCode, 0);

    for (const auto& [command, object] : {std::pair{"uses", "Q2999"}, std::pair{"usedby", "T"}}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            const std::string run = std::string(command) + " " + std::to_string(signal);
            QProcess process;
            process.start(qorvelProgram(), {QString::fromLatin1(command), db, QString::fromLatin1(object)});
            ASSERT_TRUE(process.waitForStarted());
            QThread::msleep(500);
            ASSERT_EQ(process.state(), QProcess::Running) << run << ": ended before it could be interrupted";
            ::kill(static_cast<pid_t>(process.processId()), signal);
            ASSERT_TRUE(process.waitForFinished(60000)) << run;
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << run;
            EXPECT_EQ(process.exitCode(), 128 + signal) << run;
            EXPECT_EQ(process.readAllStandardOutput(), QByteArray()) << run;
            EXPECT_EQ(process.readAllStandardError(), QByteArray("qorvel: cancelled\n")) << run;

            const auto database = qdb::QdbDatabase::open(db, qdb::OpenMode::ReadOnly);
            for (int i = 0; i < database->queryDefCount(); ++i) {
                EXPECT_FALSE(database->queryDef(i)->name().startsWith(QStringLiteral("~TemporaryQuery")))
                    << run;
            }
        }
    }
}

}  // namespace
