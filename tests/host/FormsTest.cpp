// Forms and reports: their record sources and controls' row sources, the hidden ~sq_ queries that follow
// them, descriptions and containers.
#include "HostTestSupport.h"

using qdb::FormSpec;

namespace {

QStringList queryNames(host::Database& db) {
    QStringList names;
    for (int i = 0; i < db.queryDefCount(); ++i) {
        names << db.queryDef(i)->name();
    }
    names.sort();
    return names;
}

FormSpec ordersForm() {
    return FormSpec{QStringLiteral("Orders"),
                    QStringLiteral("  SELECT * FROM Orders"),
                    QStringLiteral("Order entry"),
                    {{QStringLiteral("Customer"), QStringLiteral("SELECT CustomerID FROM Customers")},
                     {QStringLiteral("Product"), QStringLiteral("Products")},
                     {QStringLiteral("Note"), QString()}}};
}

}  // namespace

TEST_F(DatabaseTest, HiddenQueriesFollowTheirForm) {
    db->saveForm(ordersForm());
    EXPECT_EQ(queryNames(*db),
              QStringList({QStringLiteral("~sq_cOrders~sq_cCustomer"), QStringLiteral("~sq_fOrders")}));
    auto recordSource = db->queryDef(QStringLiteral("~sq_fOrders"));
    EXPECT_EQ(recordSource->sql(), QStringLiteral("  SELECT * FROM Orders"));
    EXPECT_EQ(
        column(
            *db,
            QStringLiteral(
                "SELECT MSysQueries.Name1 FROM MSysObjects INNER JOIN MSysQueries ON MSysObjects.Id = "
                "MSysQueries.ObjectId WHERE MSysQueries.Attribute=5 And MSysObjects.[Name]='~sq_fOrders';"),
            QStringLiteral("Name1")),
        QStringList{QStringLiteral("Orders")});
    // Hidden queries are not saved queries of their own when the database is exported.
    EXPECT_TRUE(db->queries().empty());

    // Replacing: the record source becomes a plain name, a control's row source changes.
    FormSpec changed = ordersForm();
    changed.recordSource = QStringLiteral("Orders");
    changed.controls[0].rowSource = QStringLiteral("(SELECT Name FROM Suppliers)");
    db->saveForm(changed);
    EXPECT_EQ(queryNames(*db), QStringList{QStringLiteral("~sq_cOrders~sq_cCustomer")});
    EXPECT_EQ(db->queryDef(QStringLiteral("~sq_cOrders~sq_cCustomer"))->sql(),
              QStringLiteral("(SELECT Name FROM Suppliers)"));
    EXPECT_EQ(errorNumber([&] { recordSource->sql(); }), host::errObjectInvalid);

    // Renaming is saving under the new name and deleting the old one, in one transaction.
    db->transaction([&] {
        changed.name = QStringLiteral("Order Entry");
        db->saveForm(changed);
        db->deleteForm(QStringLiteral("Orders"));
    });
    EXPECT_EQ(queryNames(*db), QStringList{QStringLiteral("~sq_cOrder Entry~sq_cCustomer")});
    ASSERT_EQ(db->forms().size(), 1u);
    EXPECT_EQ(db->forms()[0].controls.size(), 3u);

    db->deleteForm(QStringLiteral("order entry"));
    EXPECT_TRUE(queryNames(*db).isEmpty());
    EXPECT_EQ(errorNumber([&] { db->deleteForm(QStringLiteral("Orders")); }), host::errItemNotFound);
}

TEST_F(DatabaseTest, ReportsOwnTheirOwnHiddenQueries) {
    FormSpec report = ordersForm();
    report.name = QStringLiteral("Invoice");
    db->saveReport(report);
    db->saveForm(ordersForm());
    EXPECT_EQ(queryNames(*db), QStringList({QStringLiteral("~sq_cOrders~sq_cCustomer"),
                                            QStringLiteral("~sq_dInvoice~sq_dCustomer"),
                                            QStringLiteral("~sq_fOrders"), QStringLiteral("~sq_rInvoice")}));
    db->deleteReport(QStringLiteral("Invoice"));
    EXPECT_EQ(queryNames(*db),
              QStringList({QStringLiteral("~sq_cOrders~sq_cCustomer"), QStringLiteral("~sq_fOrders")}));
    EXPECT_EQ(db->reports().size(), 0u);
}

