// The desktop's pop-ups at the caret of a real text box, on the offscreen screen: placed on the screen
// wherever the caret is, keys and clicks that accept or cancel, the template window's tabs, and a field
// dragged from the fields dialog dropped into the text at the drop point.
#include "common/QtApplicationEnvironment.h"

#include "CompletionHarness.h"

#include "datasources/ClauseInsertion.h"
#include "platform/QtRichTextControl.h"
#include "plavo/CompletionPopUps.h"
#include "plavo/FieldsDialog.h"
#include "plavo/TemplatesDialog.h"

#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace {

class CompletionViews : public CompletionTest {
protected:
    void SetUp() override {
        CompletionTest::SetUp();
        window.resize(400, 200);
        box = std::make_unique<platform::QtRichTextControl>(&window);
        box->widget()->setGeometry(0, 0, 400, 200);
        popUps = std::make_unique<QtPopUpWindows>(box->widget());
    }
    void TearDown() override {
        popUps.reset();
        box.reset();
        CompletionTest::TearDown();
    }
    QRect screen() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Runs the check on the pop-up that opens next, then dismisses it with the key.
    static void whenShown(std::function<void(QWidget*)> check, Qt::Key key = Qt::Key_Escape) {
        QTimer::singleShot(0, [check, key] {
            QWidget* popUp = QApplication::activePopupWidget();
            ASSERT_TRUE(popUp);
            check(popUp);
            QTest::keyClick(popUp->focusWidget() ? popUp->focusWidget() : popUp, key);
        });
    }

    QWidget window;
    std::unique_ptr<platform::QtRichTextControl> box;
    std::unique_ptr<QtPopUpWindows> popUps;
};

}  // namespace

TEST_F(CompletionViews, ListStaysOnTheScreenWhereverTheCaretIs) {
    box->setText(QStringLiteral("SELECT {table1}\r\nFROM x"));
    const QStringList rows{QStringLiteral("Orders"), QStringLiteral("A much longer name of a saved query")};
    for (const QPoint corner : {QPoint(0, 0), screen().bottomRight() - QPoint(60, 40)}) {
        window.move(corner);
        window.show();
        box->setSelStart(9);
        QRect shown;
        whenShown([&](QWidget* popUp) {
            shown = popUp->frameGeometry();
            // the list is widened to its widest row
            auto* list = popUp->findChild<QListWidget*>();
            EXPECT_GE(list->width(), list->fontMetrics().horizontalAdvance(rows[1]));
        });
        EXPECT_EQ(popUps->ShowList(rows), QString());  // Escape: nothing chosen
        EXPECT_TRUE(screen().contains(shown)) << shown.x() << "," << shown.y();
        const QRect caret = popUps->caretRect();
        if (corner == QPoint(0, 0)) {
            EXPECT_GT(shown.top(), caret.bottom());  // room below: under the caret line
        } else {
            EXPECT_LT(shown.bottom(), caret.top());  // none below: above it
        }
    }
}

