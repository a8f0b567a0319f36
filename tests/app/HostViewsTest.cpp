// The host's views and commands beyond the datasheet: the simple query wizard's refusals and a query it
// saved running, the design view of each kind of query, a form's and a report's view, the built-in ribbon
// commands, a new database, and the objects named on the command line.
#include "DesktopTestSupport.h"

#include "app/DatabaseWindow.h"
#include "app/ObjectWindows.h"
#include "app/QueryWizards.h"
#include "app/ScriptRunner.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "hostapi/host.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

using app::MainWindow;

namespace {

QStringList labelTexts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

}  // namespace

TEST_F(DesktopTest, SimpleQueryWizardRefusesWhatCannotBeSavedAndItsQueryRuns) {
    auto database = qdb::QdbDatabase::open(mDatabasePath);
    app::SimpleQueryWizard wizard(database, mDatabasePath);
    wizard.chooseSource(QStringLiteral("Order Details"));
    EXPECT_EQ(wizard.finish(), QStringLiteral("Choose at least one field."));
    wizard.chooseFields({QStringLiteral("OrderID"), QStringLiteral("Quantity")});
    // A name taken by another object is the engine's refusal, and nothing is saved over it.
    const QString before = database->queryDef(QStringLiteral("Order Totals"))->sql();
    wizard.setQueryName(QStringLiteral("Order Totals"));
    EXPECT_TRUE(wizard.finish().contains(QStringLiteral("already exists"))) << wizard.finish().toStdString();
    EXPECT_EQ(database->queryDef(QStringLiteral("Order Totals"))->sql(), before);
    wizard.setQueryName(QStringLiteral("Bad [Name]"));
    EXPECT_FALSE(wizard.finish().isEmpty());
    EXPECT_TRUE(wizard.savedQuery().isEmpty());

    wizard.setQueryName(QStringLiteral("Detail Quantities"));
    ASSERT_EQ(wizard.finish(), QString());
    EXPECT_EQ(wizard.savedQuery(), QStringLiteral("Detail Quantities"));
    EXPECT_EQ(database->queryDef(QStringLiteral("Detail Quantities"))->sql(),
              QStringLiteral(
                  "SELECT [Order Details].[OrderID], [Order Details].[Quantity]\r\nFROM [Order Details];"));
    EXPECT_EQ(database->runQuery(QStringLiteral("Detail Quantities"), {}).rowCount(), 11);

    // A query as the source offers its output columns by their names.
    app::SimpleQueryWizard onQuery(database, mDatabasePath);
    onQuery.chooseSource(QStringLiteral("Order Totals"));
    onQuery.chooseFields({QStringLiteral("CompanyName"), QStringLiteral("OrderTotal")});
    onQuery.setQueryName(QStringLiteral("Totals by Company"));
    ASSERT_EQ(onQuery.finish(), QString());
    const qdb::QueryResult rows = database->runQuery(QStringLiteral("Totals by Company"), {});
    EXPECT_EQ(rows.columns, (QStringList{QStringLiteral("CompanyName"), QStringLiteral("OrderTotal")}));
    EXPECT_EQ(rows.rowCount(), 6);
}

TEST_F(DesktopTest, DesignViewOfEachKindOfQuery) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    const auto design = [&window](const QString& name) {
        return qobject_cast<app::QueryDesignWindow*>(window.objectWindow({host::ObjectType::Query, name}));
    };

    // A select query with joins and grouping: its output columns in the grid, in order.
    window.openDesign({host::ObjectType::Query, QStringLiteral("Order Totals")});
    ASSERT_SOON(design(QStringLiteral("Order Totals")));
    auto* grid = design(QStringLiteral("Order Totals"))->findChild<QTableWidget*>();
    ASSERT_TRUE(grid);
    QStringList aliases;
    for (int column = 0; column < grid->columnCount(); ++column) {
        if (grid->item(1, column) && !grid->item(1, column)->text().isEmpty()) {
            aliases << grid->item(1, column)->text();
        }
    }
    EXPECT_TRUE(aliases.contains(QStringLiteral("OrderTotal")))
        << aliases.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(design(QStringLiteral("Order Totals"))->showsSql());
    EXPECT_TRUE(labelTexts(*design(QStringLiteral("Order Totals")))
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("Orders.OrderID")));

    // A union query has no design grid: only its SQL.
    window.openDesign({host::ObjectType::Query, QStringLiteral("All Contacts")});
    ASSERT_SOON(design(QStringLiteral("All Contacts")));
    EXPECT_TRUE(design(QStringLiteral("All Contacts"))->showsSql());
    EXPECT_EQ(design(QStringLiteral("All Contacts"))->findChild<QTabWidget*>()->count(), 1);
    EXPECT_TRUE(design(QStringLiteral("All Contacts"))
                    ->findChild<QPlainTextEdit*>()
                    ->toPlainText()
                    .startsWith(QStringLiteral("SELECT Customers.CompanyName AS Contact")));

    // SQL View of a saved query shows the saved text.
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Countries")}));
    window.openDesign({host::ObjectType::Query, QStringLiteral("Countries")});
    ASSERT_SOON(design(QStringLiteral("Countries")));
    design(QStringLiteral("Countries"))->showSqlView();
    EXPECT_TRUE(design(QStringLiteral("Countries"))->showsSql());
}

