#include "common/QorvelProcess.h"
#include "host/QdbDatabase.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class ClickCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir();
        database = folder->filePath(QStringLiteral("orders.qdb"));
        auto db = qdb::QdbDatabase::create(database);
        db->createTable(
            {QStringLiteral("Orders"), QString(), {{QStringLiteral("OrderID"), QStringLiteral("Long")}}, {}});
        db->createQueryDef(QStringLiteral("Order Totals"), QStringLiteral("SELECT Orders.* FROM Orders;"));
        db->saveForm({QStringLiteral("Order Form"), QStringLiteral("Orders"), QString(), {}});
        db->saveForm({QStringLiteral("Orders"), QStringLiteral("Orders"), QString(), {}});
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    static Outcome Qorvel(QStringList arguments, bool withDatabase = true) {
        if (withDatabase) {
            arguments.insert(1, database);
        }
        const QorvelRun run = runQorvel(arguments);
        return {run.exitCode, run.outText(), run.errText()};
    }

    static inline QTemporaryDir* folder = nullptr;
    static inline QString database;
};

}  // namespace

TEST_F(ClickCommandTest, ACommandThatAppliesPrintsTheToolItOpened) {
    const std::pair<QStringList, QString> cases[] = {
        {{QStringLiteral("click"), QStringLiteral("QueryEditor"), QStringLiteral("--object"),
          QStringLiteral("order totals")},
         QStringLiteral("editor Order Totals\n")},
        {{QStringLiteral("click"), QStringLiteral("Uses"), QStringLiteral("--object"),
          QStringLiteral("Order Form")},
         QStringLiteral("tree 1 Order Form\n")},
        {{QStringLiteral("click"), QStringLiteral("UsedByFind"), QStringLiteral("--object"),
          QStringLiteral("Order Totals")},
         QStringLiteral("find 4 Order Totals\n")},
        {{QStringLiteral("click"), QStringLiteral("QueryTemplates")}, QStringLiteral("templates 3\n")},
        {{QStringLiteral("click"), QStringLiteral("About")}, QStringLiteral("about\n")},
        {{QStringLiteral("click"), QStringLiteral("Dependencies"), QStringLiteral("--object"),
          QStringLiteral("Orders"), QStringLiteral("--type"), QStringLiteral("table")},
         QString()},
    };
    for (const auto& [arguments, expected] : cases) {
        const Outcome run = Qorvel(arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments.join(u' ').toStdString() << run.err.toStdString();
        EXPECT_EQ(run.out, expected);
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
    const Outcome help = Qorvel({QStringLiteral("click"), QStringLiteral("Contents")});
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("help ")) &&
                help.out.endsWith(QStringLiteral("plavo-help\n")))
        << help.out.toStdString();
}

TEST_F(ClickCommandTest, ACommandThatDoesNotApplySaysSoAndExits1) {
    Outcome run =
        Qorvel({QStringLiteral("click"), QStringLiteral("QueryEditor"), QStringLiteral("--object"),
                QStringLiteral("Order Totals"), QStringLiteral("--state"), QStringLiteral("open,changed")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, QStringLiteral("Query Editor is not available!\n"));

    run = Qorvel({QStringLiteral("click"), QStringLiteral("UsedBy"), QStringLiteral("--object"),
                  QStringLiteral("Order Form")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("Query Used By is not available!\n"));

    // The toolbar generation never refuses: its buttons are disabled instead.
    run = Qorvel({QStringLiteral("click"), QStringLiteral("UsedBy"), QStringLiteral("--object"),
                  QStringLiteral("Order Form"), QStringLiteral("--host-version"), QStringLiteral("9.0")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("tree 2 Order Form\n"));
}

TEST_F(ClickCommandTest, BadArgumentsAreUsageErrors) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("click"), QStringLiteral("uses")},
          QStringList{QStringLiteral("click"), QStringLiteral("Uses"), QStringLiteral("--object"),
                      QStringLiteral("Orders")},
          QStringList{QStringLiteral("click"), QStringLiteral("Uses"), QStringLiteral("--object"),
                      QStringLiteral("Nothing")},
          QStringList{QStringLiteral("click"), QStringLiteral("Uses"), QStringLiteral("--state"),
                      QStringLiteral("open")},
          QStringList{QStringLiteral("click"), QStringLiteral("Uses"), QStringLiteral("--object"),
                      QStringLiteral("Orders"), QStringLiteral("--type"), QStringLiteral("table"),
                      QStringLiteral("--state"), QStringLiteral("gone")}}) {
        const Outcome run = Qorvel(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("qorvel: "))) << run.err.toStdString();
    }
    const Outcome missing = Qorvel(
        {QStringLiteral("click"), QStringLiteral("/nonexistent/x.qdb"), QStringLiteral("Uses")}, false);
    EXPECT_EQ(missing.exitCode, 2);
}

TEST_F(ClickCommandTest, RibbonPrintsTheDefinitionOnOneLine) {
    const Outcome run = Qorvel({QStringLiteral("ribbon")}, false);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith(
        QStringLiteral("<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">")));
    EXPECT_EQ(run.out.count(u'\n'), 1);
    EXPECT_EQ(Qorvel({QStringLiteral("ribbon"), QStringLiteral("extra")}, false).exitCode, 2);
}
