// The editor window's logic on the in-memory platform over a real engine database: loading, the save and
// close questions with every answer, the naming rules, failed saves, one window per query, the outside-change
// watch, the keys and buttons, the context menu on names and the clipboard commands. The prompter answers
// from a script and records every message, so the texts are checked as the user reads them.
#include "addin/RecordingToolWindows.h"
#include "catalogue/AddinContext.h"
#include "catalogue/mMainWindows.h"
#include "common/QStringPrinter.h"
#include "editor/frmEditor.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

constexpr quintptr kEditorHandle = 101;
constexpr quintptr kHostHandle = 102;
constexpr quintptr kOtherApplication = 103;

class FakeSurface : public frmEditorSurface {
public:
    quintptr windowHandle() const override { return kEditorHandle; }
    quintptr foregroundWindow() const override { return foreground; }
    QPoint screenTopLeft() const override { return QPoint(300, 200); }
    void setCaption(const QString& text) override { caption = text; }
    void commandsChanged() override {}
    void showContextMenu(int x, int y) override { menuShownAt = QPoint(x, y); }
    void closeWindow() override { closeRequests++; }
    QString clipboardText() const override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }

    quintptr foreground = kEditorHandle;
    QString caption;
    std::optional<QPoint> menuShownAt;
    int closeRequests = 0;
    QString clipboard;
};

// Stands for the editor's entry in the registry.
class Entry : public QueryEditorWindow {
public:
    bool Initialize(const QString&, const QString&) override { return true; }
    void Show() override {}
    void Unload() override {}
};

class EditorLogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("editor.qdb")));
        qdb::TableSpec orders;
        orders.name = QStringLiteral("Orders");
        orders.fields = {{QStringLiteral("OrderID"), QStringLiteral("Long")},
                         {QStringLiteral("Customer"), QStringLiteral("Text")}};
        database->createTable(orders);
        qdb::TableSpec details;
        details.name = QStringLiteral("Order Details");
        details.fields = {{QStringLiteral("OrderID"), QStringLiteral("Long")}};
        database->createTable(details);
        database->createQueryDef(QStringLiteral("Order List"),
                                 QStringLiteral("SELECT Orders.* FROM Orders;"));
        database->createQueryDef(QStringLiteral("Big Orders"),
                                 QStringLiteral("SELECT OrderID FROM [Order List] WHERE OrderID > 10;"));
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        application->setMainWindowHandle(kHostHandle);
        platform::Services services;
        services.prompter = &prompter;
        context = std::make_shared<AddinContext>(application.get(), services, &windows);
        editor = std::make_unique<frmEditor>(*context, rtb, tmr, watch, surface);
        editor->setWindowEntry(entry);
    }

    // Opens the editor as ShowQueryEditor does: initialised, then registered.
    bool open(const QString& name, const QString& sql = QString()) {
        const bool ready = editor->Initialize(name, sql);
        if (ready && !name.isEmpty()) {
            context->openEditors().add(entry, name);
        }
        // The new window is in front.
        editor->tmrGetActiveWindow_Timer();
        return ready;
    }
    QString savedSql(const QString& name) { return database->queryDef(name)->sql(); }
    QStringList texts() const {
        QStringList list;
        for (const auto& message : prompter.messages()) {
            list << message.text;
        }
        return list;
    }
    // The user comes back to the editor from the host's main window.
    void switchFromHost() {
        surface.foreground = kHostHandle;
        editor->tmrGetActiveWindow_Timer();
        surface.foreground = kEditorHandle;
        editor->tmrGetActiveWindow_Timer();
    }
    void rightClickAt(int position) {
        const QString text = rtb.text();
        const int line = int(text.left(position).count(QStringLiteral("\r\n")));
        const int column = position - int(text.lastIndexOf(QStringLiteral("\r\n"), position - 1) + 2);
        const int x = (line == 0 ? position : column) * platform::InMemoryRichTextControl::charWidth + 2;
        rtb.mouseUp(2, 0, x, line * platform::InMemoryRichTextControl::lineHeight + 4);
    }

    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    platform::InMemoryPrompter prompter;
    RecordingToolWindows windows;
    std::shared_ptr<AddinContext> context;
    platform::InMemoryRichTextControl rtb;
    platform::InMemoryTimer tmr;
    platform::InMemoryTimer watch;
    FakeSurface surface;
    std::shared_ptr<Entry> entry = std::make_shared<Entry>();
    std::unique_ptr<frmEditor> editor;
};

