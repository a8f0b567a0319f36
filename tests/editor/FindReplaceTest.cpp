// Find and replace in the editor's text on both controls, the find dialog that drives it, and the dialog's
// tree use (the field find).
#include "ControlHarness.h"

#include "datasources/CV_QueryDataSource.h"
#include "editor/EditorSearch.h"
#include "editor/frmFindReplaceDlg.h"
#include "platform/InMemoryPrompter.h"
#include "platform/Platform.h"
#include "trees/TreesTestSupport.h"
#include "trees/frmQorvel.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QString kFinished = QStringLiteral("QueryEditor has finished searching the SQL string.");

QString replacedMessage(int count) {
    return QStringLiteral("QueryEditor has completed its search of SQL string and has made %1 replacement.")
        .arg(count);
}

class FindReplaceTest : public ::testing::TestWithParam<ControlKind> {
protected:
    FindReplaceTest()
        : harness(ControlHarness::create(GetParam())),
          context(nullptr, services()),
          editor(context, harness->control(), timer),
          search(context, harness->control()) {}

    platform::Services services() {
        platform::Services result;
        result.prompter = &prompter;
        return result;
    }
    void load(const QString& text) {
        editor.Initialize(text);
        timer.fire();
    }
    void select(int start, int length) {
        box().setSelStart(start);
        box().setSelLength(length);
    }
    void settings(const QString& findWhat, bool wholeWords = false, const QString& replaceWith = QString()) {
        search.FindWhat = findWhat;
        search.WholeWords = wholeWords;
        search.ReplaceWith = replaceWith;
    }
    std::pair<int, int> selection() { return {box().selStart(), box().selLength()}; }
    platform::RichTextControl& box() { return harness->control(); }
    QStringList messages() const {
        QStringList texts;
        for (const auto& message : prompter.messages()) {
            texts << message.text;
        }
        return texts;
    }

    platform::InMemoryPrompter prompter;
    std::unique_ptr<ControlHarness> harness;
    platform::InMemoryTimer timer;
    AddinContext context;
    HeadlessEditor editor;
    EditorSearch search;
};

}  // namespace

TEST_P(FindReplaceTest, FindSkipsMatchesInsideWordsAndIgnoresCase) {
    load(QStringLiteral("SELECT pid, ID FROM t WHERE id_x = 1 AND Id"));
    settings(QStringLiteral("id"), true);
    ASSERT_TRUE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(12, 2));  // not inside pid
    ASSERT_TRUE(search.Find());
    // "_" counts as a word character, so id_x is passed; the last match ends the text
    EXPECT_EQ(selection(), std::make_pair(41, 2));
    EXPECT_TRUE(messages().isEmpty());

    // The end is reached: the user is told, the selection stays, the search does not start again at the top.
    EXPECT_FALSE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(41, 2));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, kFinished);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Find"));
    EXPECT_EQ(prompter.messages()[0].icon, platform::MsgIcon::Information);

    // Without whole words the match inside pid is found, from a caret at the start of the text.
    settings(QStringLiteral("ID"));
    select(0, 0);
    ASSERT_TRUE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(8, 2));
}

TEST_P(FindReplaceTest, WholeWordsAtTheVeryStartAndEndAndAcrossLines) {
    load(QStringLiteral("id\r\nFROM x\r\nid"));
    settings(QStringLiteral("ID"), true);
    select(0, 0);
    ASSERT_TRUE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(0, 2));
    ASSERT_TRUE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(12, 2));  // positions count CR LF as two
    EXPECT_EQ(box().selText(), QStringLiteral("id"));

    // A match that overlaps a rejected one is still found: the search passes a rejected match by one.
    load(QStringLiteral("ba-a-a"));
    settings(QStringLiteral("a-a"), true);
    select(0, 0);
    ASSERT_TRUE(search.Find());
    EXPECT_EQ(selection(), std::make_pair(3, 3));
}

TEST_P(FindReplaceTest, NothingToSearchForEndsAtOnce) {
    load(QStringLiteral("SELECT a FROM t"));
    for (bool wholeWords : {false, true}) {
        settings(QString(), wholeWords, QStringLiteral("x"));
        select(3, 0);
        EXPECT_FALSE(search.Find());
        EXPECT_EQ(search.ReplaceAll(), 0);
        search.EditorReplace();
        EXPECT_EQ(box().text(), QStringLiteral("SELECT a FROM t"));
    }
    // Replace All says nothing when there is nothing to look for; Find and Replace say they reached the end.
    EXPECT_EQ(messages(), QStringList(4, kFinished));
}

