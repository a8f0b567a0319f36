// The reconstructor on rows of every kind of query: the analyser's rows for a text in the host's form must
// give that text back, and rows laid out as only the real engine writes them (joins in its order, a
// crosstab's headings) give the text the host would show.
#include "common/QStringPrinter.h"
#include "host/jet/Analyser.h"
#include "host/mdb/QueryReconstructor.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QString crlf(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, TheAnalysersRowsGiveTheTextBack) {
    const QString sql = crlf(QString::fromUtf8(GetParam()));
    EXPECT_EQ(mdb::reconstructSql(jet::analyse(sql).rows), sql);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, RoundTrip,
    ::testing::Values(
        "SELECT *\nFROM Orders;\n",
        "SELECT DISTINCT TOP 5 PERCENT Orders.CustomerID\nFROM Orders\nORDER BY Orders.CustomerID DESC;\n",
        "SELECT C.CompanyName, O.OrderID\nFROM Customers AS C LEFT JOIN Orders AS O ON C.CustomerID = "
        "O.CustomerID;\n",
        "SELECT Big.OrderID\nFROM (SELECT OrderID FROM Orders WHERE Freight > 100) AS Big;\n",
        "SELECT Orders.CustomerID, Count(*) AS Orders\nFROM Orders\nGROUP BY Orders.CustomerID\nHAVING "
        "Count(*)>5;\n",
        "PARAMETERS [Start Date] DateTime, [Who] Text;\nSELECT Orders.OrderID\nFROM Orders\nWHERE "
        "Orders.OrderDate>=[Start Date];\n",
        "INSERT INTO [Order Archive] ( OrderID, [Ship Name] )\nSELECT Orders.OrderID, Orders.ShipName\nFROM "
        "Orders\nWHERE (((Orders.OrderDate)<#1/1/95#));\n",
        "INSERT INTO Archive IN 'C:\\Data\\old.mdb'\nSELECT *\nFROM Orders;\n",
        "UPDATE Products SET Products.UnitPrice = [UnitPrice]*1.1, Products.[Units In Stock] = 0\nWHERE "
        "Products.Discontinued=Yes;\n",
        "UPDATE Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID SET Orders.ShipName "
        "= "
        "Customers.CompanyName;\n",
        "DELETE Orders.*\nFROM Orders\nWHERE Orders.ShippedDate Is Null;\n", "DELETE *\nFROM Orders;\n",
        "SELECT Customers.* INTO [Customer Copy]\nFROM Customers;\n",
        "SELECT Orders.OrderID\nFROM Orders, Customers\nWHERE Orders.CustomerID=Customers.CustomerID\nWITH "
        "OWNERACCESS OPTION;\n",
        "SELECT City FROM Customers\nUNION ALL SELECT City FROM Suppliers\nORDER BY City;\n"));

std::vector<jet::CatalogueRow> rows(std::initializer_list<jet::CatalogueRow> list) {
    return list;
}

