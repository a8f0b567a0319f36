// The database window as a user drives it: the keyboard moves the current object through every kind,
// Enter and Ctrl+Enter open, and hiding hidden objects again does not leave a hidden one current.
#include "DesktopTestSupport.h"

#include "app/DatabaseWindow.h"
#include "app/ObjectWindows.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "hostapi/host.h"
#include "plavo/DesktopHostWindows.h"

using app::MainWindow;

TEST_F(DesktopTest, KeyboardMovesTheCurrentObjectThroughEveryKind) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    app::DatabaseWindow* objects = window.databaseWindow();
    const QStringList tables = objects->names(host::ObjectType::Table);
    ASSERT_TRUE(window.selectObject({host::ObjectType::Table, tables.last()}));
    // Down from the last table reaches the Queries heading, which is no object and leaves the current
    // object as it was, then the first query.
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Table, tables.last()}));
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Query, objects->names(host::ObjectType::Query).first()}));
    QTest::keyClick(objects, Qt::Key_End);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Report, objects->names(host::ObjectType::Report).last()}));
    QTest::keyClick(objects, Qt::Key_Home);
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Table, tables.first()}));

    // Enter opens the datasheet, Ctrl+Enter the design view.
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Countries")}));
    QTest::keyClick(objects, Qt::Key_Return);
    EXPECT_SOON(qobject_cast<app::DatasheetWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Countries")})));
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Order Totals")}));
    QTest::keyClick(objects, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")})));
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Query, QStringLiteral("Order Totals")}));
}

TEST_F(DesktopTest, HidingHiddenObjectsAgainLeavesNoHiddenObjectCurrent) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.databaseWindow()->setShowHidden(true);
    QString hidden;
    for (const QString& name : window.databaseWindow()->names(host::ObjectType::Query)) {
        if (name.startsWith(QStringLiteral("~sq_"))) {
            hidden = name;
            break;
        }
    }
    ASSERT_FALSE(hidden.isEmpty());
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, hidden}));
    EXPECT_EQ(window.application().currentObject(), (host::ObjectRef{host::ObjectType::Query, hidden}));
    window.databaseWindow()->setShowHidden(false);
    EXPECT_FALSE(window.application().currentObject());

    // A visible selection survives the toggle both ways.
    ASSERT_TRUE(window.selectObject({host::ObjectType::Table, QStringLiteral("Orders")}));
    window.databaseWindow()->setShowHidden(true);
    window.databaseWindow()->setShowHidden(false);
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")}));
    EXPECT_EQ(window.databaseWindow()->selectedObject()->name, QStringLiteral("Orders"));
}

// The host's windows as the add-in finds them: the database window below the main window, and the
// "Database objects" bar whose pressed button is the page shown.
TEST_F(DesktopTest, AddinFindsTheDatabaseWindowAndItsPage) {
    MainWindow& window = openHost();
    DesktopHostWindows windows([&window] { return quintptr(window.winId()); });
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    const quintptr databaseWindow = windows.databaseWindow();
    EXPECT_EQ(databaseWindow, quintptr(window.databaseWindow()));
    EXPECT_TRUE(windows.isWindowVisible(databaseWindow));
    EXPECT_FALSE(windows.isWindowVisible(databaseWindow + 1));
    windows.bringWindowToTop(databaseWindow);

    const auto pressed = [&windows] {
        QList<int> ids;
        for (const auto& control : windows.commandBarControls(QStringLiteral("Database objects"))) {
            if (control.state == -1) {
                ids << control.id;
            }
        }
        return ids;
    };
    ASSERT_TRUE(window.selectObject({host::ObjectType::Query, QStringLiteral("Countries")}));
    EXPECT_EQ(pressed(), QList<int>{1774});
    ASSERT_TRUE(window.selectObject({host::ObjectType::Table, QStringLiteral("Orders")}));
    EXPECT_EQ(pressed(), QList<int>{1773});
    ASSERT_TRUE(window.selectObject({host::ObjectType::Form, QStringLiteral("Customers")}));
    EXPECT_EQ(pressed(), QList<int>{1775});

    // The add-in's page changes through the host: a page it does not have presses nothing, a listed one
    // shows its objects with the first selected.
    window.application().doCmd().selectObject({host::ObjectType::Module, QString()}, true);
    EXPECT_TRUE(pressed().isEmpty());
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Form, QStringLiteral("Customers")}));
    window.application().doCmd().selectObject({host::ObjectType::Query, QString()}, true);
    EXPECT_EQ(pressed(), QList<int>{1774});
    EXPECT_EQ(window.application().currentObject(),
              (host::ObjectRef{host::ObjectType::Query,
                               window.databaseWindow()->names(host::ObjectType::Query).first()}));
    EXPECT_THROW(windows.commandBarControls(QStringLiteral("No such bar")), std::exception);

    // Without a host window there is no database window.
    DesktopHostWindows none([] { return quintptr(0); });
    EXPECT_EQ(none.databaseWindow(), 0u);
}
