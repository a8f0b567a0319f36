// The add-in loaded the host's way: registration, loading and connecting, a library that is missing or
// refuses, the ribbon merged from the add-in's definition and every ribbon control on every kind of
// object, and on older hosts the Tools-menu popup, the toolbar and its watch.
#include "DesktopTestSupport.h"

#include "app/AddinHost.h"
#include "app/AddinsDialog.h"
#include "app/ObjectWindows.h"
#include "app/QtCommandBars.h"
#include "app/Ribbon.h"
#include "hostapi/host.h"
#include "plavo/AddinRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

using app::MainWindow;

namespace {

const QString kProgId = QStringLiteral("plavo.AccessConnect");

QAction* toolsPopup(MainWindow& window) {
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->menu() && menu->menu()->objectName() == QLatin1String("Tools")) {
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == QLatin1String("Qorvel Editor")) {
                    return action;
                }
            }
        }
    }
    return nullptr;
}

QAction* toolbarButton(MainWindow& window, const QString& caption) {
    QToolBar* toolbar = window.commandBars()->toolbar(QStringLiteral("Qorvel Editor"));
    if (!toolbar) {
        return nullptr;
    }
    for (QAction* action : toolbar->actions()) {
        if (action->text() == caption) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

TEST_F(DesktopTest, RegisteringWritesThePerUserEntryAndStartLoadsIt) {
    EXPECT_EQ(app::AddinHost::registerLibrary(QStringLiteral(QORVEL_PLAVO)), QString());
    const auto entries = addinregistry::entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].progId, kProgId);
    EXPECT_EQ(entries[0].friendlyName, QStringLiteral("Qorvel Editor"));
    EXPECT_TRUE(entries[0].description.startsWith(
        QStringLiteral("Qorvel Editor is an add-in for Microsoft® Access®")));
    EXPECT_EQ(entries[0].loadBehavior, 3);

    app::HostOptions options;
    MainWindow window(options);
    window.setMessageSink([this](const QString& text) { mMessages << text; });
    window.connectAddins();
    EXPECT_TRUE(mMessages.isEmpty()) << mMessages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(window.addins().loaded().size(), 1u);
    EXPECT_TRUE(window.ribbon()->button(QStringLiteral("QueryEditor")));
    window.disconnectAddins();

    EXPECT_EQ(app::AddinHost::unregisterLibrary(QStringLiteral(QORVEL_PLAVO)), QString());
    EXPECT_TRUE(addinregistry::entries().empty());
}

TEST_F(DesktopTest, MissingOrRefusingLibraryIsReportedOnceAndTheHostGoesOn) {
    addinregistry::writeEntry({QStringLiteral("missing.Addin"), QStringLiteral("Missing"), QString(), 3,
                               mFolder.filePath(QStringLiteral("libmissing.so"))});
    addinregistry::writeEntry({QStringLiteral("refusing.Addin"), QStringLiteral("Refusing"), QString(), 3,
                               QStringLiteral(QORVEL_FAILING_ADDIN)});
    addinregistry::writeEntry({QStringLiteral("unloaded.Addin"), QStringLiteral("Unloaded"), QString(), 0,
                               mFolder.filePath(QStringLiteral("libunloaded.so"))});
    MainWindow& window = openHost(QStringLiteral("12.0"), true);
    window.connectAddins();
    ASSERT_EQ(mMessages.size(), 2) << mMessages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(mMessages[0].contains(QStringLiteral("'Missing'")));
    EXPECT_TRUE(mMessages[1].contains(QStringLiteral("'Refusing'")));
    EXPECT_TRUE(mMessages[1].contains(QStringLiteral("refused the connection")));
    EXPECT_TRUE(window.addins().loaded().empty());
    EXPECT_TRUE(window.openDatabase(mDatabasePath));
}

