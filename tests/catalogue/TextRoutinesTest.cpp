// The catalogue module's text routines: whole-word search, trimming, paths, quoting and safe substitution.
#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "common/RecordingPrompter.h"
#include "support/AppVersion.h"

#include <gtest/gtest.h>

TEST(SQLFind, WholeWordNeedsNonWordNeighbours) {
    const platform::Services services;
    EXPECT_TRUE(SQLFind(services, "a.Id, b", "Id", true));
    EXPECT_FALSE(SQLFind(services, "OrderId", "Id", true));
    EXPECT_TRUE(SQLFind(services, "OrderId", "Id", false));
    // found on the second try, after the joined occurrence
    EXPECT_TRUE(SQLFind(services, "OrderId, Id", "id", true));
    // "_" and the square brackets lie between "Z" and "a": they join a word
    EXPECT_FALSE(SQLFind(services, "Order_Id", "Id", true));
    EXPECT_FALSE(SQLFind(services, "[Id]", "Id", true));
    EXPECT_TRUE(SQLFind(services, "(Id)", "Id", true));
    // at the very start and the very end of the text
    EXPECT_TRUE(SQLFind(services, "Id", "ID", true));
    // non-ASCII letters do not join a word: the test is by character code
    EXPECT_TRUE(SQLFind(services, QStringLiteral("\u00e9Id"), "Id", true));
}

TEST(SQLFind, StartPosition) {
    RecordingPrompter prompter;
    platform::Services services;
    services.prompter = &prompter;
    EXPECT_TRUE(SQLFind(services, "Id x", "Id", false, 0));
    EXPECT_TRUE(SQLFind(services, "Id x", "Id", false, 1));
    EXPECT_FALSE(SQLFind(services, "Id x", "Id", false, 2));
    EXPECT_TRUE(SQLFind(services, "Id x Id", "Id", true, 2));
    EXPECT_FALSE(SQLFind(services, "Id", "Id", false, 5));
    EXPECT_FALSE(SQLFind(services, "", "Id", true));
    // an empty find text never loops
    EXPECT_FALSE(SQLFind(services, "abc", "", true));
    EXPECT_TRUE(prompter.messages.isEmpty());
    // an invalid start is a failure: reported, and not found
    EXPECT_FALSE(SQLFind(services, "Id", "Id", false, -1));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.first().contains("mMain.SQLFind"));
}

TEST(TrimChars, StripsCopiesOfThePattern) {
    EXPECT_EQ(TrimChars(TrimChars("[Orders]", "]", 2), "[", 0), "Orders");
    EXPECT_EQ(TrimChars(TrimChars("[x]", "[", 1), "]", 1), "x");
    EXPECT_EQ(TrimChars("[[x]]", "[", 0), "x]]");
    EXPECT_EQ(TrimChars("]]]", "]", 1), "]]]");
    EXPECT_EQ(TrimChars("  a  ", " ", 0), "a  ");
    EXPECT_EQ(TrimChars("  a  ", " ", 2), "  a");
    EXPECT_EQ(TrimChars("abab-ab", "ab", 1), "-");
    EXPECT_EQ(TrimChars("", "x", 1), "");
    EXPECT_EQ(TrimChars("x", "", 1), "x");
}

TEST(TextUtilities, PathsQuotesAndReplacement) {
    EXPECT_EQ(AddBackslash("C:\\Tools"), "C:\\Tools\\");
    EXPECT_EQ(AddBackslash("C:\\Tools\\"), "C:\\Tools\\");
    EXPECT_EQ(AddBackslash("  C:\\Tools  "), "C:\\Tools\\");
    EXPECT_EQ(AddBackslash(""), "\\");

    QString text = "abc";
    AddQuotes(text, true);
    EXPECT_EQ(text, "'abc'");
    AddQuotes(text, true);
    EXPECT_EQ(text, "'abc'");
    text = "\"abc";
    AddQuotes(text, false);
    EXPECT_EQ(text, "\"abc\"");
    text = "";
    AddQuotes(text, true);
    EXPECT_EQ(text, "''");

    EXPECT_EQ(ReplaceChars("a/b\\c", "/\\", "_"), "a_b_c");
    EXPECT_EQ(ReplaceChars("aAa", "a", "xy"), "xyAxy");
}

TEST(TextUtilities, TitleVersionAndHelp) {
    EXPECT_EQ(AppTitleAndVersion(), "VEXOR Qorvel Editor v." QORVEL_VERSION);
    EXPECT_TRUE(HelpFilePath().endsWith("/plavo-help"));
    EXPECT_FALSE(FileExists(QStringLiteral(QORVEL_TEST_DATA_DIR)));  // a folder
    EXPECT_TRUE(FileExists(QStringLiteral(QORVEL_SOURCE_DIR "/CMakeLists.txt")));
    EXPECT_FALSE(FileExists(QStringLiteral(QORVEL_SOURCE_DIR "/no such file")));
}

TEST(CatalogueStatement, NamesAreSafeBetweenApostrophes) {
    EXPECT_EQ(
        CatalogueStatement(catalogue::kQueryColumns, "Orders"),
        "SELECT MSysQueries.Name1, MSysQueries.Name2, MSysQueries.Expression FROM MSysObjects INNER JOIN "
        "MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=6 And "
        "MSysObjects.[Name]='Orders';");
    EXPECT_TRUE(
        CatalogueStatement(catalogue::kQuerySources, "O'Brien Orders").endsWith("[Name]='O''Brien Orders';"));
    // a name holding the placeholder is not substituted again
    EXPECT_EQ(CatalogueStatement("a='{Name}' b='{Name}'", "x{Name}'"), "a='x{Name}''' b='x{Name}'''");
    // the placeholder is matched exactly
    EXPECT_EQ(CatalogueStatement("'{name}'", "x"), "'{name}'");
    EXPECT_EQ(FilterEquals("Name1", "O'Brien"), "Name1 = 'O''Brien'");
    EXPECT_EQ(SqlTextLiteral("''"), "''''''");
    EXPECT_TRUE(catalogue::kTemporaryQuerySubquerySources.endsWith("Like '~TemporaryQuery*');"));
}
