// Completion plugged into the editor window's logic: the keys, clicks and first tick of the editor reach the
// placeholder lists with the editor's own text box, data sources and colouriser, and what is chosen comes
// back into the editor's text as one undo step; the fields dialog's entry is dropped where the mouse is.
#include "CompletionHarness.h"

#include "editor/EditorCompletionLists.h"
#include "editor/frmEditor.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

class Surface : public frmEditorSurface {
public:
    quintptr windowHandle() const override { return 1; }
    quintptr foregroundWindow() const override { return 1; }
    QPoint screenTopLeft() const override { return {}; }
    void setCaption(const QString&) override {}
    void commandsChanged() override {}
    void showContextMenu(int, int) override { ++menus; }
    void closeWindow() override {}
    QString clipboardText() const override { return {}; }
    void setClipboardText(const QString&) override {}
    int menus = 0;
};

class CompletionInEditor : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        table("Orders", {"OrderID", "Customer"});
        table("Order Details", {"OrderID", "Qty"});
        query("Order List", "SELECT Orders.* FROM Orders;");
        platform::Services services;
        services.prompter = &prompter;
        mContext = std::make_unique<AddinContext>(application.get(), services, &windows);
        editor = std::make_unique<frmEditor>(context(), rtb, tmr, watch, surface);
        auto scripted = std::make_unique<ScriptedPopUps>();
        popups = scripted.get();
        completion = std::make_shared<EditorCompletionLists>(*editor, std::move(scripted));
        editor->setCompletion(completion);
    }
    void TearDown() override {
        editor.reset();
        completion.reset();
    }

    // The caret put at a position, then a key that moves it released there.
    void arrowTo(int position) {
        rtb.setSelStart(position);
        rtb.pressKey(platform::vk::right);
    }
    QPoint pointOf(int position) const {
        return {position * platform::InMemoryRichTextControl::charWidth + 2, 4};
    }
    QStringList sourceNames() const {
        QStringList names;
        if (editor->QueryDataSource()) {
            for (const auto& entry : editor->QueryDataSource()->SourceNames) {
                names << entry.item;
            }
        }
        return names;
    }

    ScriptedToolWindows windows;
    platform::InMemoryRichTextControl rtb;
    platform::InMemoryTimer tmr;
    platform::InMemoryTimer watch;
    Surface surface;
    ScriptedPopUps* popups = nullptr;
    std::shared_ptr<EditorCompletionLists> completion;
    std::unique_ptr<frmEditor> editor;
};

}  // namespace

TEST_F(CompletionInEditor, NewQueryTextPopsItsFirstPlaceholderAndEachChoiceUndoesInOneStep) {
    const QString text = QStringLiteral("SELECT {field1}\r\nFROM {table1}\r\nWHERE {table1}.OrderID > 0;");
    ASSERT_TRUE(editor->Initialize(QString(), text));
    popups->listAnswers = {QStringLiteral("Order Details"), QStringLiteral("Qty")};
    int changes = 0;
    QObject::connect(editor.get(), &frmEditor::textChanged, [&] { ++changes; });
    EXPECT_FALSE(editor->IsDirty());

    // The first tick puts the caret into the first table placeholder, before the field one.
    tmr.fire();
    ASSERT_EQ(popups->lists.size(), 1u);
    EXPECT_EQ(popups->lists[0], (QStringList{"Orders", "Order Details", "Order List"}));
    const QString tableChosen =
        QStringLiteral("SELECT {field1}\r\nFROM [Order Details]\r\nWHERE [Order Details].OrderID > 0;");
    EXPECT_EQ(rtb.text(), tableChosen);
    EXPECT_EQ(rtb.selStart(), tableChosen.indexOf(QLatin1String("]")) + 1);  // after the first copy
    EXPECT_EQ(rtb.selLength(), 0);
    // A change like any other: the text counts as changed (asked about on closing, kept as a draft).
    EXPECT_TRUE(editor->IsDirty());
    EXPECT_TRUE(editor->toolbarButtonEnabled(QStringLiteral("Undo")));
    EXPECT_GT(changes, 0);
    // The chosen table joined the editor's own record, which the field list reads next.
    EXPECT_EQ(sourceNames(), QStringList{QStringLiteral("Order Details")});

    arrowTo(9);
    ASSERT_EQ(popups->lists.size(), 2u);
    EXPECT_EQ(popups->lists[1], (QStringList{"OrderID", "Qty"}));
    const QString fieldChosen = QString(tableChosen).replace(QLatin1String("{field1}"), QLatin1String("Qty"));
    EXPECT_EQ(rtb.text(), fieldChosen);
    EXPECT_EQ(rtb.selStart(), 10);

    editor->Undo();
    EXPECT_EQ(rtb.text(), tableChosen);
    editor->Undo();
    EXPECT_EQ(rtb.text(), text);
    EXPECT_FALSE(editor->toolbarButtonEnabled(QStringLiteral("Undo")));
}

