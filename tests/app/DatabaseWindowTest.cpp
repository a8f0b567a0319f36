// The database window as a user drives it: the keyboard moves the current object through every kind,
// Enter and Ctrl+Enter open, and hiding hidden objects again does not leave a hidden one current.
#include "DesktopTestSupport.h"

#include "app/DatabaseWindow.h"
#include "app/ObjectWindows.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "hostapi/host.h"

using app::MainWindow;

TEST_F(DesktopTest, KeyboardMovesTheCurrentObjectThroughEveryKind) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    app::DatabaseWindow* objects = window.databaseWindow();
    const QStringList tables = objects->names(host::acTable);
    ASSERT_TRUE(window.selectObject(host::acTable, tables.last()));
    // Down from the last table reaches the Queries heading, which is no object and leaves the current
    // object as it was, then the first query.
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObjectName(), tables.last());
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObjectType(), host::acQuery);
    EXPECT_EQ(window.application().currentObjectName(), objects->names(host::acQuery).first());
    QTest::keyClick(objects, Qt::Key_End);
    EXPECT_EQ(window.application().currentObjectType(), host::acReport);
    EXPECT_EQ(window.application().currentObjectName(), objects->names(host::acReport).last());
    QTest::keyClick(objects, Qt::Key_Home);
    QTest::keyClick(objects, Qt::Key_Down);
    EXPECT_EQ(window.application().currentObjectType(), host::acTable);
    EXPECT_EQ(window.application().currentObjectName(), tables.first());

    // Enter opens the datasheet, Ctrl+Enter the design view.
    ASSERT_TRUE(window.selectObject(host::acQuery, QStringLiteral("Countries")));
    QTest::keyClick(objects, Qt::Key_Return);
    EXPECT_SOON(
        qobject_cast<app::DatasheetWindow*>(window.objectWindow(host::acQuery, QStringLiteral("Countries"))));
    ASSERT_TRUE(window.selectObject(host::acQuery, QStringLiteral("Order Totals")));
    QTest::keyClick(objects, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_SOON(qobject_cast<app::QueryDesignWindow*>(
        window.objectWindow(host::acQuery, QStringLiteral("Order Totals"))));
    EXPECT_EQ(window.application().currentObjectName(), QStringLiteral("Order Totals"));
}

TEST_F(DesktopTest, HidingHiddenObjectsAgainLeavesNoHiddenObjectCurrent) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    window.databaseWindow()->setShowHidden(true);
    QString hidden;
    for (const QString& name : window.databaseWindow()->names(host::acQuery)) {
        if (name.startsWith(QStringLiteral("~sq_"))) {
            hidden = name;
            break;
        }
    }
    ASSERT_FALSE(hidden.isEmpty());
    ASSERT_TRUE(window.selectObject(host::acQuery, hidden));
    EXPECT_EQ(window.application().currentObjectName(), hidden);
    window.databaseWindow()->setShowHidden(false);
    EXPECT_NE(window.application().currentObjectName(), hidden);
    EXPECT_EQ(window.application().currentObjectType(), -1);

    // A visible selection survives the toggle both ways.
    ASSERT_TRUE(window.selectObject(host::acTable, QStringLiteral("Orders")));
    window.databaseWindow()->setShowHidden(true);
    window.databaseWindow()->setShowHidden(false);
    EXPECT_EQ(window.application().currentObjectName(), QStringLiteral("Orders"));
    EXPECT_EQ(window.databaseWindow()->selectedObject()->name, QStringLiteral("Orders"));
}