TEST_F(EditorLogicTest, LoadsTheSavedTextWithoutItsLeadingLineBreakAndColoursIt) {
    database->queryDef(QStringLiteral("Order List"))
        ->setSql(QStringLiteral("\r\nSELECT Orders.* FROM Orders;"));
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    EXPECT_EQ(rtb.text(), QStringLiteral("SELECT Orders.* FROM Orders;"));
    EXPECT_EQ(editor->LoadedSQL(), QStringLiteral("\r\nSELECT Orders.* FROM Orders;"));
    EXPECT_EQ(surface.caption, QStringLiteral("SQL Editor - Order List"));
    EXPECT_EQ(rtb.colourAt(0), 0x800000u);  // SELECT is navy
    for (const char* key : {"Save", "Undo", "Redo"}) {
        EXPECT_FALSE(editor->toolbarButtonEnabled(QString::fromLatin1(key))) << key;
    }
    EXPECT_TRUE(editor->toolbarButtonEnabled(QStringLiteral("InsertItem")));
    EXPECT_TRUE(watch.isActive());
    EXPECT_EQ(watch.interval(), frmEditor::kWatchInterval);
    // The stripped line break is no outside change.
    switchFromHost();
    EXPECT_TRUE(prompter.messages().empty());

    // A lone line feed stays.
    database->queryDef(QStringLiteral("Order List"))->setSql(QStringLiteral("\nSELECT 1;"));
    ASSERT_TRUE(editor->Initialize(QStringLiteral("Order List"), QString()));
    EXPECT_TRUE(rtb.text().startsWith(QStringLiteral("\r\n")));
}

TEST_F(EditorLogicTest, OpeningATableOrAMissingQuery) {
    EXPECT_FALSE(editor->Initialize(QStringLiteral("Orders"), QString()));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("The Query Editor can not be used on a table."));
    EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::Exclamation);

    prompter.clear();
    prompter.answer(MsgResult::No);
    EXPECT_FALSE(editor->Initialize(QStringLiteral("Nowhere"), QString()));
    EXPECT_FALSE(database->findObject(host::ObjectType::Query, QStringLiteral("Nowhere")));

    prompter.clear();
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(editor->Initialize(QStringLiteral("Nowhere"), QString()));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Query 'Nowhere' not found in this Database.\r\nCreate new Query?"));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Query not found"));
    EXPECT_TRUE(database->findObject(host::ObjectType::Query, QStringLiteral("Nowhere")));
    // Loaded like any other query: typing records an undo step.
    rtb.typeText(QStringLiteral("x"));
    EXPECT_TRUE(editor->IsDirty());
}

TEST_F(EditorLogicTest, SaveWritesTheTextAndReloadsFromTheDatabase) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    QStringList savedNames;
    QObject::connect(editor.get(), &frmEditor::saved, [&](const QString& name) { savedNames << name; });
    int changes = 0;
    QObject::connect(editor.get(), &frmEditor::textChanged, [&] { ++changes; });
    rtb.setSelStart(int(rtb.text().size()) - 1);
    rtb.typeText(QStringLiteral(" WHERE OrderID = 1"));
    EXPECT_GT(changes, 0);
    EXPECT_TRUE(editor->toolbarButtonEnabled(QStringLiteral("Save")));
    int key = 83;  // Alt+S
    editor->Form_KeyDown(&key, platform::vbAltMask);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(savedSql(QStringLiteral("Order List")),
              QStringLiteral("SELECT Orders.* FROM Orders WHERE OrderID = 1;"));
    EXPECT_EQ(editor->LoadedSQL(), savedSql(QStringLiteral("Order List")));
    EXPECT_FALSE(editor->IsDirty());
    EXPECT_FALSE(editor->toolbarButtonEnabled(QStringLiteral("Save")));
    EXPECT_FALSE(editor->toolbarButtonEnabled(QStringLiteral("Undo")));
    EXPECT_EQ(savedNames, QStringList{QStringLiteral("Order List")});
    EXPECT_TRUE(prompter.messages().empty());

    // Alt+S with nothing changed: the key is swallowed and nothing is asked.
    key = 83;
    editor->Form_KeyDown(&key, platform::vbAltMask);
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(prompter.inputs().empty());
}

