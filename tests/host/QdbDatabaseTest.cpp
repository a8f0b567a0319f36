// The engine's database: objects and their names, saved queries with their catalogue rows, transactions,
// tables, forms and reports with their hidden queries, descriptions, containers.
#include "HostTestSupport.h"

#include "host/QdbDatabase.h"

#include <QFile>

using qdb::ControlSpec;
using qdb::FormSpec;
using qdb::TableSpec;

namespace {

TableSpec ordersTable() {
    return TableSpec{QStringLiteral("Orders"),
                     QStringLiteral("Customer orders"),
                     {{QStringLiteral("OrderID"), QStringLiteral("Long")},
                      {QStringLiteral("Customer"), QStringLiteral("Text")},
                      {QStringLiteral("Shipped"), QStringLiteral("YesNo")}},
                     {{1, QStringLiteral("Ärger GmbH"), true}, {2, QVariant(), false}}};
}

QStringList catalogueAttributes(host::Database& db, const QString& query) {
    return column(db,
                  QStringLiteral("SELECT MSysQueries.Attribute FROM MSysObjects INNER JOIN MSysQueries ON "
                                 "MSysObjects.Id = MSysQueries.ObjectId WHERE MSysObjects.[Name]='%1';")
                      .arg(query),
                  QStringLiteral("Attribute"));
}

}  // namespace

TEST_F(DatabaseTest, SavedQueryKeepsTextAndCatalogueRowsAcrossReopen) {
    db->createTable(ordersTable());
    const QString sql = QStringLiteral("\r\nSELECT Orders.OrderID FROM Orders;");
    auto query = db->createQueryDef(QStringLiteral("Order List"), sql);
    EXPECT_EQ(query->name(), QStringLiteral("Order List"));
    EXPECT_EQ(query->type(), host::QueryType::Select);
    reopen();
    auto again = db->queryDef(QStringLiteral("order list"));
    EXPECT_EQ(again->name(), QStringLiteral("Order List"));
    EXPECT_EQ(again->sql(), sql);
    const QStringList attributes = catalogueAttributes(*db, QStringLiteral("order list"));
    ASSERT_FALSE(attributes.isEmpty());
    EXPECT_EQ(attributes.first(), QStringLiteral("0"));
    EXPECT_EQ(attributes.last(), QStringLiteral("255"));
    EXPECT_TRUE(attributes.contains(QStringLiteral("5")));
    EXPECT_EQ(
        db->tableDef(QStringLiteral("ORDERS"))->fieldNames(),
        QStringList({QStringLiteral("OrderID"), QStringLiteral("Customer"), QStringLiteral("Shipped")}));
}

TEST_F(DatabaseTest, EmptyQueryHasOnlyBeginAndEndRows) {
    auto query = db->createQueryDef(QStringLiteral("Empty"));
    EXPECT_EQ(query->sql(), QString());
    EXPECT_EQ(query->type(), host::QueryType::Select);
    EXPECT_EQ(catalogueAttributes(*db, QStringLiteral("Empty")),
              QStringList({QStringLiteral("0"), QStringLiteral("255")}));
    query->setSql(QStringLiteral("SELECT * FROM Orders"));
    EXPECT_EQ(db->queryDef(QStringLiteral("Empty"))->sql(), QStringLiteral("SELECT * FROM Orders"));
}

TEST_F(DatabaseTest, NamesBreakingTheRulesFailWith3125) {
    const QStringList bad = {QString(),
                             QStringLiteral(" Lead"),
                             QString(65, QLatin1Char('q')),
                             QStringLiteral("a.b"),
                             QStringLiteral("a!b"),
                             QStringLiteral("a`b"),
                             QStringLiteral("a[b"),
                             QStringLiteral("a]b"),
                             QStringLiteral("a\u0001b")};
    for (const QString& name : bad) {
        EXPECT_EQ(errorNumber([&] { db->createQueryDef(name, QStringLiteral("SELECT * FROM T")); }),
                  host::errInvalidName)
            << name.toStdString();
        EXPECT_EQ(errorNumber([&] {
                      db->createTable({name, {}, {{QStringLiteral("F"), QStringLiteral("Text")}}, {}});
                  }),
                  host::errInvalidName)
            << name.toStdString();
    }
    EXPECT_EQ(errorNumber([&] {
                  db->createQueryDef(QString(64, QLatin1Char('q')), QStringLiteral("SELECT * FROM T"));
              }),
              0);
    EXPECT_EQ(db->queryDefCount(), 1);
    EXPECT_EQ(errorNumber([&] {
                  db->createQueryDef(QStringLiteral("O'Brien's list"), QStringLiteral("SELECT * FROM T"));
              }),
              0);
}

