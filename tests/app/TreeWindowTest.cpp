// The add-in's tree window in the desktop host: opened from the ribbon on the sample database, its nodes
// and pictures, the enabling of Open and Edit by node, tooltips, the context menu, double click and Enter,
// several windows at once, closing with the database, and the exports (a picture of a tree taller than the
// window, file names without the characters a file system refuses).
#include "DesktopTestSupport.h"

#include "app/DatabaseWindow.h"
#include "app/ObjectWindows.h"
#include "hostapi/host.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>

namespace {

const QString kProgId = QStringLiteral("plavo.AccessConnect");

// Stands in for the desktop's viewers: records the files the shell was asked to open.
class Viewers : public QObject {
    Q_OBJECT
public:
    Viewers() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Viewers() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    Q_INVOKABLE void open(const QUrl& url) { opened << url.toLocalFile(); }
    QStringList opened;
};

QTreeWidgetItem* findItem(QTreeWidget& tree, const QString& text) {
    const auto items = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

QImage picture(const QTreeWidgetItem& item) {
    return item.icon(0).pixmap(16, 16).toImage();
}

class TreeWindowTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        // The exports go to the user's data folder: a test's own.
        QStandardPaths::setTestModeEnabled(true);
        app::MainWindow& window = openHost();
        ASSERT_TRUE(window.connectAddin(kProgId, QStringLiteral(QORVEL_PLAVO)));
        ASSERT_TRUE(window.openDatabase(mDatabasePath));
    }

    QWidget* openTree(host::ObjectType type, const QString& name, const QString& control) {
        const auto before = treeWindows();
        EXPECT_TRUE(mWindow->selectObject({type, name}));
        EXPECT_TRUE(mWindow->clickControl(control));
        QWidget* opened = nullptr;
        (void)QTest::qWaitFor([&] {
            for (QWidget* window : treeWindows()) {
                if (!before.contains(window)) {
                    opened = window;
                }
            }
            return opened != nullptr;
        });
        return opened;
    }

    static QList<QWidget*> treeWindows() {
        QList<QWidget*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() == QLatin1String("frmQorvel")) {
                windows << widget;
            }
        }
        return windows;
    }

    static QAction* button(QWidget& window, const char* key) {
        return window.findChild<QToolBar*>(QStringLiteral("tbButtons"))
            ->findChild<QAction*>(QString::fromLatin1(key));
    }
};

}  // namespace

TEST_F(TreeWindowTest, UsedByWindowShowsTheTreeWithPicturesByKindAndEnablesCommandsByNode) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("VEXOR Query/Table Used By"));
    EXPECT_EQ(window->parentWidget(), mWindow.get());  // stays above the host's main window

    // The toolbar in its order, with its tips and a picture on every button.
    const auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("tbButtons"));
    ASSERT_TRUE(toolbar);
    QStringList order;
    for (QAction* action : toolbar->actions()) {
        order << (action->isSeparator() ? QStringLiteral("|")
                                        : action->objectName() + '=' + action->toolTip());
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull());
    }
    EXPECT_EQ(order.join(' '), QStringLiteral("Open=Open Design=Design | Edit=Edit Text=Output to Notepad "
                                              "Bitmap=Bitmap"));

    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Customers"));
    QTreeWidgetItem* table = tree->topLevelItem(0);
    QTreeWidgetItem* select = findItem(*tree, QStringLiteral("Customer List"));
    QTreeWidgetItem* form = findItem(*tree, QStringLiteral("Order Entry.cboCustomer"));
    QTreeWidgetItem* report = findItem(*tree, QStringLiteral("Invoice"));
    QTreeWidgetItem* deep = findItem(*tree, QStringLiteral("Top Customer Mailing"));
    ASSERT_TRUE(select && form && report && deep);
    EXPECT_TRUE(deep->parent() && deep->parent()->text(0) == QLatin1String("Top Customers"));
    const QList<QImage> pictures{picture(*table), picture(*select), picture(*form), picture(*report)};
    for (int i = 0; i < pictures.size(); ++i) {
        EXPECT_FALSE(pictures[i].isNull());
        for (int j = i + 1; j < pictures.size(); ++j) {
            EXPECT_NE(pictures[i], pictures[j]) << i << " and " << j << " look alike";
        }
    }

    // Open and Edit by node kind: a table opens but has no SQL, a form control neither.
    struct Case {
        QTreeWidgetItem* node;
        bool open;
        bool edit;
    };
    for (const Case& test : {Case{table, true, false}, Case{select, true, true}, Case{form, false, false},
                             Case{report, false, false}}) {
        SCOPED_TRACE(test.node->text(0).toStdString());
        tree->setCurrentItem(test.node);
        EXPECT_EQ(button(*window, "Open")->isEnabled(), test.open);
        EXPECT_EQ(button(*window, "Edit")->isEnabled(), test.edit);
        EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("mnuEdit"))->isEnabled(), test.edit);
    }
}