TEST_F(EditorLogicTest, AFailedSaveShowsTheReasonAndChangesNothing) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    const QString before = savedSql(QStringLiteral("Order List"));
    for (const QString& broken :
         {QStringLiteral("SELEC nothing"), QStringLiteral("SELECT (a FROM Orders;")}) {
        prompter.clear();
        rtb.setText(broken);
        ASSERT_TRUE(editor->IsDirty());
        EXPECT_FALSE(editor->Save(false));
        ASSERT_EQ(prompter.messages().size(), 1u) << broken.toStdString();
        EXPECT_TRUE(prompter.messages()[0].text.startsWith(
            QStringLiteral("It is impossible to save the Query for the reason:\r\n\r\n")));
        EXPECT_GT(prompter.messages()[0].text.size(), 52);
        EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::None);
        EXPECT_EQ(savedSql(QStringLiteral("Order List")), before);
        EXPECT_EQ(rtb.text(), broken);
        EXPECT_TRUE(editor->IsDirty());
    }
    // Save As under a new name with text the engine refuses creates no query.
    prompter.clear();
    prompter.answerInput(QStringLiteral("Fresh"));
    EXPECT_FALSE(editor->Save(true));
    EXPECT_FALSE(database->findObject(host::ObjectType::Query, QStringLiteral("Fresh")));
    EXPECT_EQ(editor->QueryName(), QStringLiteral("Order List"));
}

TEST_F(EditorLogicTest, SaveAsKeepsToTheNamingRules) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    rtb.setText(QStringLiteral("SELECT OrderID FROM Orders;"));
    const QString naming = QStringLiteral("The query name you entered doesn't follow object-naming rules!");
    // Empty, a forbidden character, a leading blank, too long: each refused, the prompt back with the name.
    const QStringList refused = {QString(),
                                 QStringLiteral("a.b"),
                                 QStringLiteral("x!y"),
                                 QStringLiteral("[q]"),
                                 QStringLiteral(" lead"),
                                 QString(65, QLatin1Char('n'))};
    for (const QString& name : refused) {
        prompter.answerInput(name);
    }
    prompter.answerInput(std::nullopt);
    EXPECT_FALSE(editor->Save(true));
    ASSERT_EQ(prompter.inputs().size(), std::size_t(refused.size() + 1));
    EXPECT_EQ(prompter.inputs()[0].prompt, QStringLiteral("Save As Query name:"));
    EXPECT_EQ(prompter.inputs()[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(prompter.inputs()[0].defaultText, QStringLiteral("Order List_"));
    for (int i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(prompter.inputs()[std::size_t(i) + 1].defaultText, refused[i]);
        EXPECT_EQ(prompter.messages()[std::size_t(i)].text, naming);
        EXPECT_EQ(prompter.messages()[std::size_t(i)].icon, MsgIcon::Critical);
    }
    EXPECT_EQ(database->queryDefCount(), 2);

    // A table's name: the two-line message, nothing written, no second prompt.
    prompter.clear();
    prompter.answerInput(QStringLiteral("orders"));
    EXPECT_FALSE(editor->Save(true));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("You have given this query the same name as an existing table.\r\n"
                             "You can't give a table and a query the same name."));
    EXPECT_EQ(prompter.inputs().size(), 1u);
    EXPECT_EQ(database->queryDefCount(), 2);
}

TEST_F(EditorLogicTest, SaveAsOntoAnExistingQueryAsksBeforeReplacing) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    rtb.setText(QStringLiteral("SELECT Customer FROM Orders;"));
    const QString bigOrders = savedSql(QStringLiteral("Big Orders"));
    prompter.answerInput(QStringLiteral("big orders"));
    prompter.answer(MsgResult::No);
    prompter.answerInput(std::nullopt);
    EXPECT_FALSE(editor->Save(true));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("You have given this query the same name as an existing query.\r\n"
                             "Do you want to replace the existing query 'big orders'?"));
    EXPECT_EQ(prompter.messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages()[0].defaultButton, 2);
    EXPECT_EQ(prompter.inputs()[1].defaultText, QStringLiteral("Order List_"));
    EXPECT_EQ(savedSql(QStringLiteral("Big Orders")), bigOrders);

    prompter.clear();
    prompter.answerInput(QStringLiteral("big orders"));
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(editor->Save(true));
    EXPECT_EQ(savedSql(QStringLiteral("Big Orders")), QStringLiteral("SELECT Customer FROM Orders;"));
    EXPECT_EQ(savedSql(QStringLiteral("Order List")), QStringLiteral("SELECT Orders.* FROM Orders;"));
    // The window is now the editor of the query it saved, under the database's spelling.
    EXPECT_EQ(editor->QueryName(), QStringLiteral("Big Orders"));
    EXPECT_EQ(surface.caption, QStringLiteral("SQL Editor - Big Orders"));
    EXPECT_FALSE(context->openEditors().contains(QStringLiteral("Order List")));
    ASSERT_TRUE(context->openEditors().contains(QStringLiteral("Big Orders")));
    EXPECT_EQ(context->openEditors().item(QStringLiteral("Big Orders")), entry);
}