TEST_F(DatabaseTest, TakenAndMissingNames) {
    db->createTable(ordersTable());
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM Orders"));
    EXPECT_EQ(
        errorNumber([&] { db->createQueryDef(QStringLiteral("orders"), QStringLiteral("SELECT 1 FROM X")); }),
        host::errObjectExists);
    EXPECT_EQ(errorNumber([&] { db->createQueryDef(QStringLiteral("q")); }), host::errObjectExists);
    EXPECT_EQ(
        errorNumber([&] {
            db->createTable({QStringLiteral("Q"), {}, {{QStringLiteral("F"), QStringLiteral("Text")}}, {}});
        }),
        host::errObjectExists);
    EXPECT_EQ(errorNumber([&] { db->queryDef(QStringLiteral("Nope")); }), host::errItemNotFound);
    EXPECT_EQ(errorNumber([&] { db->tableDef(QStringLiteral("Nope")); }), host::errItemNotFound);
    EXPECT_EQ(errorNumber([&] { db->deleteQueryDef(QStringLiteral("Nope")); }), host::errItemNotFound);
    EXPECT_EQ(errorNumber([&] { db->queryDef(5); }), host::errItemNotFound);
    EXPECT_EQ(errorNumber([&] { db->dropTable(QStringLiteral("Q")); }), host::errItemNotFound);
}

TEST_F(DatabaseTest, DeletedQueryInvalidatesItsObjectsAndAllItsRows) {
    auto query = db->createQueryDef(QStringLiteral("Gone"), QStringLiteral("SELECT * FROM Orders"));
    db->setDescription(QStringLiteral("Tables"), QStringLiteral("Gone"), QStringLiteral("soon gone"));
    db->deleteQueryDef(QStringLiteral("GONE"));
    EXPECT_EQ(errorNumber([&] { query->name(); }), host::errObjectInvalid);
    EXPECT_EQ(errorNumber([&] { query->sql(); }), host::errObjectInvalid);
    EXPECT_EQ(errorNumber([&] { query->setSql(QStringLiteral("SELECT * FROM T")); }), host::errObjectInvalid);
    EXPECT_EQ(db->queryDefCount(), 0);
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Count(*) AS n FROM MSysQueries"), QStringLiteral("n")),
              QStringList{QStringLiteral("0")});
    EXPECT_EQ(
        column(*db, QStringLiteral("SELECT Count(*) AS n FROM MSysQdbDescriptions"), QStringLiteral("n")),
        QStringList{QStringLiteral("0")});
    // A new query of the same name is a new object: the old reference stays invalid.
    db->createQueryDef(QStringLiteral("Gone"), QStringLiteral("SELECT * FROM T"));
    EXPECT_EQ(errorNumber([&] { query->sql(); }), host::errObjectInvalid);
}

TEST_F(DatabaseTest, QueryDefsIndexInCreationOrder) {
    for (const char* name : {"Beta", "Alpha", "Gamma"}) {
        db->createQueryDef(QString::fromLatin1(name), QStringLiteral("SELECT * FROM T"));
    }
    db->deleteQueryDef(QStringLiteral("Alpha"));
    ASSERT_EQ(db->queryDefCount(), 2);
    EXPECT_EQ(db->queryDef(0)->name(), QStringLiteral("Beta"));
    EXPECT_EQ(db->queryDef(1)->name(), QStringLiteral("Gamma"));
}

TEST_F(DatabaseTest, InvalidSqlLeavesEverythingAsItWas) {
    auto query = db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT a FROM T"));
    const QStringList before = catalogueAttributes(*db, QStringLiteral("Q"));
    EXPECT_EQ(errorNumber([&] { query->setSql(QStringLiteral("not a statement")); }),
              host::errInvalidSqlStatement);
    EXPECT_EQ(query->sql(), QStringLiteral("SELECT a FROM T"));
    EXPECT_EQ(catalogueAttributes(*db, QStringLiteral("Q")), before);
    EXPECT_EQ(errorNumber([&] {
                  db->createQueryDef(QStringLiteral("R"), QStringLiteral("SELECT a FROM T WHERE a ="));
              }),
              host::errSyntaxInExpression);
    EXPECT_EQ(errorNumber([&] { db->queryDef(QStringLiteral("R")); }), host::errItemNotFound);
    EXPECT_EQ(db->queryDefCount(), 1);
}

TEST_F(DatabaseTest, TransactionWritesAllOrNothing) {
    const int failure = errorNumber([&] {
        db->transaction([&] {
            db->createQueryDef(QStringLiteral("First"), QStringLiteral("SELECT * FROM T"));
            db->createTable(ordersTable());
            db->createQueryDef(QStringLiteral("first"), QStringLiteral("SELECT * FROM T"));
        });
    });
    EXPECT_EQ(failure, host::errObjectExists);
    EXPECT_EQ(db->queryDefCount(), 0);
    EXPECT_EQ(errorNumber([&] { db->tableDef(QStringLiteral("Orders")); }), host::errItemNotFound);
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Count(*) AS n FROM MSysQueries"), QStringLiteral("n")),
              QStringList{QStringLiteral("0")});
    db->transaction([&] { db->createQueryDef(QStringLiteral("First"), QStringLiteral("SELECT * FROM T")); });
    reopen();
    EXPECT_EQ(db->queryDefCount(), 1);
}