TEST_F(CompletionViews, KeysOfTheList) {
    window.show();
    const QStringList rows{QStringLiteral("Orders"), QStringLiteral("Customers")};
    whenShown([](QWidget*) {}, Qt::Key_Space);  // the space bar takes the selected (first) row
    EXPECT_EQ(popUps->ShowList(rows), QStringLiteral("Orders"));
    QTimer::singleShot(0, [] {
        QWidget* popUp = QApplication::activePopupWidget();
        ASSERT_TRUE(popUp);
        QTest::keyClick(popUp->focusWidget(), Qt::Key_Down);
        QTest::keyClick(popUp->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(popUps->ShowList(rows), QStringLiteral("Customers"));
    whenShown([](QWidget*) {}, Qt::Key_Tab);
    EXPECT_EQ(popUps->ShowList(rows), QString());
}

TEST_F(CompletionViews, NumberInput) {
    window.show();
    QTimer::singleShot(0, [] {
        QWidget* popUp = QApplication::activePopupWidget();
        ASSERT_TRUE(popUp);
        QTest::keyClicks(popUp->focusWidget(), QStringLiteral("12a3"));
        QTest::keyClick(popUp->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(popUps->InputText(true), std::optional<QString>(QStringLiteral("123")));
    QTimer::singleShot(0, [] {
        QWidget* popUp = QApplication::activePopupWidget();
        ASSERT_TRUE(popUp);
        QTest::keyClicks(popUp->focusWidget(), QStringLiteral("abc"));
        QTest::keyClick(popUp->focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(popUps->InputText(false), std::nullopt);
}

TEST_F(CompletionViews, FieldDroppedAtTheDropPoint) {
    table("Orders", {"OrderID", "Ship Name"});
    query("Order List", "SELECT Orders.OrderID FROM Orders;");
    sourcesOf(QStringLiteral("Order List"));
    struct Owner : FieldsDialogOwner {
        QString QueryName() const override { return QStringLiteral("Order List"); }
        const CV_QueryDataSource* queryDataSource() const override { return record; }
        bool AddFields(const QString&) override { return true; }
        const CV_QueryDataSource* record = nullptr;
    } owner;
    owner.record = dataSource.get();
    auto* dialog = new FieldsDialog(context(), owner, &window);
    ASSERT_TRUE(dialog->load());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Order List  - Data Sources Fields "));
    dialog->list()->setCurrentRow(1);
    QListWidgetItem* dragged = dialog->list()->currentItem();
    ASSERT_EQ(dragged->text(), QStringLiteral("OrderID"));

    // the editor's drop handler: the caret to the drop point, then the field goes in there
    QObject::connect(box.get(), &platform::RichTextControl::OLEDragDrop, box.get(),
                     [this](const QString& data, int x, int y) {
                         DropField(context().services(), *box, QPoint(x, y), data);
                     });
    // coloured, so that the keyword before the drop point is known as one
    platform::InMemoryTimer colouringTimer;
    HeadlessEditor colouring(context(), *box, colouringTimer);
    colouring.Initialize(QStringLiteral("SELECT  FROM Orders"));
    window.show();
    QTextEdit* edit = box->widget();
    QTextCursor cursor(edit->document());
    cursor.setPosition(7);
    const QPoint point = edit->cursorRect(cursor).center();
    std::unique_ptr<QMimeData> data(
        dialog->list()->model()->mimeData({dialog->list()->model()->index(dialog->list()->row(dragged), 0)}));
    ASSERT_TRUE(data);
    QDragEnterEvent enter(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &enter);
    QDropEvent drop(QPointF(point), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &drop);
    EXPECT_EQ(box->text(), QStringLiteral("SELECT OrderID FROM Orders"));
    delete dialog;
}

TEST_F(CompletionViews, TemplateWindowTabsAndModes) {
    TemplatesDialog insert(context(), &window, {folder.filePath("none")});
    insert.Init(1);
    EXPECT_FALSE(insert.tabs()->isHidden());
    EXPECT_EQ(insert.okButton()->text(), QStringLiteral("Insert"));
    EXPECT_EQ(insert.tabs()->tabToolTip(0), QStringLiteral("All (Fragments + Queries)"));
    insert.show();
    insert.tabs()->setCurrentIndex(2);
    EXPECT_EQ(insert.logic().TabIndex(), 3);
    QApplication::setActiveWindow(&insert);
    QTest::keyClick(insert.list(), Qt::Key_Tab, Qt::ControlModifier);  // after the last tab the first
    EXPECT_EQ(insert.tabs()->currentIndex(), 0);

    TemplatesDialog create(context(), &window, {folder.filePath("none")});
    create.Init(3);
    EXPECT_TRUE(create.tabs()->isHidden());
    EXPECT_EQ(create.okButton()->text(), QStringLiteral("Create"));
    EXPECT_EQ(create.list()->topLevelItemCount(), 5);
    EXPECT_EQ(create.list()->topLevelItem(0)->text(0), QStringLiteral("Design View"));
}

// With QORVEL_SCREENSHOTS set to a folder: the pictures of the README, the list popped up at a
// placeholder of an editor's text (editor and list in one picture) and the template window.
TEST_F(CompletionViews, Screenshots) {
    const QString folderPath = qEnvironmentVariable("QORVEL_SCREENSHOTS");
    if (folderPath.isEmpty()) {
        GTEST_SKIP() << "QORVEL_SCREENSHOTS not set";
    }
    table("Customers", {"CustomerID", "CompanyName", "City"});
    table("Orders", {"OrderID", "CustomerID", "OrderDate", "Freight"});
    table("Order Details", {"OrderID", "ProductID", "Quantity"});
    query("Customer Orders",
          "SELECT Customers.*, Orders.OrderID FROM Customers INNER JOIN Orders ON "
          "Customers.CustomerID = Orders.CustomerID;");
    window.resize(520, 220);
    box->widget()->setGeometry(0, 0, 520, 220);
    box->widget()->setFont(QFont(QStringLiteral("Monospace"), 10));
    platform::InMemoryTimer colouringTimer;
    HeadlessEditor colouring(context(), *box, colouringTimer);
    colouring.Initialize(
        QStringLiteral("SELECT {table1}.{field1}, Count(*) AS Orders\r\nFROM {table1}\r\nGROUP BY "
                       "{table1}.{field1};"));
    window.show();
    box->setSelStart(9);
    const QStringList rows = CompletionLists(context(), *this).PrepareTablesList();
    QTimer::singleShot(100, [&] {
        QWidget* popUp = QApplication::activePopupWidget();
        ASSERT_TRUE(popUp);
        QImage picture = window.grab().toImage();
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(popUp->pos()), popUp->grab());
        painter.end();
        picture.save(folderPath + QStringLiteral("/qorvel-completion-list.png"));
        QTest::keyClick(popUp->focusWidget(), Qt::Key_Escape);
    });
    popUps->ShowList(rows);

    TemplatesDialog templates(context(), &window, {QStringLiteral(QORVEL_SOURCE_DIR "/templates")});
    templates.Init(1);
    templates.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&templates));
    templates.list()->setCurrentItem(templates.list()->topLevelItem(8));
    templates.grab().save(folderPath + QStringLiteral("/qorvel-templates.png"));
}