TEST_F(EditorLogicTest, TwoWindowsOnOneQueryAreRefused) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    context->openEditors().add(std::make_shared<Entry>(), QStringLiteral("Big Orders"));
    rtb.setText(QStringLiteral("SELECT Customer FROM Orders;"));
    prompter.answerInput(QStringLiteral("Big Orders"));
    prompter.answerInput(std::nullopt);
    EXPECT_FALSE(editor->Save(true));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("The query 'Big Orders' is open in another SQL Editor window."));
    EXPECT_EQ(prompter.inputs()[1].defaultText, QStringLiteral("Big Orders"));
    EXPECT_NE(savedSql(QStringLiteral("Big Orders")), QStringLiteral("SELECT Customer FROM Orders;"));

    // The registry gives the open window again instead of a second one.
    windows.log.clear();
    context->openEditors().add(std::make_shared<Entry>(), QStringLiteral("Third"));
    const auto held = context->openEditors().item(QStringLiteral("Order List"));
    EXPECT_EQ(ShowQueryEditor(*context, QStringLiteral("order list"), true), held);
    EXPECT_TRUE(windows.editors.empty());
}

TEST_F(EditorLogicTest, ClosingAsksOnlyWhenChangedAndHonoursEveryAnswer) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    EXPECT_TRUE(editor->QueryUnload());
    EXPECT_TRUE(prompter.messages().empty());
    // Changed and changed back by undo: nothing to ask.
    rtb.typeText(QStringLiteral("x"));
    editor->Undo();
    EXPECT_TRUE(editor->QueryUnload());
    EXPECT_TRUE(prompter.messages().empty());

    rtb.typeText(QStringLiteral("-- "));
    prompter.answer(MsgResult::No);
    EXPECT_TRUE(editor->QueryUnload());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Do you want to save changes in 'Order List'?"));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Query is changed"));
    EXPECT_EQ(prompter.messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(savedSql(QStringLiteral("Order List")), QStringLiteral("SELECT Orders.* FROM Orders;"));

    // Yes with text the engine refuses: the window stays.
    prompter.clear();
    prompter.answer(MsgResult::Yes);
    EXPECT_FALSE(editor->QueryUnload());

    // Yes with valid text: saved, then it closes.
    rtb.setText(QStringLiteral("SELECT OrderID FROM Orders;"));
    prompter.clear();
    prompter.answer(MsgResult::Yes);
    EXPECT_TRUE(editor->QueryUnload());
    EXPECT_EQ(savedSql(QStringLiteral("Order List")), QStringLiteral("SELECT OrderID FROM Orders;"));

    editor->Unload();
    EXPECT_FALSE(context->openEditors().contains(QStringLiteral("Order List")));
    EXPECT_FALSE(watch.isActive());
}

TEST_F(EditorLogicTest, ClosingANewQueryAsksForANameAndCancelKeepsTheWindow) {
    ASSERT_TRUE(open(QString(), QStringLiteral("SELECT * FROM {table1};")));
    EXPECT_EQ(surface.caption, QStringLiteral("SQL Editor - New Query"));
    rtb.setText(QStringLiteral("SELECT * FROM Orders;"));
    prompter.answer(MsgResult::Yes);
    prompter.answerInput(std::nullopt);
    EXPECT_FALSE(editor->QueryUnload());
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Do you want to save new Query?"));
    EXPECT_EQ(prompter.inputs()[0].defaultText, QString());

    prompter.answer(MsgResult::Yes);
    prompter.answerInput(QStringLiteral("All Orders"));
    EXPECT_TRUE(editor->QueryUnload());
    EXPECT_EQ(savedSql(QStringLiteral("All Orders")), QStringLiteral("SELECT * FROM Orders;"));
    EXPECT_TRUE(context->openEditors().contains(QStringLiteral("All Orders")));
    editor->Unload();
    EXPECT_FALSE(context->openEditors().contains(QStringLiteral("All Orders")));
}

