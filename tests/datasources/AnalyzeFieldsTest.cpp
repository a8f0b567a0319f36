// The text inserted for a column: brackets where a name needs them, the source in front where the column
// name is not unique.
#include "datasources/CV_QueryDataSource.h"
#include "datasources/mQueryDataSourceList.h"

#include <gtest/gtest.h>

namespace {

void AddField(CV_QueryDataSource& record, const QString& table, const QString& name) {
    CV_QueryDataSourceField field;
    field.Name = name;
    field.TableName = table;
    record.Fields.add(field, CV_QueryDataSource::FieldKey(table, name));
}

QStringList FullNames(const CV_QueryDataSource& record) {
    QStringList names;
    for (const auto& entry : record.Fields) {
        names << entry.item.FullName();
    }
    return names;
}

}  // namespace

TEST(AnalyzeFields, BracketsAndQualification) {
    CV_QueryDataSource record;
    AddField(record, "Customers", "ID");
    AddField(record, "Order Details", "ID");
    AddField(record, "Orders", "Order Date");
    AddField(record, "Orders", "Qty_2");
    AddField(record, "Orders", "A.B c");
    AddField(record, "My Table", "Col");
    AddField(record, "Other", "Col");
    AddField(record, "", "id");  // differs from ID only in case: still unique
    AddField(record, "", "Dup");
    AddField(record, "Q", "Dup");
    EXPECT_EQ(record.Fields.at(0).FullName(), "ID");  // read before the analysis: the name
    record.AnalyzeFields();

    EXPECT_EQ(FullNames(record),
              (QStringList{"Customers.ID", "[Order Details].ID", "[Order Date]", "Qty_2", "A.[B c]",
                           "[My Table].Col", "Other.Col", "id", "Dup", "Q.Dup"}));
    EXPECT_FALSE(record.Fields.at(0).Unique);
    EXPECT_TRUE(record.Fields.at(2).Unique);
    EXPECT_TRUE(record.Fields.at(7).Unique);
    EXPECT_TRUE(record.Fields.at(1).TableNameToBracket);
    EXPECT_FALSE(record.Fields.at(0).TableNameToBracket);
    EXPECT_FALSE(record.Fields.at(0).FieldNameToBracket);
    EXPECT_EQ(record.Fields.at(0).datatype, 0);
}

TEST(AnalyzeFields, FullNameIsWritable) {
    CV_QueryDataSourceField field;
    field.Name = "Amount";
    EXPECT_EQ(field.FullName(), "Amount");
    field.setFullName("t.Amount");
    EXPECT_EQ(field.FullName(), "t.Amount");
    field.setFullName("");
    EXPECT_EQ(field.FullName(), "Amount");
}

TEST(AnalyzeFields, CharactersThatNeedBrackets) {
    EXPECT_FALSE(NeedsBrackets("Az09_^`"));
    EXPECT_TRUE(NeedsBrackets("a b"));
    EXPECT_TRUE(NeedsBrackets("a-b"));
    EXPECT_TRUE(NeedsBrackets(QStringLiteral("Stra\u00dfe")));
    EXPECT_TRUE(NeedsBrackets("a{b"));  // "{" lies after "z"
    EXPECT_FALSE(NeedsBrackets(""));
}

TEST(rIsNotReservedWord, InsideBracketsOnly) {
    const QString text = "SELECT [Order By] FROM T ORDER BY x";
    EXPECT_TRUE(rIsNotReservedWord(text, text.indexOf("Order By") + 1));
    EXPECT_FALSE(rIsNotReservedWord(text, text.indexOf("ORDER BY") + 1));
    EXPECT_FALSE(rIsNotReservedWord(text, 1));  // "[" comes first
    EXPECT_FALSE(rIsNotReservedWord("abc", 2));
}