TEST_F(DesktopTest, FormAndReportViewsShowRecordSourceAndRowSources) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.openObject({host::ObjectType::Form, QStringLiteral("Customers")});
    ASSERT_SOON(window.objectWindow({host::ObjectType::Form, QStringLiteral("Customers")}));
    QStringList texts =
        labelTexts(*window.objectWindow({host::ObjectType::Form, QStringLiteral("Customers")}));
    EXPECT_TRUE(texts.contains(QStringLiteral("Customers")));
    EXPECT_TRUE(texts.contains(QStringLiteral("cboCountry:")));
    EXPECT_TRUE(texts.join(QLatin1Char('\n')).contains(QStringLiteral("SELECT DISTINCT Customers.Country")));
    // The form is the current object while its window is active.
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Form, QStringLiteral("Customers")}));

    window.openDesign({host::ObjectType::Report, QStringLiteral("Stock Sheet")});
    ASSERT_SOON(window.objectWindow({host::ObjectType::Report, QStringLiteral("Stock Sheet")}));
    texts = labelTexts(*window.objectWindow({host::ObjectType::Report, QStringLiteral("Stock Sheet")}));
    EXPECT_TRUE(texts.contains(QStringLiteral("Design View")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Products")));
    EXPECT_EQ(window.state().openView({host::ObjectType::Report, QStringLiteral("Stock Sheet")}),
              host::View::Design);
}

TEST_F(DesktopTest, BuiltInRibbonCommands) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Countries")}));
    ASSERT_TRUE(window.clickControl(QStringLiteral("ViewsDatasheetView")));
    EXPECT_SOON(qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Countries")})));
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Big Orders")}));
    ASSERT_TRUE(window.clickControl(QStringLiteral("QueryRunQuery")));
    EXPECT_SOON(qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Big Orders")})));
    ASSERT_TRUE(window.selectObject({host::ObjectType::Table, QStringLiteral("Orders")}));
    ASSERT_TRUE(window.clickControl(QStringLiteral("ViewsDesignView")));
    ASSERT_TRUE(window.clickControl(QStringLiteral("CreateQueryInDesignView")));
    EXPECT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Query1")})));
    EXPECT_TRUE(mMessages.isEmpty()) << mMessages.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(window.clickControl(QStringLiteral("CompactAndRepair")));
    EXPECT_EQ(mMessages, QStringList{QStringLiteral("This command isn't available in Qorvel Host.")});
    EXPECT_FALSE(window.clickControl(QStringLiteral("NoSuchControl")));
}

TEST_F(DesktopTest, NewDatabaseIsEmptyAndAnExistingFileIsNotReplaced) {
    MainWindow& window = openHost();
    const QString path = mFolder.filePath(QStringLiteral("new.qdb"));
    ASSERT_TRUE(window.newDatabase(path)) << mMessages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(window.databasePath(), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(window.databaseWindow()->names(host::ObjectType::Table).isEmpty());
    EXPECT_TRUE(window.databaseWindow()->names(host::ObjectType::Query).isEmpty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("new : Database - Qorvel Host"));
    EXPECT_EQ(window.application().currentProject().fullName(), QFileInfo(path).absoluteFilePath());

    EXPECT_FALSE(window.newDatabase(mDatabasePath));
    ASSERT_EQ(mMessages.size(), 1);
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("sample.qdb")));
    EXPECT_EQ(window.databasePath(), QFileInfo(path).absoluteFilePath());
    EXPECT_GT(QFileInfo(mDatabasePath).size(), 0);
    window.closeDatabase();
    EXPECT_EQ(window.application().currentProject().fullName(), QString());
}

TEST(ScriptObjects, KindAndNameFromTheCommandLine) {
    using host::ObjectRef;
    using host::ObjectType;
    EXPECT_EQ(app::parseObject(QStringLiteral("query:Order Totals")),
              (ObjectRef{ObjectType::Query, QStringLiteral("Order Totals")}));
    EXPECT_EQ(app::parseObject(QStringLiteral("Report:A:B")),
              (ObjectRef{ObjectType::Report, QStringLiteral("A:B")}));
    EXPECT_EQ(app::parseObject(QStringLiteral("table:Orders")),
              (ObjectRef{ObjectType::Table, QStringLiteral("Orders")}));
    EXPECT_EQ(app::parseObject(QStringLiteral("form:Customers")),
              (ObjectRef{ObjectType::Form, QStringLiteral("Customers")}));
    EXPECT_FALSE(app::parseObject(QStringLiteral("macro:Autoexec")));
    EXPECT_FALSE(app::parseObject(QStringLiteral("query:")));
    EXPECT_FALSE(app::parseObject(QStringLiteral("Orders")));
    EXPECT_FALSE(app::parseObject(QStringLiteral(":Orders")));
}