TEST(RealLayout, JoinsNestInTheOrderTheEngineWroteThem) {
    // The order the real engine keeps for a chain of joins: innermost first.
    const auto invoices = rows({
        {1, 1, {}, {}, {}},
        {3, 0, {}, {}, {}},
        {5, {}, QStringLiteral("Orders"), {}, {}},
        {5, {}, QStringLiteral("Order Details"), {}, {}},
        {5, {}, QStringLiteral("Customers"), {}, {}},
        {5, {}, QStringLiteral("Shippers"), {}, {}},
        {6, 0, {}, {}, QStringLiteral("Orders.OrderID")},
        {7, 1, QStringLiteral("Customers"), QStringLiteral("Orders"),
         QStringLiteral("Customers.CustomerID = Orders.CustomerID")},
        {7, 2, QStringLiteral("Orders"), QStringLiteral("Order Details"),
         QStringLiteral("Orders.OrderID = [Order Details].OrderID")},
        {7, 3, QStringLiteral("Shippers"), QStringLiteral("Orders"),
         QStringLiteral("Shippers.ShipperID = Orders.ShipVia")},
    });
    EXPECT_EQ(mdb::reconstructSql(invoices),
              crlf(QStringLiteral(
                  "SELECT Orders.OrderID\nFROM Shippers RIGHT JOIN ((Customers INNER JOIN Orders ON "
                  "Customers.CustomerID = Orders.CustomerID) LEFT JOIN [Order Details] ON "
                  "Orders.OrderID = [Order Details].OrderID) ON Shippers.ShipperID = "
                  "Orders.ShipVia;\n")));
    // A second condition between two sources joined already extends that join.
    const auto twoFields = rows({
        {1, 1, {}, {}, {}},
        {5, {}, QStringLiteral("A"), {}, {}},
        {5, {}, QStringLiteral("B"), {}, {}},
        {6, 0, {}, {}, QStringLiteral("A.X")},
        {7, 1, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A.X = B.X")},
        {7, 1, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A.Y = B.Y")},
    });
    EXPECT_EQ(mdb::reconstructSql(twoFields),
              crlf(QStringLiteral("SELECT A.X\nFROM A INNER JOIN B ON A.X = B.X AND A.Y = B.Y;\n")));
}

TEST(RealLayout, CrosstabHeadingsValueAndPivot) {
    // The real engine's flags: 2 a row heading, 1 the column heading (with its designer alias), 0 the value.
    const auto crosstab = rows({
        {1, 6, {}, {}, {}},
        {3, 0, {}, {}, {}},
        {5, {}, QStringLiteral("Orders"), {}, {}},
        {6, 2, {}, {}, QStringLiteral("Orders.CustomerID")},
        {6, 1, QStringLiteral("Quarters"), {}, QStringLiteral("\"Q\" & DatePart(\"q\",[OrderDate])")},
        {6, 0, QStringLiteral("Total"), {}, QStringLiteral("Sum(Orders.Freight)")},
        {9, 2, {}, {}, QStringLiteral("Orders.CustomerID")},
        {9, 1, {}, {}, QStringLiteral("\"Q\" & DatePart(\"q\",[OrderDate])")},
    });
    EXPECT_EQ(mdb::reconstructSql(crosstab),
              crlf(QStringLiteral(
                  "TRANSFORM Sum(Orders.Freight) AS Total\nSELECT Orders.CustomerID\nFROM "
                  "Orders\nGROUP BY Orders.CustomerID\nPIVOT \"Q\" & DatePart(\"q\",[OrderDate]);\n")));
}

TEST(RealLayout, UnionPartsKeepTheirLineBreaks) {
    const auto unionRows = rows({
        {1, 9, {}, {}, {}},
        {3, 3, {}, {}, {}},
        {5, {}, {}, QStringLiteral("X7YZ_____1"), QStringLiteral("SELECT City FROM Customers\r\n")},
        {5, {}, {}, QStringLiteral("X7YZ_____2"), QStringLiteral("SELECT City FROM Suppliers")},
    });
    EXPECT_EQ(mdb::reconstructSql(unionRows),
              crlf(QStringLiteral("SELECT City FROM Customers\nUNION SELECT City FROM Suppliers;\n")));
}

TEST(RealLayout, RowsThatDescribeNoStatementAreRefused) {
    EXPECT_THROW(mdb::reconstructSql({}), std::invalid_argument);
    EXPECT_THROW(
        mdb::reconstructSql(rows({{1, 1, {}, {}, {}},
                                  {5, {}, QStringLiteral("A"), {}, {}},
                                  {7, 1, QStringLiteral("A"), QStringLiteral("Gone"), QStringLiteral("x")}})),
        std::invalid_argument);
}

TEST(SqlNames, BracketedUnlessAPlainWord) {
    EXPECT_EQ(mdb::sqlName(QStringLiteral("Orders")), QStringLiteral("Orders"));
    EXPECT_EQ(mdb::sqlName(QString::fromUtf8("Umsätze")), QString::fromUtf8("Umsätze"));
    EXPECT_EQ(mdb::sqlName(QStringLiteral("Order Details")), QStringLiteral("[Order Details]"));
    EXPECT_EQ(mdb::sqlName(QStringLiteral("2024")), QStringLiteral("[2024]"));
    EXPECT_EQ(mdb::sqlName(QStringLiteral("O'Brien")), QStringLiteral("[O'Brien]"));
}

}  // namespace
