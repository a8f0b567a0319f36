// The sample database keeps covering every shape of catalogue row the tools have to deal with.
#include "CliTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SampleDatabase, CoversEveryCatalogueShape) {
    QTemporaryDir folder;
    const QString db = folder.filePath("sample.qdb");
    ASSERT_EQ(runQorvel({"create", db, "--from", sourceFile("samples/sample.json")}).exitCode, 0);

    // Each query and the lines its catalogue must hold.
    const struct {
        const char* query;
        QStringList lines;
    } shapes[]{
        {"Order Totals", {"Order Totals,1,1,,,", "Order Totals,5,,Order Lines,,"}},
        {"Top Customer Mailing", {"Top Customer Mailing,5,,Top Customers,,"}},
        {"Top Customers", {"Top Customers,5,,Customer Revenue,,"}},
        {"Customer Revenue", {"Customer Revenue,5,,Order Totals,,"}},
        {"Employee Managers", {"Employee Managers,5,,Employees,E,", "Employee Managers,5,,Employees,M,"}},
        {"Products with Suppliers", {"Products with Suppliers,6,,,,Products.*"}},
        {"Orders per Customer", {"Orders per Customer,5,,,Counted,\"SELECT Joined.CompanyName"}},
        {"All Contacts", {"All Contacts,1,9,,,"}},
        {"Make Order Archive", {"Make Order Archive,1,2,Order Archive,,"}},
        {"Append Price Change", {"Append Price Change,1,3,Price Changes,,"}},
        {"Raise Soap Prices", {"Raise Soap Prices,1,4,,,"}},
        {"Delete Discontinued", {"Delete Discontinued,1,5,,,"}},
        {"Sales by Category and Quarter", {"Sales by Category and Quarter,1,6,,,"}},
        {"Orders Between Dates", {"Orders Between Dates,2,8,Start Date,,"}},
        {"Supplier Contacts", {"Supplier Contacts,5,,Supplier Contact Persons,,"}},
        {"O'Brien Orders", {"O'Brien Orders,5,,Customers,,"}},
        {"~sq_fOrder Entry", {"~sq_fOrder Entry,5,,Customers,,"}},
        {"~sq_cOrder Entry~sq_ccboCustomer", {"~sq_cOrder Entry~sq_ccboCustomer,5,,Customers,,"}},
        {"~sq_rInvoice", {"~sq_rInvoice,5,,Order Totals,,"}},
        {"~sq_dInvoice~sq_dlstLines", {"~sq_dInvoice~sq_dlstLines,5,,Order Lines,,"}},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.query);
        const QorvelRun run = runQorvel({"catalogue", db, shape.query});
        ASSERT_EQ(run.exitCode, 0);
        const QString csv = QString::fromUtf8(run.out);
        for (const QString& line : shape.lines) {
            EXPECT_TRUE(csv.contains("\n" + line)) << line.toStdString();
        }
    }
    // Supplier Contact Persons is a table that no longer exists.
    EXPECT_FALSE(
        readFileBytes(sourceFile("samples/sample.json")).contains("\"name\": \"Supplier Contact Persons\""));
    EXPECT_TRUE(runQorvel({"sql", db, "Shipper Names"}).out.startsWith("\r\n"));
}

}  // namespace
