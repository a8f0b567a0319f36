// The template window's rows in both modes, its tabs and OK, on template folders made by the test.
#include "CompletionHarness.h"

#include "completion/frmTemplates.h"
#include "host/HostApplication.h"

#include <QDir>
#include <QFile>

namespace {

class Templates : public CompletionTest {
protected:
    void file(const QString& root, const QString& path, const QByteArray& bytes) {
        const QString full = folder.filePath(root + '/' + path);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile out(full);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QStringList roots() const { return {folder.filePath("shipped"), folder.filePath("user")}; }
    static QStringList rowTexts(const frmTemplates& window) {
        QStringList rows;
        for (const TemplateRow& row : window.Rows()) {
            rows << row.name + '|' + row.tag;
        }
        return rows;
    }
};

}  // namespace

TEST_F(Templates, WithoutFoldersOnlyTheWizards) {
    frmTemplates insert(context(), {folder.filePath("none")});
    insert.Form_Load();
    insert.Init(1);
    EXPECT_TRUE(insert.Rows().empty());
    EXPECT_EQ(insert.OkCaption(), QStringLiteral("Insert"));

    frmTemplates create(context(), {folder.filePath("none")});
    create.Form_Load();
    create.Init(3);
    EXPECT_FALSE(create.TabsVisible());
    EXPECT_EQ(create.OkCaption(), QStringLiteral("Create"));
    EXPECT_EQ(rowTexts(create), (QStringList{"Design View|", "Simple Query Wizard|acwzmain.ssq_Entry",
                                             "Crosstab Query Wizard|acwzmain.xtq_Entry",
                                             "Find Duplicates Query Wizard|acwztool.dup_Entry",
                                             "Find Unmatched Query Wizard|acwztool.dwz_Entry"}));

    application->setVersion(QStringLiteral("12.0 Beta"));
    create.Init(3);
    EXPECT_TRUE(create.Rows().empty());
}

TEST_F(Templates, TabsAndRows) {
    file("shipped", "fragments/b join.sql", "INNER JOIN {table2}\r\n");
    file("shipped", "fragments/a.sql", "\r\n\r\nYear({field})\r\n\r\n");
    file("shipped", "fragments/a.txt", "left out");
    file("shipped", "queries/select/top.sql", "SELECT TOP 10 * FROM {table1};");
    file("shipped", "queries/delete.sql", "DELETE FROM {table1};");
    file("user", "fragments/b join.sql", "LEFT JOIN {table2}");  // the user's own replaces the shipped one
    file("user", "fragments/Über.sql", "x");

    frmTemplates window(context(), roots());
    window.Form_Load();
    window.Init(1);
    EXPECT_TRUE(window.TabsVisible());
    EXPECT_EQ(window.TabIndex(), 1);
    EXPECT_EQ(rowTexts(window),
              (QStringList{"a|Fragment", "b join|Fragment", "Über|Fragment", "top|Query", "delete|Query"}));
    EXPECT_EQ(window.Rows()[0].content, QStringLiteral("Year({field})"));
    EXPECT_EQ(window.Rows()[1].content, QStringLiteral("LEFT JOIN {table2}"));
    EXPECT_EQ(window.SelectedRow(), 0);

    window.tbsOptions_Click(3);
    EXPECT_EQ(rowTexts(window), (QStringList{"top|Query", "delete|Query"}));
    window.NextTab();  // Ctrl+Tab on the last tab: the first
    EXPECT_EQ(window.TabIndex(), 1);
    window.NextTab();
    EXPECT_EQ(rowTexts(window), (QStringList{"a|Fragment", "b join|Fragment", "Über|Fragment"}));

    frmTemplates create(context(), roots());
    create.Form_Load();
    create.Init(3);
    EXPECT_EQ(create.Rows().size(), 7u);
    EXPECT_EQ(create.Rows()[5].name, QStringLiteral("top"));
}

TEST_F(Templates, OkInsertsQueriesAsSubqueriesIntoText) {
    file("shipped", "queries/select/top.sql", "SELECT TOP 10 * FROM {table1};  \r\n");
    frmTemplates window(context(), roots());
    window.Form_Load();
    window.Init(1);
    window.setNoContentInEditor(false);
    window.cmdOK_Click();
    EXPECT_TRUE(window.ButtonOk());
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(window.TemplateContent(), QStringLiteral("(SELECT TOP 10 * FROM {table1})"));

    window.Init(1);
    EXPECT_FALSE(window.ButtonOk());
    window.setNoContentInEditor(true);
    window.cmdOK_Click();
    EXPECT_EQ(window.TemplateContent(), QStringLiteral("SELECT TOP 10 * FROM {table1};  "));

    window.Init(1);
    window.cmdCancel_Click();
    EXPECT_FALSE(window.ButtonOk());
    EXPECT_TRUE(window.Unloaded());
}

TEST_F(Templates, OkInCreateMode) {
    file("shipped", "queries/update.sql", "UPDATE {table1} SET {field1} = {value1};");
    frmTemplates window(context(), roots());
    window.Form_Load();
    window.Init(3);
    window.setSelectedRow(5);
    window.cmdOK_Click();
    EXPECT_TRUE(window.Unloaded());
    EXPECT_EQ(windows.editorLog,
              (QStringList{"initialize '' UPDATE {table1} SET {field1} = {value1};", "show"}));

    window.Init(3);
    window.setSelectedRow(2);
    window.cmdOK_Click();
    EXPECT_EQ(application->procedureCalls(), QStringList{"acwzmain.xtq_Entry"});
    EXPECT_TRUE(prompter.messages.isEmpty());
}