TEST_F(DesktopTest, RibbonGroupIsPlacedAfterTheReportsGroupAndBadDefinitionsAreRefused) {
    app::Ribbon ribbon(nullptr);
    QStringList clicks;
    const auto record = [&clicks](const QString& callback, const QString& id) {
        clicks << callback + QLatin1Char(':') + id;
    };
    EXPECT_FALSE(
        ribbon
            .mergeCustomUI(
                QStringLiteral(
                    "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><ribbon>"),
                record)
            .isEmpty());
    EXPECT_FALSE(ribbon.mergeCustomUI(QStringLiteral("<other/>"), record).isEmpty());
    EXPECT_TRUE(ribbon.customControlIds().isEmpty());

    const QString xml = QStringLiteral(
        "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\"><ribbon><tabs><tab "
        "idMso=\"TabCreate\">"
        "<group id=\"G\" label=\"Queries\" insertAfterMso=\"GroupCreateReports\">"
        "<button id=\"Big\" label=\"Big One\" size=\"large\" onAction=\"RunQorvel\" "
        "supertip=\"first&#13;second\"/>"
        "<separator id=\"S\"/><splitButton id=\"spl\"><button id=\"Face\" label=\"Face\" "
        "onAction=\"RunQorvel\"/>"
        "<menu id=\"m\"><button id=\"Entry\" label=\"Entry\" onAction=\"RunQorvel\"/></menu></splitButton>"
        "</group></tab></tabs></ribbon></customUI>");
    ASSERT_EQ(ribbon.mergeCustomUI(xml, record), QString());
    QWidget* reports = ribbon.group(QStringLiteral("GroupCreateReports"));
    QWidget* group = ribbon.group(QStringLiteral("G"));
    ASSERT_TRUE(reports && group);
    auto* layout = reports->parentWidget()->layout();
    EXPECT_EQ(layout->indexOf(group), layout->indexOf(reports) + 1);
    EXPECT_TRUE(ribbon.button(QStringLiteral("Big"))->toolTip().contains(QStringLiteral("first<br>second")));
    EXPECT_TRUE(ribbon.click(QStringLiteral("Big")));
    EXPECT_TRUE(ribbon.click(QStringLiteral("Face")));
    EXPECT_TRUE(ribbon.click(QStringLiteral("Entry")));
    EXPECT_FALSE(ribbon.click(QStringLiteral("Nothing")));
    EXPECT_EQ(clicks, (QStringList{QStringLiteral("RunQorvel:Big"), QStringLiteral("RunQorvel:Face"),
                                   QStringLiteral("RunQorvel:Entry")}));
}

// Each ribbon control on each kind of object: which of the add-in's windows opened, or which message came.
TEST_F(DesktopTest, EveryRibbonControlOnEveryKindOfObject) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.connectAddin(kProgId, QStringLiteral(QORVEL_PLAVO)));
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    ModalWatcher modals;
    struct Case {
        host::ObjectType type;
        const char* name;
        const char* control;
        const char* expected;  // a window's form name, or a message
    };
    const Case cases[] = {
        {host::ObjectType::Table, "Orders", "QueryEditor", "Query Editor is not available!"},
        {host::ObjectType::Table, "Orders", "Uses", "Qorvel is not available!"},
        {host::ObjectType::Table, "Orders", "UsesFind", "Qorvel Find is not available!"},
        {host::ObjectType::Table, "Orders", "UsedBy", "frmQorvel"},
        {host::ObjectType::Table, "Orders", "UsedByFind", "frmFindReplaceDlg"},
        {host::ObjectType::Query, "Order Totals", "QueryEditor", "frmEditor"},
        {host::ObjectType::Query, "Order Totals", "Uses", "frmQorvel"},
        {host::ObjectType::Query, "Order Totals", "UsesFind", "frmFindReplaceDlg"},
        {host::ObjectType::Query, "Order Totals", "UsedBy", "frmQorvel"},
        {host::ObjectType::Query, "Order Totals", "UsedByFind", "frmFindReplaceDlg"},
        {host::ObjectType::Form, "Customers", "QueryEditor", "Query Editor is not available!"},
        {host::ObjectType::Form, "Customers", "Uses", "frmQorvel"},
        {host::ObjectType::Form, "Customers", "UsedBy", "Query Used By is not available!"},
        {host::ObjectType::Form, "Customers", "UsedByFind", "Query Used By Find is not available!"},
        {host::ObjectType::Report, "Invoice", "Uses", "frmQorvel"},
        {host::ObjectType::Report, "Invoice", "UsesFind", "frmFindReplaceDlg"},
        {host::ObjectType::Report, "Invoice", "UsedBy", "Query Used By is not available!"},
        {host::ObjectType::Report, "Invoice", "QueryTemplates", "frmTemplates"},
        {host::ObjectType::Query, "Order Totals", "About", "frmAbout"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.name) + " " + test.control);
        ASSERT_TRUE(window.selectObject({test.type, QString::fromLatin1(test.name)}));
        modals.seen.clear();
        ASSERT_TRUE(window.clickControl(QString::fromLatin1(test.control)));
        const QString expected = QString::fromLatin1(test.expected);
        // The template picker and the About box are modal.
        if (expected.startsWith(QLatin1String("frm")) && expected != QLatin1String("frmTemplates") &&
            expected != QLatin1String("frmAbout")) {
            EXPECT_SOON(addinWindow(expected));
            EXPECT_TRUE(modals.seen.isEmpty());
        } else {
            EXPECT_SOON_EQ(modals.seen, QStringList{expected});
        }
        closeAddinWindows();
    }
    // The split button's face and Help open nothing.
    modals.seen.clear();
    EXPECT_TRUE(window.clickControl(QStringLiteral("Dependencies")));
    EXPECT_TRUE(window.clickControl(QStringLiteral("Help")));
    QTest::qWait(50);
    EXPECT_TRUE(modals.seen.isEmpty());
    EXPECT_FALSE(addinWindow(QStringLiteral("frmQorvel")));
}

