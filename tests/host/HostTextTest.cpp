// The host's text semantics: case folding for every letter, Like wildcards, object-naming rules.
#include "host/HostText.h"
#include "host/SqliteConnection.h"

#include <gtest/gtest.h>

using qdb::compareText;
using qdb::likeMatch;
using qdb::objectNameProblem;

TEST(HostText, ComparisonIgnoresCaseForEveryLetter) {
    EXPECT_EQ(compareText(u"Orders", u"oRDERS"), 0);
    EXPECT_EQ(compareText(u"Ärger", u"ärger"), 0);
    EXPECT_EQ(compareText(u"ΣΟΦΙΑ", u"σοφια"), 0);
    EXPECT_LT(compareText(u"apple", u"Banana"), 0);
    EXPECT_GT(compareText(u"Orders2", u"orders"), 0);
    EXPECT_LT(compareText(u"Order", u"orderß"), 0);
    EXPECT_NE(compareText(u"Ärger", u"Arger"), 0);
}

// The engine's collation reads ASCII text without decoding it; it must order as compareText does.
TEST(HostText, CollationOrdersAsCompareText) {
    qdb::SqliteConnection connection(QStringLiteral(":memory:"), true);
    qdb::registerHostText(connection.handle());
    auto statement = connection.prepare(QStringLiteral(
        "SELECT CASE WHEN ?1 = ?2 COLLATE HOSTTEXT THEN 0 WHEN ?1 < ?2 COLLATE HOSTTEXT THEN -1 ELSE 1 END"));
    const std::vector<std::pair<QString, QString>> pairs = {
        {"Orders", "oRDERS"}, {"apple", "Banana"}, {"Orders2", "orders"},
        {"a", "ab"},          {"", "a"},           {"[x]", "_x"},
        {"Ärger", "ärger"},   {"Order", "orderß"}, {"zz", "Ärger"},
        {"ab", "aÄ"},         {"ss", "ß"},         {"", ""},
        {"a b", "A B"},       {"x9", "X10"}};
    for (const auto& [a, b] : pairs) {
        statement.bind(1, a).bind(2, b);
        ASSERT_TRUE(statement.step());
        const int expected = compareText(a, b);
        EXPECT_EQ(statement.value(0).toInt(), expected < 0   ? -1
                                              : expected > 0 ? 1
                                                             : 0)
            << a.toStdString() << " " << b.toStdString();
        statement.reset();
    }
}

TEST(HostText, LikeWildcards) {
    EXPECT_TRUE(likeMatch(u"~TemporaryQuery12", u"~TemporaryQuery*"));
    EXPECT_TRUE(likeMatch(u"~temporaryquery", u"~TemporaryQuery*"));
    EXPECT_FALSE(likeMatch(u"TemporaryQuery1", u"~TemporaryQuery*"));
    EXPECT_TRUE(likeMatch(u"Ärger", u"ä*"));
    EXPECT_TRUE(likeMatch(u"abc", u"a?c"));
    EXPECT_FALSE(likeMatch(u"ac", u"a?c"));
    EXPECT_TRUE(likeMatch(u"a1c", u"a#c"));
    EXPECT_FALSE(likeMatch(u"abc", u"a#c"));
    EXPECT_FALSE(likeMatch(u"a\u0663c", u"a#c"));  // an Arabic-Indic digit is not one of 0-9
    EXPECT_TRUE(likeMatch(u"b", u"[abc]"));
    EXPECT_TRUE(likeMatch(u"Q", u"[p-r]"));
    EXPECT_FALSE(likeMatch(u"s", u"[p-r]"));
    EXPECT_TRUE(likeMatch(u"s", u"[!p-r]"));
    EXPECT_FALSE(likeMatch(u"q", u"[!p-r]"));
    EXPECT_TRUE(likeMatch(u"a*b", u"a[*]b"));
    EXPECT_FALSE(likeMatch(u"axb", u"a[*]b"));
    EXPECT_TRUE(likeMatch(u"50%", u"50%"));
    EXPECT_FALSE(likeMatch(u"500", u"50%"));
    EXPECT_TRUE(likeMatch(u"a_b", u"a_b"));
    EXPECT_FALSE(likeMatch(u"axb", u"a_b"));
    EXPECT_TRUE(likeMatch(u"MSysObjects", u"MSys*"));
    EXPECT_TRUE(likeMatch(u"", u"*"));
    EXPECT_TRUE(likeMatch(u"x[y", u"x[y"));
    EXPECT_TRUE(likeMatch(u"abcabd", u"*ab?"));
}

TEST(HostText, ObjectNamingRules) {
    EXPECT_TRUE(objectNameProblem(QStringLiteral("Order Details")).isEmpty());
    EXPECT_TRUE(objectNameProblem(QStringLiteral("Customer's Orders")).isEmpty());
    EXPECT_TRUE(objectNameProblem(QString(64, QLatin1Char('x'))).isEmpty());
    EXPECT_FALSE(objectNameProblem(QString(65, QLatin1Char('x'))).isEmpty());
    EXPECT_FALSE(objectNameProblem(QString()).isEmpty());
    EXPECT_FALSE(objectNameProblem(QStringLiteral(" Orders")).isEmpty());
    EXPECT_TRUE(objectNameProblem(QStringLiteral("Orders ")).isEmpty());
    for (const char* bad : {"a.b", "a!b", "a`b", "a[b", "a]b", "a\tb", "a\nb"}) {
        EXPECT_FALSE(objectNameProblem(QString::fromLatin1(bad)).isEmpty()) << bad;
    }
}
