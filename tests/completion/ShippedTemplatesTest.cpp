// The shipped template library, read from beside the test program as the add-in reads it from beside
// itself: enough fragments and queries, each with placeholders, and every whole query, once names of the
// sample database stand in its placeholders, saved by the engine.
#include "CompletionHarness.h"

#include "catalogue/mMain.h"
#include "completion/TemplateLibrary.h"

#include <QRegularExpression>

namespace {

class ShippedTemplates : public CompletionTest {
protected:
    void SetUp() override {
        CompletionTest::SetUp();
        roots = {AddInFolder() + QStringLiteral("/templates")};
        table("Orders", {"OrderID", "CustomerID", "OrderDate", "Freight"});
        table("Order Details", {"OrderID", "ProductID", "Quantity", "UnitPrice"});
        table("Customers", {"CustomerID", "CompanyName", "City"});
    }
    // Table, field and value placeholders replaced by names of the sample database, as a user filling
    // them in through the lists would write them.
    static QString filledIn(QString text) {
        const QStringList tables{"Orders", "Order Details", "Customers"};
        const QStringList fields{"OrderID", "CustomerID", "Freight", "OrderDate"};
        static const QRegularExpression placeholder(QStringLiteral("\\{(table|field|value)(\\d*)\\}"),
                                                    QRegularExpression::CaseInsensitiveOption);
        QRegularExpressionMatch match;
        while ((match = placeholder.match(text)).hasMatch()) {
            const int number = std::max(match.captured(2).toInt(), 1) - 1;
            const QString kind = match.captured(1).toLower();
            const QString name = kind == "table"   ? BracketName(tables.at(number % tables.size()))
                                 : kind == "field" ? fields.at(number % fields.size())
                                                   : QString::number(number + 1);
            text.replace(match.capturedStart(), match.capturedLength(), name);
        }
        return text;
    }
    QStringList roots;
};

}  // namespace

TEST_F(ShippedTemplates, LibraryIsFoundBesideTheProgram) {
    const TemplateCollection fragments = GetTemplates(context().services(), roots, templates::kFragments);
    const TemplateCollection queries = GetTemplates(context().services(), roots, templates::kQueries);
    const TemplateCollection selects = GetTemplates(context().services(), roots, templates::kSelectQueries);
    EXPECT_GE(fragments.count(), 15);
    EXPECT_GE(queries.count() + selects.count(), 10);
    for (const auto* collection : {&fragments, &queries, &selects}) {
        for (const auto& entry : *collection) {
            EXPECT_TRUE(
                entry.item.EntryValue.contains(QRegularExpression(QStringLiteral("\\{(table|field|value)"))))
                << entry.item.EntryKey.toStdString();
            EXPECT_FALSE(entry.item.EntryValue.endsWith(QLatin1String("\r\n")));
        }
    }
}

TEST_F(ShippedTemplates, EveryWholeQueryIsAcceptedByTheEngine) {
    int saved = 0;
    for (const QString& folder : {templates::kQueries, templates::kSelectQueries}) {
        for (const auto& entry : GetTemplates(context().services(), roots, folder)) {
            const QString sql = filledIn(entry.item.EntryValue);
            try {
                database->createQueryDef(QStringLiteral("Template ") + entry.item.EntryKey, sql);
                ++saved;
            } catch (const host::Error& error) {
                ADD_FAILURE() << entry.item.EntryKey.toStdString() << ": "
                              << error.description().toStdString() << "\n"
                              << sql.toStdString();
            }
        }
    }
    EXPECT_GE(saved, 10);
}