TEST_F(DatabaseTest, FailedFormSaveLeavesTheOldForm) {
    db->saveForm(ordersForm());
    FormSpec broken = ordersForm();
    broken.recordSource = QStringLiteral("SELECT * FROM Orders WHERE (");
    broken.description = QStringLiteral("changed");
    EXPECT_NE(errorNumber([&] { db->saveForm(broken); }), 0);
    // A hidden name taken by a user's query stops the save as a whole.
    db->createQueryDef(QStringLiteral("~sq_fOther"), QStringLiteral("SELECT 1 FROM Orders"));
    FormSpec other = ordersForm();
    other.name = QStringLiteral("Other");
    EXPECT_EQ(errorNumber([&] { db->saveForm(other); }), host::errObjectExists);
    EXPECT_EQ(db->forms().size(), 1u);
    EXPECT_EQ(db->forms()[0].description, QStringLiteral("Order entry"));
    EXPECT_EQ(queryNames(*db), QStringList({QStringLiteral("~sq_cOrders~sq_cCustomer"),
                                            QStringLiteral("~sq_fOrders"), QStringLiteral("~sq_fOther")}));
    FormSpec badControl = ordersForm();
    badControl.controls.push_back({QStringLiteral("customer"), QString()});
    EXPECT_EQ(errorNumber([&] { db->saveForm(badControl); }), host::errObjectExists);
    badControl.controls.back().name = QStringLiteral("a.b");
    EXPECT_EQ(errorNumber([&] { db->saveForm(badControl); }), host::errInvalidName);
}

TEST_F(DatabaseTest, LongHiddenNamesAreAccepted) {
    FormSpec form = ordersForm();
    form.name = QString(60, QLatin1Char('F'));
    form.controls[0].name = QString(60, QLatin1Char('C'));
    db->saveForm(form);
    EXPECT_EQ(
        db->queryDef(QStringLiteral("~sq_c") + form.name + QStringLiteral("~sq_c") + form.controls[0].name)
            ->sql(),
        form.controls[0].rowSource);
}

TEST_F(DatabaseTest, DescriptionsAndContainers) {
    db->createTable({QStringLiteral("Orders"),
                     QStringLiteral("All orders"),
                     {{QStringLiteral("Id"), QStringLiteral("Long")}},
                     {}});
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM Orders"));
    db->saveForm(ordersForm());
    db->saveReport({QStringLiteral("Invoice"), QStringLiteral("Orders"), QString(), {}});

    EXPECT_EQ(db->documentNames(QStringLiteral("tables")),
              QStringList({QStringLiteral("MSysObjects"), QStringLiteral("MSysQueries"),
                           QStringLiteral("Orders"), QStringLiteral("Q"), QStringLiteral("~sq_fOrders"),
                           QStringLiteral("~sq_cOrders~sq_cCustomer")}));
    EXPECT_EQ(db->documentNames(QStringLiteral("Forms")), QStringList{QStringLiteral("Orders")});
    EXPECT_EQ(db->documentNames(QStringLiteral("Reports")), QStringList{QStringLiteral("Invoice")});
    EXPECT_TRUE(db->documentNames(QStringLiteral("Modules")).isEmpty());
    EXPECT_EQ(errorNumber([&] { db->documentNames(QStringLiteral("Nope")); }), host::errItemNotFound);

    const QString description = QStringLiteral("Description");
    EXPECT_EQ(db->documentProperty(QStringLiteral("Tables"), QStringLiteral("orders"), description),
              QVariant(QStringLiteral("All orders")));
    EXPECT_EQ(db->documentProperty(QStringLiteral("Forms"), QStringLiteral("Orders"), description),
              QVariant(QStringLiteral("Order entry")));
    EXPECT_EQ(errorNumber(
                  [&] { db->documentProperty(QStringLiteral("Tables"), QStringLiteral("Q"), description); }),
              host::errPropertyNotFound);
    EXPECT_EQ(errorNumber([&] {
                  db->documentProperty(QStringLiteral("Reports"), QStringLiteral("Invoice"), description);
              }),
              host::errPropertyNotFound);
    EXPECT_EQ(errorNumber([&] {
                  db->documentProperty(QStringLiteral("Tables"), QStringLiteral("Nope"), description);
              }),
              host::errItemNotFound);
    EXPECT_EQ(
        errorNumber([&] { db->documentProperty(QStringLiteral("Forms"), QStringLiteral("Q"), description); }),
        host::errItemNotFound);

    db->setDescription(QStringLiteral("Tables"), QStringLiteral("q"), QStringLiteral("The query"));
    EXPECT_EQ(db->documentProperty(QStringLiteral("Tables"), QStringLiteral("Q"), description),
              QVariant(QStringLiteral("The query")));
    EXPECT_EQ(db->queries()[0].description, QStringLiteral("The query"));
    db->setDescription(QStringLiteral("Tables"), QStringLiteral("Q"), QString());
    EXPECT_EQ(errorNumber(
                  [&] { db->documentProperty(QStringLiteral("Tables"), QStringLiteral("Q"), description); }),
              host::errPropertyNotFound);
    EXPECT_EQ(errorNumber([&] {
                  db->setDescription(QStringLiteral("Reports"), QStringLiteral("Q"), QStringLiteral("x"));
              }),
              host::errItemNotFound);
}
