// Placeholder recognition, the three lists, what a choice writes, and the field at the caret.
#include "CompletionHarness.h"

namespace {

class Completion : public CompletionTest {
protected:
    void SetUp() override {
        CompletionTest::SetUp();
        table("Orders", {"OrderID", "Ship Name", "OrderDate"});
        table("Order Details", {"OrderID", "Quantity"});
        table("MSysHidden", {"X"});
        table("~TMPCLP1234", {"X"});
        query("Order List", "SELECT Orders.OrderID, Orders.[Ship Name] FROM Orders;");
        query("~sq_fOrders", "SELECT Orders.OrderID FROM Orders;");
    }
    // Puts the caret and lets the key release run the recognition.
    void caretTo(int position) {
        control.setSelStart(position);
        lists->ShowPlaceholderList();
    }
};

}  // namespace

TEST(Placeholder, RecognitionStopsAtAnythingButLettersAndDigits) {
    const QString text = QStringLiteral("SELECT {table1}, {table*}, {Field 2}, {value}");
    const auto found = FindPlaceholder(text, 9);
    ASSERT_TRUE(found);
    EXPECT_EQ(text.mid(found->start, found->length), QStringLiteral("{table1}"));
    EXPECT_TRUE(FindPlaceholder(text, 8));    // just inside the brace
    EXPECT_FALSE(FindPlaceholder(text, 7));   // before the brace
    EXPECT_FALSE(FindPlaceholder(text, 20));  // the asterisk ends it
    EXPECT_FALSE(FindPlaceholder(text, 30));  // so does a blank
    EXPECT_FALSE(FindPlaceholder(QStringLiteral("{value}"), 0));
    EXPECT_FALSE(FindPlaceholder(QStringLiteral("{value}"), 7));

    EXPECT_EQ(KindOf(QStringLiteral("{TABLE2}")), PlaceholderKind::Table);
    EXPECT_EQ(KindOf(QStringLiteral("{fields}")), PlaceholderKind::Field);
    EXPECT_EQ(KindOf(QStringLiteral("{Value9}")), PlaceholderKind::Value);
    EXPECT_EQ(KindOf(QStringLiteral("{name}")), PlaceholderKind::None);

    EXPECT_EQ(BracketName(QStringLiteral("Orders.Ship Name")), QStringLiteral("Orders.[Ship Name]"));
    EXPECT_EQ(BracketName(QStringLiteral("[Order Details].[Unit Price]")),
              QStringLiteral("[Order Details].[Unit Price]"));
    EXPECT_EQ(BracketName(QStringLiteral("Qty_2")), QStringLiteral("Qty_2"));
}

TEST_F(Completion, TablesListLeavesOutSystemAndHiddenNames) {
    load(QStringLiteral("SELECT * FROM {table1}"));
    caretTo(16);
    ASSERT_EQ(popups.lists.size(), 1u);
    EXPECT_EQ(popups.lists[0], (QStringList{"Orders", "Order Details", "Order List"}));
    EXPECT_EQ(control.selText(), QStringLiteral("{table1}"));  // selected while the list is up

    // a placeholder that the colouriser did not paint, or a selection, brings up nothing
    control.setSelStart(16);
    control.setSelLength(2);
    lists->ShowPlaceholderList();
    load(QStringLiteral("SELECT {table*} FROM x"));
    caretTo(9);
    EXPECT_EQ(popups.lists.size(), 1u);
}

