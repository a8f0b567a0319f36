// The add-in's catalogue statements, run verbatim on a small database; their rows are compared with
// data/catalogue_statements.txt.
#include "HostTestSupport.h"

#include "host/HostApplication.h"

#include <QFile>

namespace {

const char* const kStatements[] = {
    "SELECT MSysObjects.Name, MSysQueries.Attribute, MSysQueries.Name1 FROM MSysObjects INNER JOIN "
    "MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId WHERE (((MSysQueries.Attribute)=6) AND (Not (MSysQueries.Name1) "
    "Is "
    "Null)) And MSysObjects.[Name]='{Name}';",
    "SELECT MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN "
    "MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=6 And MSysObjects.[Name]='{Name}';",
    "SELECT MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN "
    "MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=5 And MSysObjects.[Name]='{Name}';",
    "SELECT MSysObjects.[Name], MSysObjects.[Flags], MSysQueries.Name1, MSysQueries.Name2, "
    "MSysQueries.Expression "
    "FROM MSysObjects INNER JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE "
    "MSysQueries.Attribute=5 "
    "And MSysObjects.[Name]='{Name}';",
    "SELECT MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON MSysObjects.Id = "
    "MSysQueries.ObjectId "
    "WHERE MSysQueries.Attribute=1 and MSysQueries.Flag=3 And MSysObjects.[Name]='{Name}';",
    "SELECT MSysObjects.[Name], MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON "
    "MSysObjects.Id = "
    "MSysQueries.ObjectId Where (((MSysQueries.Attribute) = 5)) GROUP BY MSysObjects.[Name], "
    "MSysQueries.[Name1];",
    "SELECT MSysObjects.[Name], MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM "
    "MSysObjects INNER "
    "JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE (((MSysQueries.Name2) Is Not Null) AND "
    "((MSysQueries.Attribute)=5));",
    "SELECT MSysObjects.[Name], MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM "
    "MSysObjects INNER "
    "JOIN MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE (MSysQueries.Expression Is Not Null) "
    "AND "
    "(MSysQueries.Attribute=5) AND (MSysObjects.[Name] Like '~TemporaryQuery*');",
};

// Every row of a snapshot: the field names, then one line per row, values joined by "|".
QString dump(host::Recordset& rs) {
    QStringList names;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        names << rs.fieldName(i);
    }
    QString text = names.join(QLatin1Char('|')) + QLatin1Char('\n');
    for (; !rs.eof(); rs.moveNext()) {
        QStringList values;
        for (const QString& name : names) {
            values << (rs.isNull(name) ? QStringLiteral("<null>") : rs.text(name));
        }
        text += values.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace

TEST_F(DatabaseTest, CatalogueStatementsRunVerbatim) {
    db->createTable({QStringLiteral("Orders"),
                     {},
                     {{QStringLiteral("OrderID"), QStringLiteral("Long")},
                      {QStringLiteral("CustomerID"), QStringLiteral("Long")},
                      {QStringLiteral("Amount"), QStringLiteral("Currency")}},
                     {}});
    db->createTable({QStringLiteral("Customers"),
                     {},
                     {{QStringLiteral("CustomerID"), QStringLiteral("Long")},
                      {QStringLiteral("Name"), QStringLiteral("Text")}},
                     {}});
    db->createQueryDef(
        QStringLiteral("Order List"),
        QStringLiteral("SELECT Orders.OrderID, Customers.Name AS Customer, Orders.* FROM Orders INNER "
                       "JOIN Customers AS C ON Orders.CustomerID = C.CustomerID;"));
    db->createQueryDef(QStringLiteral("Big Orders"),
                       QStringLiteral("SELECT O.OrderID FROM [Order List] AS O, Orders WHERE O.OrderID = "
                                      "Orders.OrderID AND Orders.Amount > 100;"));
    db->createQueryDef(QStringLiteral("Archive Orders"),
                       QStringLiteral("INSERT INTO Archive SELECT Orders.* FROM Orders;"));
    db->createQueryDef(QStringLiteral("~TemporaryQuery1"),
                       QStringLiteral("SELECT X.Total FROM (SELECT Sum(Amount) AS Total FROM Orders) AS X;"));

    QString actual;
    int number = 0;
    for (const char* statement : kStatements) {
        const QString name = ++number == 5 ? QStringLiteral("archive orders") : QStringLiteral("order list");
        QString sql = QString::fromUtf8(statement);
        sql.replace(QStringLiteral("{Name}"), name);
        actual += QStringLiteral("== %1\n").arg(number);
        actual += dump(*db->openRecordset(sql, host::RecordsetType::Snapshot));
    }
    auto application = qdb::HostApplication::create();
    application->setDatabase(db);
    actual += QStringLiteral("== 9\n%1\n")
                  .arg(application->dCount(QStringLiteral("*"), QStringLiteral("MsysQueries"),
                                           QStringLiteral("[Name2] Is Not Null AND [Attribute]=5")));

    QFile reference(QStringLiteral(QORVEL_TEST_DATA_DIR "/catalogue_statements.txt"));
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly)) << reference.fileName().toStdString() << "\n"
                                                     << actual.toStdString();
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(reference.readAll()).toStdString());
}