TEST_F(EditorLogicTest, AnOutsideChangeIsOfferedOncePerChange) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    rtb.typeText(QStringLiteral("x"));
    const QString typed = rtb.text();
    database->queryDef(QStringLiteral("Order List"))->setSql(QStringLiteral("SELECT OrderID FROM Orders;"));

    // A trip to another application and back asks nothing.
    surface.foreground = kOtherApplication;
    editor->tmrGetActiveWindow_Timer();
    surface.foreground = kEditorHandle;
    editor->tmrGetActiveWindow_Timer();
    EXPECT_TRUE(prompter.messages().empty());

    prompter.answer(MsgResult::No);
    switchFromHost();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(
        prompter.messages()[0].text,
        QStringLiteral("The query 'Order List' opened in SQL Editor was changed outside of SQL Editor.\r\n"
                       "Do you want to refresh the query's text in  SQL Editor?"));
    EXPECT_EQ(rtb.text(), typed);
    switchFromHost();
    switchFromHost();
    EXPECT_EQ(prompter.messages().size(), 1u);

    // A second change is offered again; Yes reloads.
    database->queryDef(QStringLiteral("Order List"))->setSql(QStringLiteral("SELECT Customer FROM Orders;"));
    prompter.answer(MsgResult::Yes);
    switchFromHost();
    EXPECT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(rtb.text(), QStringLiteral("SELECT Customer FROM Orders;"));
    EXPECT_FALSE(editor->IsDirty());

    // Letter case alone is no change.
    database->queryDef(QStringLiteral("Order List"))->setSql(QStringLiteral("select customer from orders;"));
    switchFromHost();
    EXPECT_EQ(prompter.messages().size(), 2u);
}

TEST_F(EditorLogicTest, ButtonsAndKeysOnANewQuery) {
    ASSERT_TRUE(open(QString(), QStringLiteral("SELECT 1;")));
    rtb.setSelStart(9);
    rtb.typeText(QStringLiteral(" "));
    // Alt+S tries a plain save, which becomes Save As; so does the Save button.
    prompter.answerInput(std::nullopt);
    int key = 83;
    editor->Form_KeyDown(&key, platform::vbAltMask);
    prompter.answerInput(std::nullopt);
    editor->tbButtons_ButtonClick(QStringLiteral("save"));
    EXPECT_EQ(prompter.inputs().size(), 2u);
    // Ctrl+F opens the find dialog once and passes the key on; an Alt key of the table is swallowed.
    rtb.setSelStart(0);
    rtb.setSelLength(6);
    key = 70;
    editor->Form_KeyDown(&key, platform::vbCtrlMask);
    EXPECT_EQ(key, 70);
    EXPECT_EQ(editor->search().FindWhat, QStringLiteral("SELECT"));
    EXPECT_TRUE(editor->search().mfrmFind());
    key = 80;
    editor->Form_KeyDown(&key, platform::vbAltMask);
    EXPECT_EQ(key, 0);
}

TEST_F(EditorLogicTest, TheNameAtTheCaret) {
    const auto name = [](const QString& text, int caret) {
        const frmEditor::NameSpan span = frmEditor::NameAtCaret(text, caret);
        return span.start < 0 ? QStringLiteral("<none>") : text.mid(span.start, span.length);
    };
    const QString select = QStringLiteral("SELECT Orders.OrderID FROM [Order Details], X.[Y Z] WHERE f(a)");
    EXPECT_EQ(name(QStringLiteral("Orders WHERE"), 0), QStringLiteral("Orders"));
    EXPECT_EQ(name(QStringLiteral("Orders WHERE"), 3), QStringLiteral("Orders"));
    EXPECT_EQ(name(select, 9), QStringLiteral("Orders"));
    EXPECT_EQ(name(select, 17), QStringLiteral("<none>"));  // the field part
    EXPECT_EQ(name(select, 33), QStringLiteral("Order Details"));
    EXPECT_EQ(name(select, 48), QStringLiteral("<none>"));  // a qualified bracketed name
    EXPECT_EQ(name(select, int(select.size()) - 2), QStringLiteral("a"));
    EXPECT_EQ(name(QStringLiteral("FROM T1;\r\nX"), 6), QStringLiteral("T1"));
    // A bracketed name closed before the caret does not hide the plain name after it.
    EXPECT_EQ(name(QStringLiteral("SELECT T.[x] FROM Orders"), 20), QStringLiteral("Orders"));
}