TEST_F(Completion, ChosenTableReplacesEveryCopyAndJoinsTheDataSources) {
    load(QStringLiteral("SELECT {field1} FROM {table1} WHERE {TABLE1}.OrderID > 0"), 23);
    popups.listAnswers = {QStringLiteral("Order Details")};
    lists->ShowPlaceholderList();
    EXPECT_EQ(control.text(),
              QStringLiteral("SELECT {field1} FROM [Order Details] WHERE [Order Details].OrderID > 0"));
    EXPECT_EQ(control.selStart(), 36);  // after the name that replaced the selected copy
    ASSERT_TRUE(dataSource);
    EXPECT_TRUE(dataSource->SourceNames.contains(QStringLiteral("Order Details")));
    EXPECT_EQ(control.colourAt(22), 0u);  // coloured again: the name is no placeholder any more

    popups.listAnswers = {QStringLiteral("Quantity")};
    caretTo(9);
    ASSERT_EQ(popups.lists.size(), 2u);
    EXPECT_EQ(popups.lists[1], (QStringList{"OrderID", "Quantity"}));
    EXPECT_TRUE(control.text().startsWith(QStringLiteral("SELECT Quantity FROM")));

    // a second table: the shared column is now qualified, and a known table is not read twice
    lists->AddTableToQueryDataSource(QStringLiteral("Orders"));
    lists->AddTableToQueryDataSource(QStringLiteral("Orders"));
    EXPECT_EQ(lists->PrepareFieldsList(), (QStringList{"[Order Details].OrderID", "Quantity",
                                                       "Orders.OrderID", "[Ship Name]", "OrderDate"}));
}

TEST_F(Completion, FieldNamesAreBracketedPartByPart) {
    sourcesOf(QStringLiteral("Order List"));
    load(QStringLiteral("SELECT {field} FROM Orders"), 8);
    popups.listAnswers = {QStringLiteral("Orders.Ship Name")};
    lists->ShowPlaceholderList();
    EXPECT_EQ(control.text(), QStringLiteral("SELECT Orders.[Ship Name] FROM Orders"));
    EXPECT_EQ(control.selStart(), 25);

    load(QStringLiteral("SELECT {field} FROM Orders"), 8);
    popups.listAnswers = {QStringLiteral("[Order Details].Quantity")};
    lists->ShowPlaceholderList();
    EXPECT_EQ(control.text(), QStringLiteral("SELECT [Order Details].Quantity FROM Orders"));
}

TEST_F(Completion, CancellingTheListChangesNothing) {
    sourcesOf(QStringLiteral("Order List"));
    const QString text = QStringLiteral("SELECT {field1} FROM {table1}");
    load(text, 9);
    lists->ShowPlaceholderList();  // no answer: cancelled
    EXPECT_EQ(control.text(), text);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(Completion, NullChoiceRewritesTheComparison) {
    sourcesOf(QStringLiteral("Order List"));
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"WHERE x = {value}", "WHERE x Is Null"},
        {"WHERE x={value}", "WHERE x Is Null"},
        {"WHERE x= {value}", "WHERE x Is Null"},
        {"WHERE x<>{value}", "WHERE x Is Not Null"},
        {"WHERE x >< {value}", "WHERE x Is Not Null"},
        {"WHERE x <= {value}", "WHERE x <= Null"},
        {"WHERE {value}", "WHERE Null"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.before);
        load(text, int(text.indexOf('{')) + 2);
        popups.listAnswers = {QStringLiteral("<Null>")};
        lists->ShowPlaceholderList();
        EXPECT_EQ(control.text(), QString::fromLatin1(c.after)) << c.before;
    }
    EXPECT_EQ(popups.lists.back(),
              (QStringList{"OrderID", "[Ship Name]", "OrderDate", "<Null>", "<Numeric>", "<String>"}));
}