TEST_F(CompletionInEditor, SavedQueryOffersItsSourcesAndOnlyCaretMovesAskForTheList) {
    ASSERT_TRUE(editor->Initialize(QStringLiteral("Order List"), QString()));
    tmr.fire();

    rtb.setSelStart(15);  // after "Orders.*"
    rtb.typeText(QStringLiteral(", {value1}"));
    arrowTo(18);
    EXPECT_TRUE(popups->lists.empty()) << "typed text is not coloured before the pause";
    tmr.fire();

    // The right button shows the context menu, not the list.
    rtb.mouseUp(kRightButton, 0, pointOf(18).x(), pointOf(18).y());
    EXPECT_EQ(surface.menus, 1);
    EXPECT_TRUE(popups->lists.empty());

    popups->listAnswers = {QStringLiteral("<Null>")};
    rtb.mouseUp(kLeftButton, 0, pointOf(18).x(), pointOf(18).y());
    ASSERT_EQ(popups->lists.size(), 1u);
    EXPECT_EQ(popups->lists[0], (QStringList{"OrderID", "Customer", "<Null>", "<Numeric>", "<String>"}));
    EXPECT_EQ(rtb.text(), QStringLiteral("SELECT Orders.*, Null FROM Orders;"));
    EXPECT_EQ(sourceNames(), QStringList{QStringLiteral("Orders")});
}

TEST_F(CompletionInEditor, TemplateTakesUpTheFieldAtTheCaretAndDroppedFieldGoesToTheMouse) {
    ASSERT_TRUE(editor->Initialize(QString(), QStringLiteral("SELECT Orders.OrderID FROM Orders;")));
    tmr.fire();
    windows.templates->content = QStringLiteral("IIf(IsNull({field}), 0, {field})");
    rtb.setSelStart(12);  // inside Orders.OrderID
    editor->InsertTemplate();
    const QString inserted =
        QStringLiteral("SELECT IIf(IsNull(Orders.OrderID), 0, Orders.OrderID) FROM Orders;");
    EXPECT_EQ(rtb.text(), inserted);
    EXPECT_EQ(rtb.selStart(), inserted.indexOf(QLatin1String(" FROM")));  // after the inserted text
    EXPECT_TRUE(popups->lists.empty());

    // The field chosen in the fields dialog, dragged from it, goes in with the list's comma.
    completion->setChosenField(QStringLiteral("Orders.Customer"));
    rtb.dragDrop(QStringLiteral("Orders.Customer"), pointOf(6).x(), pointOf(6).y());
    const QString withField =
        QStringLiteral("SELECT Orders.Customer, IIf(IsNull(Orders.OrderID), 0, Orders.OrderID) FROM Orders;");
    EXPECT_EQ(rtb.text(), withField);

    // Any other text dropped goes in as it came, not the field the dialog has chosen; so does a drop with
    // nothing chosen.
    const int end = int(withField.size()) - 1;
    rtb.dragDrop(QStringLiteral(" WHERE 1=1"), pointOf(end).x(), pointOf(end).y());
    const QString withWhere = QString(withField).insert(end, QStringLiteral(" WHERE 1=1"));
    EXPECT_EQ(rtb.text(), withWhere);
    completion->setChosenField(QString());
    rtb.dragDrop(QStringLiteral("Orders.Customer"), pointOf(6).x(), pointOf(6).y());
    EXPECT_EQ(rtb.text(), QString(withWhere).insert(6, QStringLiteral("Orders.Customer")));
}