TEST_P(FindReplaceTest, ReplaceOnlyReplacesTheSearchTextAndMovesOn) {
    load(QStringLiteral("a ab AB ab"));
    settings(QStringLiteral("ab"), false, QStringLiteral("xab"));
    select(0, 1);  // "a" is not the search text: only moves to the next match
    search.EditorReplace();
    EXPECT_EQ(box().text(), QStringLiteral("a ab AB ab"));
    EXPECT_EQ(selection(), std::make_pair(2, 2));

    // The replacement holds the search text; the next match is searched after it, never inside it.
    search.EditorReplace();
    EXPECT_EQ(box().text(), QStringLiteral("a xab AB ab"));
    EXPECT_EQ(selection(), std::make_pair(6, 2));
    search.EditorReplace();
    search.EditorReplace();
    EXPECT_EQ(box().text(), QStringLiteral("a xab xab xab"));
    EXPECT_EQ(selection(), std::make_pair(10, 3));  // the last replacement stays selected
    EXPECT_EQ(messages(), QStringList{kFinished});

    // Each replacement was one undo step.
    editor.buffer()->Undo();
    EXPECT_EQ(box().text(), QStringLiteral("a xab xab ab"));
}

TEST_P(FindReplaceTest, ReplaceAllCountsOverlappingAndAdjacentMatchesOnce) {
    struct Case {
        const char* text;
        const char* find;
        const char* replace;
        bool wholeWords;
        const char* expected;
        int count;
    };
    const Case cases[] = {
        {"aaa", "aa", "X", false, "Xa", 1},                 // overlapping: the second starts inside the first
        {"aaaa", "AA", "X", false, "XX", 2},                // adjacent
        {"id pid", "id", "pid", false, "pid ppid", 2},      // the replacement holds the search text
        {"pid idx _id", "id", "", true, "pid idx _id", 0},  // only inside longer words, empty replacement
        {"..", ".", "x", true, "xx", 2},  // judged on the text as it was, not after the first replacement
        {"id\r\nid", "ID", "[ID]", true, "[ID]\r\n[ID]", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.clear();
        load(QString::fromLatin1(c.text));
        settings(QString::fromLatin1(c.find), c.wholeWords, QString::fromLatin1(c.replace));
        select(1, 1);
        EXPECT_EQ(search.ReplaceAll(), c.count);
        EXPECT_EQ(box().text(), QString::fromLatin1(c.expected));
        EXPECT_EQ(selection(), std::make_pair(0, 0));
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, replacedMessage(c.count));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Replace All"));
    }
}

TEST_P(FindReplaceTest, ReplaceAllIsOneUndoStepAndColoursTheWholeText) {
    load(QStringLiteral("SELECT a FROM t\r\nWHERE a = 1"));
    bool fullParse = false;
    search.beforeReplaceAll = [&] { fullParse = true; };
    settings(QStringLiteral("a"), true, QStringLiteral("b"));
    EXPECT_EQ(search.ReplaceAll(), 2);
    EXPECT_TRUE(fullParse);
    editor.buffer()->Undo();
    EXPECT_EQ(box().text(), QStringLiteral("SELECT a FROM t\r\nWHERE a = 1"));

    fullParse = false;
    settings(QStringLiteral("zzz"));
    EXPECT_EQ(search.ReplaceAll(), 0);
    EXPECT_FALSE(fullParse);  // nothing changed, nothing to recolour
}

TEST_P(FindReplaceTest, DialogOpensOnceAndTakesASelectedWord) {
    load(QStringLiteral("SELECT CustID, Name FROM t"));
    select(6, 7);  // " CustID": blanks around one word are trimmed
    search.FindReplace(EditorSearch::ModeFind);
    frmFindReplaceDlg* dialog = search.mfrmFind();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ParentForm(), &search);
    EXPECT_EQ(dialog->Caption(), QStringLiteral("Find"));
    EXPECT_FALSE(dialog->ReplaceVisible());
    EXPECT_EQ(dialog->cbxFindWhat(), QStringLiteral("CustID"));
    EXPECT_TRUE(dialog->cmdFindEnabled());

    // A selection over a comma or a blank leaves the search text; the open dialog switches to replace.
    select(7, 12);
    search.FindReplace(EditorSearch::ModeReplace);
    EXPECT_EQ(search.mfrmFind(), dialog);
    EXPECT_EQ(dialog->Caption(), QStringLiteral("Replace"));
    EXPECT_TRUE(dialog->ReplaceVisible());
    EXPECT_EQ(dialog->cbxFindWhat(), QStringLiteral("CustID"));
    EXPECT_EQ(search.FindWhat, QStringLiteral("CustID"));

    // The buttons hand the dialog's settings to the editor and search there.
    dialog->cbxFindWhat_Change(QString());
    EXPECT_FALSE(dialog->cmdFindEnabled());
    dialog->cbxFindWhat_Change(QStringLiteral("name"));
    dialog->cbxReplaceWith_Change(QStringLiteral("Title"));
    dialog->chkWholeWordOnly_Click(true);
    select(0, 0);
    dialog->cmdReplaceAll_Click();
    EXPECT_EQ(box().text(), QStringLiteral("SELECT CustID, Title FROM t"));
    EXPECT_TRUE(search.WholeWords);

    // Cancel unloads it and remembers the whole-word setting; the next command makes a new one.
    dialog->cmdCancel_Click();
    EXPECT_EQ(search.mfrmFind(), nullptr);
    EXPECT_TRUE(context.rememberedWholeWord());
    search.WholeWords = false;
    search.FindReplace(EditorSearch::ModeFind);
    ASSERT_NE(search.mfrmFind(), nullptr);
    EXPECT_FALSE(search.mfrmFind()->chkWholeWordOnly());  // the editor's own setting, not the remembered
    EXPECT_EQ(search.mfrmFind()->cbxReplaceWith(), QStringLiteral("Title"));
}