TEST_F(TreeWindowTest, DoubleClickOpensTheNodeWithoutFoldingItAndEnterOpensToo) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    QTreeWidgetItem* totals = findItem(*tree, QStringLiteral("Order Totals"));
    ASSERT_TRUE(totals && totals->childCount() > 0);
    const bool expanded = totals->isExpanded();
    const QPoint centre = tree->visualItemRect(totals).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_SOON(mWindow->objectWindow({host::ObjectType::Query, QStringLiteral("Order Totals")}));
    EXPECT_EQ(totals->isExpanded(), expanded);

    tree->setCurrentItem(findItem(*tree, QStringLiteral("Customer List")));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_SOON(mWindow->objectWindow({host::ObjectType::Query, QStringLiteral("Customer List")}));
}

TEST_F(TreeWindowTest, SeveralWindowsAtOnceAndAllCloseWithTheDatabase) {
    QWidget* usedBy =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    QWidget* uses =
        openTree(host::ObjectType::Query, QStringLiteral("Top Customer Mailing"), QStringLiteral("Uses"));
    ASSERT_TRUE(usedBy && uses);
    EXPECT_EQ(uses->windowTitle(), QStringLiteral("VEXOR Qorvel"));
    EXPECT_EQ(treeWindows().size(), 2);
    EXPECT_EQ(uses->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"))->topLevelItem(0)->text(0),
              QStringLiteral("Top Customer Mailing"));

    mWindow->closeDatabase();
    EXPECT_SOON(treeWindows().isEmpty());
}

