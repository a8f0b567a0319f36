// qorvel catalogue: the catalogue rows of a small scenario compared with reference files in data/.
#include "CliTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CatalogueCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        ASSERT_EQ(runQorvel({"create", db(), "--from", testData("scenario.json")}).exitCode, 0);
    }
    static void TearDownTestSuite() { delete folder; }
    static QString db() { return folder->filePath("scenario.qdb"); }

    static void expectReference(const QStringList& names, const QString& reference) {
        const QorvelRun run = runQorvel(QStringList{"catalogue", db()} + names);
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(run.err.isEmpty());
        EXPECT_EQ(QString::fromUtf8(run.out), QString::fromUtf8(readFileBytes(testData(reference))));
    }

    static inline QTemporaryDir* folder = nullptr;
};

TEST_F(CatalogueCommandTest, JoinUnderTwoAliasesWithExpressionColumns) {
    expectReference({"Order Pairs"}, "catalogue_order_pairs.csv");
}

TEST_F(CatalogueCommandTest, DerivedTableAndQuotedFields) {
    expectReference({"Big Customers"}, "catalogue_big_customers.csv");
}

TEST_F(CatalogueCommandTest, UnionOfThreeParts) {
    expectReference({"All Names"}, "catalogue_all_names.csv");
}

TEST_F(CatalogueCommandTest, NameWithApostropheIgnoringCase) {
    expectReference({"O'BRIEN ORDERS"}, "catalogue_obrien_orders.csv");
}

TEST_F(CatalogueCommandTest, EveryQueryInCatalogueOrder) {
    expectReference({}, "catalogue_all.csv");
}

TEST_F(CatalogueCommandTest, NameThatIsNotAQuery) {
    for (const QString name : {"Orders", "No Such Query"}) {
        const QorvelRun run = runQorvel({"catalogue", db(), name});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.errText(), "qorvel: no query '" + name + "'\n");
    }
}

TEST_F(CatalogueCommandTest, UsageErrors) {
    QorvelRun run = runQorvel({"catalogue"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(), "qorvel catalogue: missing arguments; usage: qorvel catalogue DB [NAME]\n");
    run = runQorvel({"catalogue", db(), "A", "B"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(), "qorvel catalogue: too many arguments; usage: qorvel catalogue DB [NAME]\n");
}

}  // namespace
