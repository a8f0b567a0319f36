// Inserting a column at the caret: the clause, and what goes before and after the name; the fields
// dialog's entries.
#include "CompletionHarness.h"

#include "datasources/ClauseInsertion.h"
#include "datasources/frmFields.h"

namespace {

class ClauseInsertion : public CompletionTest {
protected:
    // The text with the caret at "|", after Qty was inserted there.
    QString insert(const QString& textWithCaret, const QString& name = QStringLiteral("Qty")) {
        const int caret = int(textWithCaret.indexOf('|'));
        load(QString(textWithCaret).remove(caret, 1), caret);
        EXPECT_TRUE(AddFields(context().services(), control, name));
        EXPECT_EQ(control.selStart(), caret + control.text().size() - textWithCaret.size() + 1);
        return control.text();
    }
    QString clause(const QString& textWithCaret) {
        const int caret = int(textWithCaret.indexOf('|'));
        load(QString(textWithCaret).remove(caret, 1), caret);
        int end = 0;
        return GetSQLPart(control, end);
    }
};

class FieldsOwner : public FieldsDialogOwner {
public:
    QString QueryName() const override { return name; }
    const CV_QueryDataSource* queryDataSource() const override { return record; }
    bool AddFields(const QString& text) override {
        added << text;
        return succeed;
    }
    QString name;
    const CV_QueryDataSource* record = nullptr;
    QStringList added;
    bool succeed = true;
};

}  // namespace

TEST_F(ClauseInsertion, ListClausesGetCommas) {
    EXPECT_EQ(insert("SELECT Price|"), QStringLiteral("SELECT Price, Qty"));
    EXPECT_EQ(insert("SELECT |FROM T"), QStringLiteral("SELECT Qty FROM T"));
    EXPECT_EQ(insert("SELECT A FROM T GROUP BY A|B"), QStringLiteral("SELECT A FROM T GROUP BY A, Qty, B"));
    EXPECT_EQ(insert("SELECT A,|B FROM T"), QStringLiteral("SELECT A, Qty, B FROM T"));
    EXPECT_EQ(insert("SELECT A| , B FROM T"), QStringLiteral("SELECT A, Qty , B FROM T"));
    EXPECT_EQ(insert("SELECT A| B FROM T"), QStringLiteral("SELECT A, Qty, B FROM T"));
    EXPECT_EQ(insert("SELECT A FROM T ORDER BY A|"), QStringLiteral("SELECT A FROM T ORDER BY A, Qty"));
    // a name ending in "or" is no operator
    EXPECT_EQ(insert("SELECT Color|, B FROM T"), QStringLiteral("SELECT Color, Qty, B FROM T"));
    // a line end after the caret needs no separator of its own
    EXPECT_EQ(insert("SELECT A|\r\nFROM T"), QStringLiteral("SELECT A, Qty\r\nFROM T"));
}

TEST_F(ClauseInsertion, ElsewhereWordsAreOnlyKeptApart) {
    EXPECT_EQ(insert("SELECT * FROM T WHERE Price =| ORDER BY X"),
              QStringLiteral("SELECT * FROM T WHERE Price = Qty ORDER BY X"));
    EXPECT_EQ(insert("SELECT * FROM T WHERE A=1 AND|"), QStringLiteral("SELECT * FROM T WHERE A=1 AND Qty"));
    EXPECT_EQ(insert("SELECT * FROM T WHERE A=1 OR |"), QStringLiteral("SELECT * FROM T WHERE A=1 OR Qty"));
    EXPECT_EQ(insert("SELECT Sum(|) FROM T"), QStringLiteral("SELECT Sum(Qty) FROM T"));
    EXPECT_EQ(insert("SELECT * FROM T WHERE X| ORDER BY A"),
              QStringLiteral("SELECT * FROM T WHERE X Qty ORDER BY A"));
    // at the very end of the text the first SELECT decides
    EXPECT_EQ(insert("SELECT * FROM T WHERE X|"), QStringLiteral("SELECT * FROM T WHERE X, Qty"));
    EXPECT_EQ(insert("|"), QStringLiteral("Qty"));
    EXPECT_EQ(insert("   |"), QStringLiteral("   Qty"));
}

TEST_F(ClauseInsertion, ClauseOfTheCaret) {
    EXPECT_EQ(clause("SELECT A FROM T WHERE B = 1|"), QStringLiteral("Select"));  // at the end: the first
    EXPECT_EQ(clause("SELECT A FROM T WHERE B = |1"), QStringLiteral("Where"));
    EXPECT_EQ(clause("SELECT A FROM T WHERE [Where Else] = 1 ORDER BY A, [Having] |x"),
              QStringLiteral("Order By"));
    EXPECT_EQ(clause("SELECT A, [Where] |x FROM T"), QStringLiteral("Select"));
    EXPECT_EQ(clause("SELECT A\r\nFROM T\r\n|GROUP BY A"), QStringLiteral("Group By"));
    EXPECT_EQ(clause("|x = 1"), QString());
    int end = 0;
    load(QStringLiteral("SELECT A FROM T WHERE B"), 22);
    EXPECT_EQ(GetSQLPart(control, end), QStringLiteral("Where"));
    EXPECT_EQ(end, 22);  // 1-based, just after the keyword
}

TEST_F(ClauseInsertion, FieldsDialogListsQualifiedNamesAndAliasesSorted) {
    table("Customers", {"ID", "City"});
    table("Order Details", {"ID", "qty"});
    query("Both", "SELECT Customers.City AS Town, [Order Details].qty FROM Customers, [Order Details];");
    sourcesOf(QStringLiteral("Both"));
    ASSERT_TRUE(dataSource);
    FieldsOwner owner;
    owner.name = QStringLiteral("Both");
    owner.record = dataSource.get();
    frmFields dialog(context(), owner);
    ASSERT_TRUE(dialog.Form_Load());
    EXPECT_EQ(dialog.Entries(), (QStringList{"[Order Details].ID", "City", "Customers.ID", "qty", "Town"}));
    EXPECT_EQ(dialog.Caption(), QStringLiteral("Both  - Data Sources Fields "));
    EXPECT_EQ(dialog.SelectedIndex(), 0);

    dialog.setSelectedIndex(0);
    dialog.cmdOK_Click();
    EXPECT_EQ(owner.added, QStringList{"[Order Details].ID"});
    owner.succeed = false;
    dialog.cmdOK_Click();
    EXPECT_EQ(prompter.messages, QStringList{"Adding Fields failed."});
    EXPECT_EQ(prompter.shown.back().icon, platform::MsgIcon::Exclamation);

    FieldsOwner none;  // no data sources: the dialog does not open
    frmFields empty(context(), none);
    EXPECT_FALSE(empty.Form_Load());
}

TEST_F(ClauseInsertion, DroppedFieldGoesToTheDropPoint) {
    // the editor's drop: the caret moves to the point under the mouse, then the field is added there
    load(QStringLiteral("SELECT A FROM T"), 3);
    EXPECT_TRUE(DropField(context().services(), control,
                          QPoint(8 * platform::InMemoryRichTextControl::charWidth, 4),
                          QStringLiteral("Qty")));
    EXPECT_EQ(control.text(), QStringLiteral("SELECT A, Qty FROM T"));
}