TEST_P(FindReplaceTest, DialogOffersTheDataSourceNamesAndClosesWithItsEditor) {
    CV_QueryDataSource record;
    record.SourceNames.addUnique(QStringLiteral("Orders"), QStringLiteral("Orders"));
    CV_QueryDataSourceField field;
    field.Name = QStringLiteral("OrderID");
    record.Fields.addUnique(field, QStringLiteral("[Orders].[OrderID]"));
    bool unloaded = false;
    {
        EditorSearch own(context, box());
        own.dataSource = [&] { return &record; };
        own.FindReplace(EditorSearch::ModeFind);
        ASSERT_NE(own.mfrmFind(), nullptr);
        EXPECT_EQ(own.mfrmFind()->FindWhatList(), (QStringList{"OrderID", "Orders"}));
        QObject::connect(own.mfrmFind(), &frmFindReplaceDlg::unloadRequested, [&] { unloaded = true; });
    }
    EXPECT_TRUE(unloaded);
}

INSTANTIATE_TEST_SUITE_P(Controls, FindReplaceTest, kAllControls, kindName);

// The dialog without an editor: the field find of the trees.
namespace {

class TreeFindDialog : public ScenarioTest {
protected:
    TreeFindDialog() : ScenarioTest(QStringLiteral("find.json")) {}
};

}  // namespace

TEST_F(TreeFindDialog, FindOpensTheMarkedTreeAndUnloads) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    context().rememberedWholeWord() = true;
    frmFindReplaceDlg dialog(context());
    dialog.PrepareTreeFind(frmQorvel::ModeUsedByFind);
    EXPECT_EQ(dialog.ParentForm(), nullptr);
    EXPECT_EQ(dialog.Caption(), QStringLiteral("Find"));
    ASSERT_TRUE(dialog.mfValidDataSource());
    ASSERT_TRUE(dialog.Form_Load());
    EXPECT_TRUE(dialog.FindWhatList().contains(QStringLiteral("CustID")));
    EXPECT_TRUE(dialog.chkWholeWordOnly());
    EXPECT_FALSE(dialog.cmdFindEnabled());

    bool hidden = false;
    bool unloaded = false;
    QObject::connect(&dialog, &frmFindReplaceDlg::hideRequested, [&] { hidden = true; });
    QObject::connect(&dialog, &frmFindReplaceDlg::unloadRequested, [&] { unloaded = true; });
    dialog.cmdCancel_Click();  // without an editor Cancel only hides
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(unloaded);

    dialog.cbxFindWhat_Change(QStringLiteral("custid"));
    dialog.cmdFind_Click();
    EXPECT_TRUE(unloaded);
    ASSERT_NE(dialog.LastTree(), nullptr);
    const QString tree = dialog.LastTree()->TreeText();
    EXPECT_TRUE(tree.contains(QStringLiteral("By Customer (*)"))) << tree.toStdString();
    EXPECT_FALSE(tree.contains(QStringLiteral("Customer Two (*)"))) << tree.toStdString();
    EXPECT_TRUE(dialog.IsUnloaded());
}

TEST_F(TreeFindDialog, AnObjectThatCannotBeSearchedIsRefusedOnce) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    frmFindReplaceDlg dialog(context());
    dialog.PrepareTreeFind(frmQorvel::ModeUsesFind);
    EXPECT_FALSE(dialog.mfValidDataSource());
    EXPECT_FALSE(dialog.Form_Load());  // the load asks again: no second message
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("This action is not available for selected object")});
}