TEST_F(DatabaseTest, TablesRoundTripWithAwkwardNames) {
    TableSpec table = ordersTable();
    table.name = QStringLiteral("Customer's \"Big\" Orders");
    db->createTable(table);
    reopen();
    const auto tables = db->tables();
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].name, table.name);
    EXPECT_EQ(tables[0].description, table.description);
    ASSERT_EQ(tables[0].rows.size(), 2u);
    EXPECT_EQ(tables[0].rows[0], table.rows[0]);
    EXPECT_TRUE(tables[0].rows[1][1].isNull());
    EXPECT_EQ(tables[0].rows[1][2], QVariant(false));
    EXPECT_EQ(tables[0].fields[2].type, QStringLiteral("YesNo"));
    db->createTable(
        {QStringLiteral("Codes"), {}, {{QStringLiteral("Code"), QStringLiteral("Text")}}, {{7.0}, {2.5}}});
    EXPECT_EQ(db->tables()[1].rows,
              std::vector<QVariantList>({{QStringLiteral("7")}, {QStringLiteral("2.5")}}));
    db->dropTable(QStringLiteral("Codes"));
    db->dropTable(QStringLiteral("customer's \"big\" orders"));
    EXPECT_TRUE(db->tables().empty());
}

TEST_F(DatabaseTest, TableDefinitionErrors) {
    EXPECT_EQ(errorNumber([&] {
                  db->createTable(
                      {QStringLiteral("T"), {}, {{QStringLiteral("F"), QStringLiteral("Varchar")}}, {}});
              }),
              3259);
    EXPECT_EQ(errorNumber([&] {
                  db->createTable({QStringLiteral("T"),
                                   {},
                                   {{QStringLiteral("F"), QStringLiteral("Text")},
                                    {QStringLiteral("f"), QStringLiteral("Long")}},
                                   {}});
              }),
              3191);
    EXPECT_EQ(
        errorNumber([&] {
            db->createTable(
                {QStringLiteral("MSysQdbForms"), {}, {{QStringLiteral("F"), QStringLiteral("Text")}}, {}});
        }),
        host::errObjectExists);
    EXPECT_EQ(errorNumber([&] { db->dropTable(QStringLiteral("MSysObjects")); }), 3033);
}

TEST_F(DatabaseTest, CrashInsideASaveLeavesNothingHalfWritten) {
    db->createQueryDef(QStringLiteral("Kept"), QStringLiteral("SELECT * FROM T"));
    db.reset();
    EXPECT_EXIT(
        {
            auto other = qdb::QdbDatabase::open(path());
            other->transaction([&] {
                other->createQueryDef(QStringLiteral("Lost"), QStringLiteral("SELECT * FROM T"));
                other->queryDef(QStringLiteral("Kept"))->setSql(QStringLiteral("SELECT * FROM Changed"));
                std::_Exit(3);
            });
        },
        ::testing::ExitedWithCode(3), "");
    reopen();
    EXPECT_EQ(db->queryDefCount(), 1);
    EXPECT_EQ(db->queryDef(QStringLiteral("Kept"))->sql(), QStringLiteral("SELECT * FROM T"));
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Count(*) AS n FROM MSysQueries WHERE Name1 = 'Changed'"),
                     QStringLiteral("n")),
              QStringList{QStringLiteral("0")});
}

TEST_F(DatabaseTest, QueryDefsSeeChangesMadeThroughAnotherConnection) {
    EXPECT_EQ(db->queryDefCount(), 0);
    auto other = qdb::QdbDatabase::open(path());
    other->createQueryDef(QStringLiteral("Elsewhere"), QStringLiteral("SELECT * FROM T"));
    ASSERT_EQ(db->queryDefCount(), 1);
    EXPECT_EQ(db->queryDef(0)->name(), QStringLiteral("Elsewhere"));
}

TEST_F(DatabaseTest, OpeningAndCreatingFiles) {
    EXPECT_EQ(errorNumber([&] { qdb::QdbDatabase::create(path()); }), 3204);
    EXPECT_EQ(errorNumber([&] { qdb::QdbDatabase::open(path() + QStringLiteral(".missing")); }), 3024);
    const QString text = mFolder.filePath(QStringLiteral("notes.qdb"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_EQ(errorNumber([&] { qdb::QdbDatabase::open(text); }), 3343);
    EXPECT_EQ(db->name(), path());
}
