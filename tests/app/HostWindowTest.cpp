// The host's own windows: opening and refusing files, the database window, the current object, the views
// an object opens in, the lazily read datasheet, the new-query command and the simple query wizard.
#include "DesktopTestSupport.h"

#include "app/DatasheetModel.h"
#include "app/ObjectWindows.h"
#include "app/QueryWizards.h"
#include "host/HostApplication.h"
#include "hostapi/host.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include "common/QStringPrinter.h"

#include <sqlite3.h>

using app::MainWindow;

TEST_F(DesktopTest, RefusesFilesThatAreNotDatabasesAndStaysUsable) {
    MainWindow& window = openHost();
    const QString text = mFolder.filePath(QStringLiteral("notes.qdb"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("These are my notes, not a database.\n");
    file.close();
    EXPECT_FALSE(window.openDatabase(text));
    ASSERT_EQ(mMessages.size(), 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("notes.qdb")));
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("not a database")));

    // An SQLite file without the system catalogue.
    const QString plain = mFolder.filePath(QStringLiteral("plain.qdb"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(plain.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(window.openDatabase(plain));
    ASSERT_EQ(mMessages.size(), 2);
    EXPECT_TRUE(mMessages[1].contains(QStringLiteral("MSysObjects")));

    EXPECT_FALSE(window.openDatabase(mFolder.filePath(QStringLiteral("missing.qdb"))));
    EXPECT_TRUE(mMessages.last().contains(QStringLiteral("does not exist")));

    EXPECT_FALSE(window.hasDatabase());
    EXPECT_TRUE(window.openDatabase(mDatabasePath));
    EXPECT_TRUE(window.databaseWindow()->names(host::ObjectType::Table).contains(QStringLiteral("Orders")));
}

TEST_F(DesktopTest, HiddenObjectsShowOnlyWithShowHidden) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    const auto hidden = [&window] {
        int count = 0;
        for (const QString& name : window.databaseWindow()->names(host::ObjectType::Query)) {
            count += name.startsWith(QStringLiteral("~sq_")) ? 1 : 0;
        }
        for (const QString& name : window.databaseWindow()->names(host::ObjectType::Table)) {
            count += name.startsWith(QStringLiteral("MSys")) ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(hidden(), 0);
    window.databaseWindow()->setShowHidden(true);
    EXPECT_GT(hidden(), 2);
    EXPECT_TRUE(
        window.databaseWindow()->names(host::ObjectType::Table).contains(QStringLiteral("MSysObjects")));
    window.databaseWindow()->setShowHidden(false);
    EXPECT_EQ(hidden(), 0);
}

TEST_F(DesktopTest, SelectionAndActiveWindowMakeTheCurrentObject) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    const struct {
        host::ObjectType type;
        const char* name;
    } objects[] = {{host::ObjectType::Table, "Orders"},
                   {host::ObjectType::Query, "Order Totals"},
                   {host::ObjectType::Form, "Customers"},
                   {host::ObjectType::Report, "Invoice"}};
    for (const auto& object : objects) {
        ASSERT_TRUE(window.selectObject({object.type, QString::fromLatin1(object.name)}));
        EXPECT_EQ(window.application().currentObject(),
                  (host::ObjectRef{object.type, QString::fromLatin1(object.name)}));
    }
    // An object open in a window is current while the window is active.
    window.openObject({host::ObjectType::Query, QStringLiteral("Big Orders")});
    EXPECT_SOON(window.objectWindow({host::ObjectType::Query, QStringLiteral("Big Orders")}) != nullptr);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")}));
    EXPECT_EQ(window.application().objectState({host::ObjectType::Query, QStringLiteral("Big Orders")}),
              host::ObjectState::Open);
    // Back in the database window, its selection is current again.
    window.selectObject({host::ObjectType::Table, QStringLiteral("Customers")});
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Table, QStringLiteral("Customers")}));
    // Closing the window closes the object in the host.
    window.documents()->closeAllSubWindows();
    EXPECT_SOON_EQ(window.application().objectState({host::ObjectType::Query, QStringLiteral("Big Orders")}),
                   host::ObjectStates());
}