TEST_F(TreeWindowTest, PictureExportHoldsEveryUnfoldedRowOfATreeTallerThanTheWindow) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    tree->expandAll();
    window->resize(300, 120);  // far fewer rows fit than the tree has
    QApplication::processEvents();
    int rows = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        ++rows;
    }
    ASSERT_GT(rows, 15);

    Viewers viewers;
    button(*window, "Bitmap")->trigger();
    const QString file =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Customers.png");
    EXPECT_EQ(viewers.opened, QStringList{file});
    QImage image(file);
    ASSERT_FALSE(image.isNull()) << file.toStdString();
    // One row height per node: the picture's height over the node count.
    const int rowHeight = (image.height() - 8) / rows;
    EXPECT_EQ(image.height() - 8, rowHeight * rows);
    EXPECT_GE(rowHeight, 16);
    EXPECT_GT(image.height(), window->height());
    QFile::remove(file);

    // The text export writes the caption, a blank line and the tree.
    button(*window, "Text")->trigger();
    QFile text(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
               QStringLiteral("/Customers.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(text.readAll());
    EXPECT_TRUE(
        content.startsWith(QStringLiteral("VEXOR Query/Table Used By\n\nCustomers\n    Active Customers\n")))
        << content.toStdString();
    text.remove();
}

TEST_F(TreeWindowTest, TooltipIsTheObjectDescriptionAndTheMenuComesOnlyOnTheSelectedNode) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    QTreeWidgetItem* table = tree->topLevelItem(0);
    QTreeWidgetItem* list = findItem(*tree, QStringLiteral("Customer List"));
    ASSERT_TRUE(list);

    const auto tooltipAt = [&](const QPoint& position) {
        QHelpEvent help(QEvent::ToolTip, position, tree->viewport()->mapToGlobal(position));
        QApplication::sendEvent(tree->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tooltipAt(tree->visualItemRect(list).center()), QStringLiteral("Every customer, by name."));
    EXPECT_EQ(tooltipAt(tree->visualItemRect(table).center()),
              QStringLiteral("Shops and wholesalers that buy from Tallow & Finch Traders."));
    const QPoint empty(5, tree->viewport()->height() - 3);
    ASSERT_FALSE(tree->itemAt(empty));
    tooltipAt(empty);
    EXPECT_SOON(!QToolTip::isVisible());  // nothing there: the tip goes

    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuPopUp"));
    ASSERT_TRUE(menu);
    tree->setCurrentItem(table);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(list).center());
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(tree->currentItem(), table);  // the right button does not select
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(table).center());
    EXPECT_SOON(menu->isVisible());
    QStringList items;
    for (QAction* action : menu->actions()) {
        items << (action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    EXPECT_EQ(items.join(' '), QStringLiteral("Open Design Edit | Text Bmp"));
    menu->hide();
}

TEST_F(TreeWindowTest, ExportFilesAreNamedAfterTheObjectWithoutTheCharactersAFileNameCannotHold) {
    ASSERT_NO_THROW(mWindow->application().currentDb()->createQueryDef(
        QStringLiteral("Who/Buys? <All> \"Best\" | A:B*"),
        QStringLiteral("SELECT Customers.* FROM Customers;")));
    mWindow->databaseWindow()->refresh();
    QWidget* window = openTree(host::ObjectType::Query, QStringLiteral("Who/Buys? <All> \"Best\" | A:B*"),
                               QStringLiteral("Uses"));
    ASSERT_TRUE(window);
    Viewers viewers;
    button(*window, "Bitmap")->trigger();
    button(*window, "Text")->trigger();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(viewers.opened, (QStringList{folder + QStringLiteral("/Who_Buys_ _All_ _Best_ _ A_B_.png"),
                                           folder + QStringLiteral("/Who_Buys_ _All_ _Best_ _ A_B_.txt")}));
    for (const QString& file : viewers.opened) {
        EXPECT_TRUE(QFile::remove(file)) << file.toStdString();
    }
}

TEST_F(TreeWindowTest, OpenDesignAndEditOnEachKindOfNodeReachTheHostAndTheEditor) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    struct Case {
        const char* node;
        host::ObjectType type;
        const char* object;
        bool opens;  // Open gives a datasheet; forms and reports open in design view only
    };
    const Case cases[] = {
        {"Customers", host::ObjectType::Table, "Customers", true},
        {"Customer List", host::ObjectType::Query, "Customer List", true},
        {"Order Entry.cboCustomer", host::ObjectType::Form, "Order Entry", false},
        {"Invoice", host::ObjectType::Report, "Invoice", false},
    };
    const auto closeObject = [&](host::ObjectType type, const QString& name) {
        if (QWidget* object = mWindow->objectWindow({type, name})) {
            object->close();
            QApplication::processEvents();
        }
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.node);
        const QString object = QString::fromLatin1(test.object);
        tree->setCurrentItem(findItem(*tree, QString::fromLatin1(test.node)));
        button(*window, "Design")->trigger();
        // The host stand-in shows a table's design as its datasheet.
        EXPECT_SOON(mWindow->objectWindow({test.type, object}) &&
                    (test.type == host::ObjectType::Table ||
                     mWindow->objectWindow({test.type, object})->view() == host::View::Design));
        closeObject(test.type, object);
        button(*window, "Open")->trigger();  // disabled on forms and reports: nothing opens
        if (test.opens) {
            EXPECT_SOON(mWindow->objectWindow({test.type, object}) &&
                        mWindow->objectWindow({test.type, object})->view() == host::View::Normal);
        } else {
            QTest::qWait(50);
            EXPECT_FALSE(mWindow->objectWindow({test.type, object}));
        }
        closeObject(test.type, object);
        button(*window, "Edit")->trigger();  // only a saved query has SQL to edit
        if (test.type == host::ObjectType::Query) {
            EXPECT_SOON(addinWindow(QStringLiteral("frmEditor")));
        } else {
            QTest::qWait(50);
            EXPECT_FALSE(addinWindow(QStringLiteral("frmEditor")));
        }
        while (QWidget* editor = addinWindow(QStringLiteral("frmEditor"))) {
            editor->close();
            QApplication::processEvents();
        }
        ASSERT_TRUE(window->isVisible());
    }
}

TEST_F(TreeWindowTest, F1OpensTheTreeWindowsHelpPageBesideTheAddin) {
    QWidget* window =
        openTree(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedBy"));
    ASSERT_TRUE(window);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("tvQorvel"));
    window->activateWindow();
    QApplication::setActiveWindow(window);
    tree->setFocus();
    Viewers viewers;
    QTest::keyClick(tree, Qt::Key_F1);
    ASSERT_EQ(viewers.opened.size(), 1);
    const QString page = viewers.opened.first();
    EXPECT_EQ(page, QFileInfo(QStringLiteral(QORVEL_PLAVO)).absolutePath() + "/plavo-help/trees.html");
    EXPECT_TRUE(QFile::exists(page));
}

#include "TreeWindowTest.moc"
