// The line tokenizer on plain strings. Each expectation spells the net class of every character:
// 1 Literal, 2 Keyword, 3 Function, 4 Operator, 5 Plain, 6 Brace, "." never written.
#include "colouring/SqlLineTokenizer.h"

#include <gtest/gtest.h>

namespace {

std::string classes(const QString& line) {
    std::string result(std::size_t(line.size()), '.');
    for (const auto& run : SqlLineTokenizer::flatten(SqlLineTokenizer::tokenize(line), int(line.size()))) {
        for (int k = run.start; k < run.start + run.length; ++k) {
            result[std::size_t(k)] = char('0' + int(run.tokenClass));
        }
    }
    return result;
}

struct Case {
    const char* line;
    const char* expected;
};

void expectAll(std::initializer_list<Case> cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(classes(QString::fromUtf8(c.line)), c.expected) << "line: " << c.line;
    }
}

}  // namespace

TEST(SqlLineTokenizer, KeywordsIgnoreCaseButOperatorWordsDoNot) {
    expectAll({
        {"select a", "22222255"},
        {"Select", "222222"},
        {"SELECT", "222222"},
        {"Like", "3333"},
        {"LIKE", "5555"},
        {"And AND and", "33352225222"},
        {"Not NOT", "3335555"},
        {"In IN in", "33522522"},
        {"FROM;", "22224"},
        {"SELECTED", "55555555"},
    });
}

TEST(SqlLineTokenizer, NameDirectlyBeforeParenthesisIsAFunction) {
    expectAll({
        {"Count(x)", "33333454"},
        {"Count (x)", "555555454"},
        {"IN(1)", "33454"},
        {"IN (1)", "225454"},
        {"f2(", "334"},
        {"x.Sum(", "543334"},
        // The walk back stops at the underscore, and the rest of the word is left as it was.
        {"my_func(", "...33334"},
        {"Größe(", "333334"},
    });
}

TEST(SqlLineTokenizer, QuotedAndBracketedTokensAreLiterals) {
    expectAll({
        {"'it''s' x", "111111155"},
        {"[Order Details].x", "11111111111111145"},
        {"'a\"", "111"},
        {"a=\"x, y\"", "54111111"},
        {"x[y]", "5111"},
        {"'}'", "111"},
    });
}

TEST(SqlLineTokenizer, UnclosedQuoteRunsToTheEndOfTheLine) {
    expectAll({
        {"x = 'abc def", "554511111111"},
        {"[Order", "111111"},
    });
    EXPECT_EQ(classes(QStringLiteral("next line")), "555555555");
}

TEST(SqlLineTokenizer, BracesStartTokens) {
    expectAll({
        {"{table1}", "55555555"},
        {"{TABLE x}", "555555555"},
        {"a{b", "5.5"},
        {"{ }", "55."},
        {"a}", "5."},
        {"{{", "55"},
        // A "{" starts a brace token even inside quotes: the quote closes from the brace on, and the
        // word the brace began stays open and recolours the token when it ends.
        {"'a{b'", "..555"},
        {"'a{b' c", "..55555"},
    });
}

TEST(SqlLineTokenizer, SeparatorsAreOperatorsExceptTheBlank) {
    expectAll({
        {"a\tb", "545"},
        {"a+b-c*d/e", "545454545"},
        {"a<>b", "5445"},
        {"", ""},
        {"   ", "555"},
    });
}

TEST(SqlLineTokenizer, LastWordIsColouredWithoutALineBreak) {
    EXPECT_EQ(classes(QStringLiteral("FROM")), "2222");
    const auto writes = SqlLineTokenizer::tokenize(QStringLiteral("a WHERE"));
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), (ColourWrite{2, 5, TokenClass::Keyword}));
}

TEST(SqlLineTokenizer, QuotedTokenFirstColoursItsSeparatorsThenTheWholeToken) {
    const auto writes = SqlLineTokenizer::tokenize(QStringLiteral("'a b'"));
    const std::vector<ColourWrite> expected{{2, 1, TokenClass::Plain}, {0, 5, TokenClass::Literal}};
    EXPECT_EQ(writes, expected);
}