TEST_F(EditorLogicTest, TheContextMenuOffersWhatTheNameIs) {
    ASSERT_TRUE(open(QStringLiteral("Big Orders")));
    surface.clipboard = QStringLiteral("pasted");
    // A keyword: only the clipboard items.
    rightClickAt(2);
    ASSERT_TRUE(surface.menuShownAt);
    EXPECT_FALSE(editor->menuItem(QStringLiteral("mnuOpen")).visible);
    EXPECT_FALSE(editor->menuItem(QStringLiteral("mnuEdit")).visible);
    EXPECT_FALSE(editor->menuItem(QStringLiteral("mnuCut")).enabled);
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuPaste")).enabled);

    // Inside the bracketed query name: selected without brackets, every command.
    const int inside = int(rtb.text().indexOf(QStringLiteral("List")));
    rightClickAt(inside);
    EXPECT_EQ(editor->ContextName(), QStringLiteral("Order List"));
    EXPECT_TRUE(editor->ContextIsQuery());
    EXPECT_EQ(rtb.selText(), QStringLiteral("Order List"));
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuEdit")).enabled);
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuQorvel")).enabled);
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuCut")).enabled);

    // Edit and Used By are shown by the next watch tick, the editor 20 pixels off this one.
    windows.log.clear();
    editor->mnuEdit_Click();
    editor->mnuUsedBy_Click();
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Initialize Order List|"),
                                        QStringLiteral("tree Initialize 2Order List")}));
    editor->tmrGetActiveWindow_Timer();
    EXPECT_EQ(windows.log.mid(2), QStringList({QStringLiteral("editor1 Show"), QStringLiteral("tree Show")}));

    // Open through the host.
    editor->mnuOpen_Click();
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::View::Normal);

    // Copy, cut and paste on the selection.
    editor->mnuCopy_Click();
    EXPECT_EQ(surface.clipboard, QStringLiteral("Order List"));
    editor->mnuCut_Click();
    EXPECT_FALSE(rtb.text().contains(QStringLiteral("Order List")));
    editor->mnuPaste_Click();
    EXPECT_TRUE(rtb.text().contains(QStringLiteral("[Order List]")));
}

TEST_F(EditorLogicTest, TheContextMenuOnATableName) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    rightClickAt(int(rtb.text().indexOf(QStringLiteral("FROM Orders"))) + 7);
    EXPECT_EQ(editor->ContextName(), QStringLiteral("Orders"));
    EXPECT_FALSE(editor->ContextIsQuery());
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuEdit")).visible);
    EXPECT_FALSE(editor->menuItem(QStringLiteral("mnuEdit")).enabled);
    EXPECT_FALSE(editor->menuItem(QStringLiteral("mnuQorvel")).enabled);
    EXPECT_TRUE(editor->menuItem(QStringLiteral("mnuUsedBy")).enabled);
    editor->mnuDesign_Click();
    EXPECT_EQ(application->openView({host::ObjectType::Table, QStringLiteral("Orders")}), host::View::Design);
}

TEST_F(EditorLogicTest, OpeningTheQueryInTheHost) {
    ASSERT_TRUE(open(QStringLiteral("Order List")));
    rtb.typeText(QStringLiteral("x"));
    prompter.answer(MsgResult::Cancel);
    editor->tbButtons_ButtonClick(QStringLiteral("Open"));
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Do you want to save changes?"));
    EXPECT_EQ(prompter.messages()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_FALSE(application->openView({host::ObjectType::Query, QStringLiteral("Order List")}));

    // No and the datasheet: the saved query opens, the editor keeps its text and will still ask at close.
    prompter.answer(MsgResult::No);
    editor->OpenQuery(host::View::Normal);
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::View::Normal);
    EXPECT_FALSE(editor->NoSavePrompt);
    EXPECT_EQ(surface.closeRequests, 0);

    // No and the design view: the open datasheet closes, the design opens, the editor closes unasked.
    prompter.answer(MsgResult::No);
    editor->OpenQuery(host::View::Design);
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::View::Design);
    EXPECT_TRUE(editor->NoSavePrompt);
    EXPECT_EQ(surface.closeRequests, 1);
    prompter.clear();
    EXPECT_TRUE(editor->QueryUnload());
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(EditorLogicTest, ANewQueryIsSavedBeforeItCanBeOpened) {
    ASSERT_TRUE(open(QString(), QStringLiteral("SELECT OrderID FROM Orders;")));
    prompter.answer(MsgResult::No);
    editor->OpenQuery(host::View::Normal);
    EXPECT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.inputs().empty());

    prompter.answer(MsgResult::Yes);
    prompter.answerInput(QStringLiteral("Saved First"));
    editor->OpenQuery(host::View::Normal);
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Saved First")}),
              host::View::Normal);
}

}  // namespace
