// qorvel run: rows as CSV or a table, action queries, parameters, errors; a make-table query's table in
// the catalogue and in the Uses tree of the query that reads it.
#include "CliTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RunCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        db = folder.filePath("run.qdb");
        ASSERT_EQ(
            runQorvel({"create", db, "--from", sourceFile("tests/host/data/run_scenario.json")}).exitCode, 0);
    }

    QTemporaryDir folder;
    QString db;
};

TEST_F(RunCommand, MadeTableJoinsTheCatalogueAndTheUsesTree) {
    // The query reads a table that does not exist yet: its tree has nothing under it.
    QorvelRun run = runQorvel({"uses", db, "Read Summary"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Read Summary\n");

    run = runQorvel({"run", db, "make totals"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "3 row(s) affected.\n");

    run =
        runQorvel({"run", db, "--sql", "SELECT Name, Type FROM MSysObjects WHERE Name = 'Customer Summary'"});
    EXPECT_EQ(run.out, "Name,Type\nCustomer Summary,1\n");
    run = runQorvel({"uses", db, "Read Summary"});
    EXPECT_EQ(run.out, "Read Summary\n    Customer Summary\n");
    run = runQorvel({"run", db, "Read Summary"});
    EXPECT_EQ(run.out, "Name,Total\nbirch,37\nAlder,16\nCedar,15\n");

    // A second run needs --replace.
    run = runQorvel({"run", db, "Make Totals"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errText(), "qorvel: error 3010: Table 'Customer Summary' already exists.\n");
    EXPECT_EQ(runQorvel({"run", db, "Make Totals", "--replace"}).out, "3 row(s) affected.\n");
}

TEST_F(RunCommand, PrintsValuesInTheirDocumentedForms) {
    QorvelRun run = runQorvel(
        {"run", db, "--sql",
         "SELECT 'a,b' AS X, 'say \"hi\"' AS Y, Null AS Z, 2.5 * 3 AS D, #2024-01-02 03:04:05# AS T, "
         "#1/2/2024# AS U, Title, Active FROM Products WHERE ProdID IN (10, 12) ORDER BY ProdID"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "X,Y,Z,D,T,U,Title,Active\n"
              "\"a,b\",\"say \"\"hi\"\"\",,7.5,2024-01-02 03:04:05,2024-01-02,Pen,True\n"
              "\"a,b\",\"say \"\"hi\"\"\",,7.5,2024-01-02 03:04:05,2024-01-02,Lamp,False\n");

    run = runQorvel(
        {"run", db, "--sql", "SELECT Player, Points FROM Scores WHERE Points >= 40", "--format", "table"});
    EXPECT_EQ(run.out,
              "Player  Points\n"
              "------  ------\n"
              "Ann         50\n"
              "Bob         40\n"
              "Cy          40\n");
}

TEST_F(RunCommand, ParametersActionsAndErrors) {
    QorvelRun run = runQorvel({"run", db, "Orders By Param"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errText().startsWith("qorvel run: no value for parameter 'Min Qty'")) << run.errText().toStdString();

    run = runQorvel({"run", db, "Orders By Param", "--param", "[min qty]=5"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "OrderID\n100\n103\n");

    run = runQorvel({"run", db, "--sql", "UPDATE Scores SET Points = Points + [Bonus] WHERE Points < 45",
                     "--param", "Bonus=1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "3 row(s) affected.\n");
    EXPECT_EQ(runQorvel({"run", db, "--sql", "SELECT Sum(Points) AS S FROM Scores"}).out, "S\n163\n");

    run = runQorvel({"run", db, "--sql", "SELECT Nothing FROM Nowhere"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.errText().startsWith("qorvel: error 3078: ")) << run.errText().toStdString();

    run = runQorvel({"run", db, "--sql", "SELECT CustID, Qty FROM Orders GROUP BY CustID"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errText(),
              "qorvel: error 3122: Your query does not include the specified expression 'Qty' as part of an "
              "aggregate function.\n");
}

}  // namespace