TEST_F(Completion, NumberAndTextInputs) {
    const struct {
        const char* kind;
        std::optional<QString> input;
        const char* result;
    } cases[] = {
        {"<String>", QStringLiteral(" abc "), "x = 'abc'"},
        {"<String>", QStringLiteral("'abc'"), "x = 'abc'"},
        {"<String>", QStringLiteral("O'Brien"), "x = 'O''Brien'"},
        {"<String>", QStringLiteral(""), "x = ''"},
        {"<String>", std::nullopt, "x = {value1}"},
        {"<Numeric>", QStringLiteral("42"), "x = 42"},
        {"<Numeric>", std::nullopt, "x = {value1}"},
        {"<Numeric>", QStringLiteral(""), "x = {value1}"},
    };
    for (const auto& c : cases) {
        load(QStringLiteral("x = {value1}"), 6);
        popups.listAnswers = {QString::fromLatin1(c.kind)};
        popups.inputAnswers = {c.input};
        lists->ShowPlaceholderList();
        EXPECT_EQ(control.text(), QString::fromLatin1(c.result)) << c.kind << " " << c.result;
        EXPECT_EQ(popups.inputs.back(), QByteArray(c.kind) == "<Numeric>");
    }
    // the value kinds of a field placeholder are plain names
}

TEST_F(Completion, FieldAtTheCaret) {
    sourcesOf(QStringLiteral("Order List"));
    const QString text = QStringLiteral("Orders.OrderDate, Orders.[Ship Name], OrderID, Price FROM x");
    load(text, 3);
    // at the very start of the text the reference is found as anywhere else
    EXPECT_EQ(lists->GetSelectedField(), QStringLiteral("Orders.OrderDate"));
    EXPECT_EQ(control.selStart(), 0);
    EXPECT_EQ(control.selLength(), 16);

    control.setSelStart(30);  // inside the brackets, beside the blank
    EXPECT_EQ(lists->GetSelectedField(), QStringLiteral("Orders.[Ship Name]"));
    control.setSelStart(40);
    EXPECT_EQ(lists->GetSelectedField(), QStringLiteral("OrderID"));  // a column of the data sources
    control.setSelStart(49);
    EXPECT_EQ(lists->GetSelectedField(), QString());  // a word that is no column
    EXPECT_EQ(control.selStart(), 49);

    load(QStringLiteral("SELECT Orders.* FROM Orders"), 10);
    EXPECT_EQ(lists->GetSelectedField(), QString());

    control.setSelStart(7);
    control.setSelLength(6);
    EXPECT_EQ(lists->GetSelectedWord(), QStringLiteral("Orders"));
    control.setSelLength(15);
    EXPECT_EQ(lists->GetSelectedWord(), QString());
}

TEST_F(Completion, InsertedTemplateTakesUpTheFieldAtTheCaret) {
    windows.templates->content = QStringLiteral("Year({field})");
    load(QStringLiteral("SELECT Orders.OrderDate FROM Orders"), 12);
    lists->InsertTemplate();
    EXPECT_EQ(windows.templates->mode, 1);
    EXPECT_FALSE(windows.templates->noContent);
    EXPECT_EQ(control.text(), QStringLiteral("SELECT Year(Orders.OrderDate) FROM Orders"));
    EXPECT_EQ(control.selStart(), 29);
    EXPECT_TRUE(popups.lists.empty());

    // no field at the caret: the marker stays, and its list comes up
    sourcesOf(QStringLiteral("Order List"));
    load(QStringLiteral("SELECT "), 7);
    lists->InsertTemplate();
    EXPECT_EQ(control.text(), QStringLiteral("SELECT Year({field})"));
    ASSERT_EQ(popups.lists.size(), 1u);
    EXPECT_EQ(control.selText(), QStringLiteral("{field}"));

    // a table placeholder comes first; a cancelled window inserts nothing
    windows.templates->content = QStringLiteral("SELECT {field1} FROM {table1}");
    load(QString());
    lists->InsertTemplate();
    EXPECT_TRUE(windows.templates->noContent);
    EXPECT_EQ(control.selText(), QStringLiteral("{table1}"));
    EXPECT_EQ(popups.lists.back().first(), QStringLiteral("Orders"));
    windows.templates->ok = false;
    load(QStringLiteral("x"));
    lists->InsertTemplate();
    EXPECT_EQ(control.text(), QStringLiteral("x"));
}
