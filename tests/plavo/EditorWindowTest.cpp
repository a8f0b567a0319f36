// The editor window as the desktop shows it, driven with real key and mouse events on the offscreen
// platform, over a real engine database, with a scripted prompter that records every message: typing and
// colouring, the toolbar's enabling, the window's Alt keys, undo, the close questions, one window per
// query through the registry, the outside-change offer, and the context menu on a name.
#include "catalogue/AddinContext.h"
#include "catalogue/mMainWindows.h"
#include "common/QtApplicationEnvironment.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryPrompter.h"
#include "platform/QtRichTextControl.h"
#include "plavo/EditorWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using platform::MsgResult;

// Only the editor: the other tools are not offered.
class EditorOnlyWindows : public ToolWindows {
public:
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext&) override { return nullptr; }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) override {
        ++editorsCreated;
        return EditorWindow::create(context);
    }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext&) override { return nullptr; }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override { return nullptr; }
    void ShowAbout(AddinContext&) override {}
    void OpenHelpContents(AddinContext&, const QString&) override {}
    int editorsCreated = 0;
};

EditorWindow* editorWindow(const QString& caption) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<EditorWindow*>(widget);
        if (window && window->isVisible() && window->windowTitle() == caption) {
            return window;
        }
    }
    return nullptr;
}

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("window.qdb")));
        qdb::TableSpec orders;
        orders.name = QStringLiteral("Orders");
        orders.fields = {{QStringLiteral("OrderID"), QStringLiteral("Long")}};
        database->createTable(orders);
        database->createQueryDef(QStringLiteral("Order List"), QStringLiteral("SELECT OrderID FROM Orders;"));
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        platform::Services services;
        services.prompter = &prompter;
        context = std::make_shared<AddinContext>(application.get(), services, &windows);
    }

    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<EditorWindow*>(widget)) {
                window->logic().NoSavePrompt = true;
                window->close();
            }
        }
        QApplication::processEvents();
    }

    EditorWindow* open(const QString& name) {
        ShowQueryEditor(*context, name, false);
        EditorWindow* window = editorWindow(QStringLiteral("SQL Editor - ") + name);
        if (window) {
            window->logic().setColouringDelay(0);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }

    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    platform::InMemoryPrompter prompter;
    EditorOnlyWindows windows;
    std::shared_ptr<AddinContext> context;
};

TEST_F(EditorWindowTest, TypingColoursAndTheAltKeysSave) {
    EditorWindow* window = open(QStringLiteral("Order List"));
    ASSERT_TRUE(window);
    QTextEdit* box = window->textBox();
    EXPECT_TRUE(box->font().fixedPitch());
    EXPECT_FALSE(window->button(QStringLiteral("Save"))->isEnabled());
    EXPECT_EQ(window->button(QStringLiteral("Template"))->toolTip(), QStringLiteral("Insert Template"));
    EXPECT_EQ(window->button(QStringLiteral("Replace"))->text(), QStringLiteral("Re&place"));

    box->setFocus();
    platform::QtRichTextControl& rtb = window->control();
    rtb.setSelStart(int(rtb.text().size()) - 1);
    QTest::keyClicks(box, QStringLiteral(" where"));
    const int where = int(rtb.text().indexOf(QStringLiteral("where")));
    // Navy once the (zero) colouring pause has passed.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const int caret = rtb.selStart();
        rtb.setSelStart(where + 2);
        const bool navy = rtb.selColor() == 0x800000u;
        rtb.setSelStart(caret);
        return navy;
    }));
    EXPECT_TRUE(window->button(QStringLiteral("Save"))->isEnabled());
    EXPECT_TRUE(window->button(QStringLiteral("Undo"))->isEnabled());

    // Ctrl+Z takes the last character back; Alt+S saves what is there.
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rtb.text(), QStringLiteral("SELECT OrderID FROM Orders wher;"));
    EXPECT_TRUE(window->button(QStringLiteral("Redo"))->isEnabled());
    QTest::keyClicks(box, QStringLiteral("e OrderID > 1"));
    QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(database->queryDef(QStringLiteral("Order List"))->sql(),
              QStringLiteral("SELECT OrderID FROM Orders where OrderID > 1;"));
    EXPECT_EQ(rtb.text(), database->queryDef(QStringLiteral("Order List"))->sql());
    EXPECT_FALSE(window->button(QStringLiteral("Save"))->isEnabled());
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(EditorWindowTest, OneWindowPerQueryAndTheCloseQuestion) {
    EditorWindow* window = open(QStringLiteral("Order List"));
    ASSERT_TRUE(window);
    ShowQueryEditor(*context, QStringLiteral("ORDER LIST"), false);
    EXPECT_EQ(windows.editorsCreated, 1);

    QTest::keyClicks(window->textBox(), QStringLiteral("x"));
    prompter.answer(MsgResult::Yes);  // save, but the engine refuses the text
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Do you want to save changes in 'Order List'?"));
    EXPECT_TRUE(prompter.messages()[1].text.startsWith(QStringLiteral("It is impossible to save the Query")));
    EXPECT_TRUE(window->isVisible());

    QPointer<EditorWindow> held(window);
    prompter.answer(MsgResult::No);
    EXPECT_TRUE(window->close());
    QApplication::processEvents();
    EXPECT_FALSE(context->openEditors().contains(QStringLiteral("Order List")));
    EXPECT_EQ(database->queryDef(QStringLiteral("Order List"))->sql(),
              QStringLiteral("SELECT OrderID FROM Orders;"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return held.isNull(); }));

    // Opened again, it is a new window.
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    EXPECT_EQ(windows.editorsCreated, 2);
}

TEST_F(EditorWindowTest, ARightClickOnATableNameOffersItsCommands) {
    EditorWindow* window = open(QStringLiteral("Order List"));
    ASSERT_TRUE(window);
    QTextEdit* box = window->textBox();
    QTextCursor cursor(box->document());
    cursor.setPosition(int(box->toPlainText().indexOf(QStringLiteral("Orders"))) + 2);
    const QPoint at = box->cursorRect(cursor).center();
    QTest::mouseClick(box->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QMenu* menu = window->contextMenu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(window->control().selText(), QStringLiteral("Orders"));
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuOpen"))->isVisible());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuEdit"))->isEnabled());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuQorvel"))->isEnabled());
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuCopy"))->isEnabled());
    window->menuItem(QStringLiteral("mnuOpen"))->trigger();
    menu->hide();
    EXPECT_EQ(application->openView({host::ObjectType::Table, QStringLiteral("Orders")}), host::View::Normal);

    // On a keyword: only the clipboard items.
    cursor.setPosition(2);
    QTest::mouseClick(box->viewport(), Qt::RightButton, Qt::NoModifier, box->cursorRect(cursor).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuOpen"))->isVisible());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuUsedBy"))->isVisible());
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuPaste"))->isVisible());
    menu->hide();
}

}  // namespace