TEST_F(DesktopTest, ObjectsOpenInTheirViews) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.openObject({host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_SOON(window.objectWindow({host::ObjectType::Table, QStringLiteral("Orders")}));
    auto* datasheet = qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Table, QStringLiteral("Orders")}));
    ASSERT_TRUE(datasheet && datasheet->table());
    EXPECT_GT(datasheet->table()->model()->rowCount(), 0);

    // A saved query's datasheet shows its rows.
    window.openObject({host::ObjectType::Query, QStringLiteral("Order Totals")});
    EXPECT_SOON(window.objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")}));
    auto* rows = qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")}));
    ASSERT_TRUE(rows && rows->table());
    EXPECT_EQ(rows->table()->model()->rowCount(), 6);

    window.openDesign({host::ObjectType::Query, QStringLiteral("Order Totals")});
    EXPECT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")})));
    EXPECT_EQ(window.state().openView({host::ObjectType::Query, QStringLiteral("Order Totals")}),
              host::View::Design);

    window.openObject({host::ObjectType::Form, QStringLiteral("Order Entry")});
    EXPECT_SOON(qobject_cast<app::DocumentWindow*>(
        window.objectWindow({host::ObjectType::Form, QStringLiteral("Order Entry")})));
    window.openObject({host::ObjectType::Report, QStringLiteral("Invoice")});
    EXPECT_SOON(qobject_cast<app::DocumentWindow*>(
        window.objectWindow({host::ObjectType::Report, QStringLiteral("Invoice")})));
}

TEST_F(DesktopTest, NewQueryCommandOpensAnUnsavedDesign) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.application().doCmd().runCommand(host::Command::NewObjectQuery);
    EXPECT_SOON(window.objectWindow({host::ObjectType::Query, QStringLiteral("Query1")}));
    EXPECT_EQ(window.application().objectState({host::ObjectType::Query, QStringLiteral("Query1")}),
              host::ObjectState::Open | host::ObjectState::New);
}

TEST_F(DesktopTest, SimpleQueryWizardSavesTheQuery) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    QString problem = QStringLiteral("not run");
    QTimer::singleShot(0, [&] {
        auto* wizard = qobject_cast<app::SimpleQueryWizard*>(window.activeWizard());
        ASSERT_TRUE(wizard);
        wizard->chooseSource(QStringLiteral("Customers"));
        wizard->chooseFields({QStringLiteral("CustomerID"), QStringLiteral("CompanyName")});
        wizard->setQueryName(QStringLiteral("Customer Names"));
        problem = wizard->finish();
        wizard->accept();
    });
    window.application().run(QString::fromLatin1(app::kSimpleQueryWizard));
    EXPECT_EQ(problem, QString());
    EXPECT_TRUE(
        window.databaseWindow()->names(host::ObjectType::Query).contains(QStringLiteral("Customer Names")));
    auto database = window.application().currentDb();
    EXPECT_EQ(
        database->queryDef(QStringLiteral("Customer Names"))->sql(),
        QStringLiteral("SELECT [Customers].[CustomerID], [Customers].[CompanyName]\r\nFROM [Customers];"));
    EXPECT_SOON(window.objectWindow({host::ObjectType::Query, QStringLiteral("Customer Names")}));

    // The other wizards are not part of this host: it says so.
    window.application().run(QString::fromLatin1(app::kCrosstabQueryWizard));
    ASSERT_EQ(mMessages.size(), 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("can't start this wizard")));
}

TEST_F(DesktopTest, DatasheetReadsOnlyThePagesShown) {
    const QString path = mFolder.filePath(QStringLiteral("big.qdb"));
    {
        auto database = qdb::QdbDatabase::create(path);
        qdb::TableSpec table;
        table.name = QStringLiteral("Numbers");
        table.fields = {{QStringLiteral("N"), QStringLiteral("Long")},
                        {QStringLiteral("Label"), QStringLiteral("Text")}};
        for (int i = 0; i < 5000; ++i) {
            table.rows.push_back({i, QStringLiteral("row %1").arg(i)});
        }
        database->createTable(table);
    }
    app::DatasheetModel model(path, QStringLiteral("Numbers"));
    EXPECT_EQ(model.rowCount(), 5000);
    EXPECT_EQ(model.pagesRead(), 0);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("row 0"));
    EXPECT_EQ(model.pagesRead(), 1);
    EXPECT_EQ(model.data(model.index(4999, 0)).toString(), QStringLiteral("4999"));
    EXPECT_EQ(model.data(model.index(300, 1)).toString(), QStringLiteral("row 300"));
    EXPECT_EQ(model.data(model.index(299, 1)).toString(), QStringLiteral("row 299"));
    EXPECT_EQ(model.pagesRead(), 3);
    // Scrolling through every row keeps only a bounded number of pages.
    for (int row = 0; row < 5000; row += 97) {
        ASSERT_EQ(model.data(model.index(row, 0)).toInt(), row);
    }
}
