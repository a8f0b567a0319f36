// qorvel sql: the SQL text of a query exactly as stored.
#include "CliTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SqlCommand, PrintsTheTextAsStored) {
    QTemporaryDir folder;
    const QString db = folder.filePath("db.qdb");
    ASSERT_EQ(runQorvel({"create", db, "--from", testData("scenario.json")}).exitCode, 0);

    QorvelRun run = runQorvel({"sql", db, "Leading Break"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "\r\nSELECT Suppliers.SupplierName\r\nFROM Suppliers;\r\n");
    EXPECT_TRUE(run.err.isEmpty());

    // Names are looked up without regard to case, as the host does.
    run = runQorvel({"sql", db, "o'brien orders"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "SELECT Orders.* FROM Orders WHERE Orders.Customer Like \"O'Brien*\";");

    run = runQorvel({"sql", db, "Suppliers"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.errText(), "qorvel: no query 'Suppliers'\n");

    run = runQorvel({"sql", db});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(), "qorvel sql: missing arguments; usage: qorvel sql DB NAME\n");
}

}  // namespace
