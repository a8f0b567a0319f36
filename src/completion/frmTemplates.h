// The template window's logic: in insert mode the fragments and queries on three tabs (All, Fragments,
// Queries), the chosen text handed to the editor; in create mode the host's design view and query
// wizards, then the queries, the chosen one opened in a new editor window. A view shows the rows and
// forwards the clicks and keys.
#pragma once

#include "catalogue/AddinContext.h"
#include "completion/TemplateLibrary.h"

#include <QString>
#include <QStringList>

#include <vector>

struct TemplateRow {
    QString name;
    QString content;
    QString tag;  // "Fragment", "Query", a wizard's entry point, or empty for the design view
};

class frmTemplates {
public:
    static inline const QStringList kTabCaptions = {QStringLiteral("All"), QStringLiteral("Fragments"),
                                                    QStringLiteral("Queries")};
    static inline const QString kAllTabTip = QStringLiteral("All (Fragments + Queries)");

    // Without roots the library's own folders are read.
    explicit frmTemplates(AddinContext& context, QStringList roots = TemplateRoots());

    // Reads the three template collections from disk.
    void Form_Load();
    // 1 insert mode, 3 create mode; any other value only resets the mode and the confirmation.
    void Init(int mode);

    bool CreateMode = false;
    bool ButtonOk() const { return mButtonOk; }
    const QString& TemplateContent() const { return mTemplateContent; }
    void setNoContentInEditor(bool empty) { mNoContentInEditor = empty; }

    QString Caption() const { return QStringLiteral("Templates"); }
    QString OkCaption() const { return mOkCaption; }
    bool TabsVisible() const { return mTabsVisible; }
    // 1 All, 2 Fragments, 3 Queries; 0 before the first tab click.
    int TabIndex() const { return mTabIndex; }
    const std::vector<TemplateRow>& Rows() const { return mRows; }
    int SelectedRow() const { return mSelected; }
    void setSelectedRow(int row) { mSelected = row >= 0 && row < int(mRows.size()) ? row : -1; }
    // False once the window hid or unloaded itself.
    bool Visible() const { return mVisible; }
    bool Unloaded() const { return mUnloaded; }

    // A tab was selected (1 to 3): the list shows its rows, the first selected.
    void tbsOptions_Click(int tab);
    // Ctrl+Tab: the next tab, after the last the first.
    void NextTab();
    // OK, Enter or a double click on a row.
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void TemplatesCollectionToList(const TemplateCollection& collection, const QString& tag);
    void AddWizardsToList();
    void RunWizard(const QString& procedure);

    AddinContext& mContext;
    QStringList mRoots;
    TemplateCollection mFragments;
    TemplateCollection mSelectQueries;
    TemplateCollection mQueries;
    std::vector<TemplateRow> mRows;
    int mSelected = -1;
    int mTabIndex = 0;
    int mSelectedTab = 1;
    bool mTabsVisible = true;
    bool mButtonOk = false;
    bool mNoContentInEditor = false;
    bool mVisible = true;
    bool mUnloaded = false;
    QString mTemplateContent;
    QString mOkCaption = QStringLiteral("OK");
};
