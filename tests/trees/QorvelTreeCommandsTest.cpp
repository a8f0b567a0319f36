// qorvel uses and qorvel usedby, run as a user runs them.
#include "TreesTestSupport.h"

#include "common/QorvelProcess.h"

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

}  // namespace