// Hosts before version 12: the popup and the toolbar, their clicks, the watch and closing the database.
TEST_F(DesktopTest, CommandBarsOfOlderHosts) {
    MainWindow& window = openHost(QStringLiteral("10.0"));
    ASSERT_TRUE(window.connectAddin(kProgId, QStringLiteral(QORVEL_PLAVO)));
    EXPECT_FALSE(window.ribbon());
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    EXPECT_SOON(toolsPopup(window) && toolsPopup(window)->isVisible());
    QMenu* popup = toolsPopup(window)->menu();
    QStringList items;
    for (QAction* action : popup->actions()) {
        if (!action->isSeparator()) {
            items << action->text();
        }
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("Add Toolbar"), QStringLiteral("Show/Hide Toolbar"),
                                  QStringLiteral("Help &Contents"), QStringLiteral("&About...")}));

    ASSERT_TRUE(window.clickControl(QStringLiteral("Add/Remove Toolbar")));
    ASSERT_TRUE(window.commandBars()->toolbar(QStringLiteral("Qorvel Editor")));
    EXPECT_EQ(popup->actions().first()->text(), QStringLiteral("Remove Toolbar"));
    for (const char* caption : {"New Query", "Query Editor", "Datasheet View", "Design View", "Qorvel",
                                "Query Used By", "Qorvel Find", "Query Used By Find", "Help Contents"}) {
        QAction* button = toolbarButton(window, QString::fromLatin1(caption));
        ASSERT_TRUE(button) << caption;
        EXPECT_FALSE(button->icon().isNull()) << caption;
    }

    // The watch follows the current object (every 200 ms).
    window.selectObject({host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_SOON_WITHIN(!toolbarButton(window, QStringLiteral("Query Editor"))->isEnabled(), 1000);
    EXPECT_FALSE(toolbarButton(window, QStringLiteral("Qorvel"))->isEnabled());
    EXPECT_TRUE(toolbarButton(window, QStringLiteral("Query Used By"))->isEnabled());
    EXPECT_TRUE(toolbarButton(window, QStringLiteral("Datasheet View"))->isEnabled());
    window.selectObject({host::ObjectType::Form, QStringLiteral("Customers")});
    EXPECT_SOON_WITHIN(toolbarButton(window, QStringLiteral("Qorvel"))->isEnabled(), 1000);
    EXPECT_FALSE(toolbarButton(window, QStringLiteral("Query Used By"))->isEnabled());
    EXPECT_FALSE(toolbarButton(window, QStringLiteral("Datasheet View"))->isEnabled());
    window.selectObject({host::ObjectType::Query, QStringLiteral("Order Totals")});
    EXPECT_SOON_WITHIN(toolbarButton(window, QStringLiteral("Query Editor"))->isEnabled(), 1000);

    // Clicks go to the add-in's members.
    ModalWatcher modals;
    ASSERT_TRUE(window.clickControl(QStringLiteral("Qorvel")));
    EXPECT_SOON(addinWindow(QStringLiteral("frmQorvel")));
    ASSERT_TRUE(window.clickControl(QStringLiteral("Query Editor")));
    EXPECT_SOON(addinWindow(QStringLiteral("frmEditor")));
    ASSERT_TRUE(window.clickControl(QStringLiteral("Design View")));
    EXPECT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")})));
    // Opening design view from the toolbar closed the query's editor.
    EXPECT_SOON(!addinWindow(QStringLiteral("frmEditor")));
    window.selectObject({host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_SOON_WITHIN(toolbarButton(window, QStringLiteral("Datasheet View"))->isEnabled(), 1000);
    ASSERT_TRUE(window.clickControl(QStringLiteral("Datasheet View")));
    EXPECT_SOON(qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Table, QStringLiteral("Orders")})));
    ASSERT_TRUE(window.clickControl(QStringLiteral("New Query")));
    EXPECT_SOON_EQ(modals.seen, QStringList{QStringLiteral("frmTemplates")});
    ASSERT_TRUE(window.clickControl(QStringLiteral("&About...")));
    EXPECT_SOON_EQ(modals.seen.size(), 2);

    // Show/Hide hides the toolbar; Remove Toolbar deletes it.
    ASSERT_TRUE(window.clickControl(QStringLiteral("Show/Hide Toolbar")));
    EXPECT_TRUE(window.commandBars()->toolbar(QStringLiteral("Qorvel Editor"))->isHidden());
    ASSERT_TRUE(window.clickControl(QStringLiteral("Show/Hide Toolbar")));
    EXPECT_FALSE(window.commandBars()->toolbar(QStringLiteral("Qorvel Editor"))->isHidden());

    // Closing the database hides the popup and the toolbar and closes the add-in's windows.
    ASSERT_TRUE(addinWindow(QStringLiteral("frmQorvel")));
    window.closeDatabase();
    EXPECT_SOON_WITHIN(!toolsPopup(window)->isVisible(), 1000);
    EXPECT_TRUE(window.commandBars()->toolbar(QStringLiteral("Qorvel Editor"))->isHidden());
    EXPECT_FALSE(addinWindow(QStringLiteral("frmQorvel")));

    // Opening a database again shows them again, adding nothing twice.
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    EXPECT_SOON_WITHIN(toolsPopup(window)->isVisible(), 1000);
    int popups = 0;
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->menu() && menu->menu()->objectName() == QLatin1String("Tools")) {
            for (QAction* action : menu->menu()->actions()) {
                popups += action->text() == QLatin1String("Qorvel Editor") ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(popup->actions().size(), 5);  // four items and the separator before Help

    ASSERT_TRUE(window.clickControl(QStringLiteral("Add/Remove Toolbar")));
    EXPECT_FALSE(window.commandBars()->toolbar(QStringLiteral("Qorvel Editor")));
}

// Tools > Add-ins: the registered add-ins with their load behaviour, switched by the check box, and
// Remove deleting the selected entry.
TEST_F(DesktopTest, AddinsDialogSwitchesLoadBehaviourAndRemovesEntries) {
    EXPECT_EQ(app::AddinHost::registerLibrary(QStringLiteral(QORVEL_PLAVO)), QString());
    addinregistry::writeEntry({QStringLiteral("other.Addin"), QStringLiteral("Other"), QString(), 0,
                               mFolder.filePath(QStringLiteral("libother.so"))});
    app::AddinsDialog dialog;
    auto* table = dialog.findChild<QTableWidget*>();
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 2);
    const auto row = [table](const QString& name) {
        for (int i = 0; i < table->rowCount(); ++i) {
            if (table->item(i, 0)->text() == name) {
                return i;
            }
        }
        return -1;
    };
    ASSERT_GE(row(QStringLiteral("Qorvel Editor")), 0);
    EXPECT_EQ(table->item(row(QStringLiteral("Qorvel Editor")), 1)->text(),
              QStringLiteral("Load at Startup (3)"));
    EXPECT_EQ(table->item(row(QStringLiteral("Other")), 1)->text(), QStringLiteral("Unloaded (0)"));

    table->item(row(QStringLiteral("Qorvel Editor")), 0)->setCheckState(Qt::Unchecked);
    EXPECT_SOON(table->item(row(QStringLiteral("Qorvel Editor")), 1)->text() ==
                QStringLiteral("Unloaded (0)"));
    const auto behaviour = [](const QString& progId) {
        for (const auto& entry : addinregistry::entries()) {
            if (entry.progId == progId) {
                return entry.loadBehavior;
            }
        }
        return -1;
    };
    EXPECT_EQ(behaviour(kProgId), 0);
    table->item(row(QStringLiteral("Other")), 0)->setCheckState(Qt::Checked);
    EXPECT_SOON(behaviour(QStringLiteral("other.Addin")) == addinregistry::kLoadAtStartup);

    table->selectRow(row(QStringLiteral("Other")));
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("&Remove")) {
            button->click();
        }
    }
    EXPECT_EQ(behaviour(QStringLiteral("other.Addin")), -1);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Qorvel Editor"));
}
