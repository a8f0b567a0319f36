// The template window (frmTemplates) in the desktop: a tab strip (insert mode only) over a two-column list
// of templates, and Insert or Create with Cancel. The rows, the tabs and OK are frmTemplates's.
#pragma once

#include "catalogue/ToolWindows.h"
#include "completion/frmTemplates.h"

#include <QDialog>

class QPushButton;
class QTabBar;
class QTreeWidget;

class TemplatesDialog : public QDialog {
    Q_OBJECT
public:
    TemplatesDialog(AddinContext& context, QWidget* parent, QStringList roots = TemplateRoots());

    frmTemplates& logic() { return mLogic; }
    // Init of the logic, then the widgets filled from it.
    void Init(int mode);
    QTabBar* tabs() const { return mTabs; }
    QTreeWidget* list() const { return mList; }
    QPushButton* okButton() const { return mOk; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitColumns();
    void fill();
    void ok();

    frmTemplates mLogic;
    QTabBar* mTabs;
    QTreeWidget* mList;
    QPushButton* mOk;
    QPushButton* mCancel;
};

// The seam the add-in's commands and the editor open the window through.
class DesktopTemplatesWindow : public TemplatesWindow {
public:
    DesktopTemplatesWindow(AddinContext& context, QWidget* parent) : mContext(context), mParent(parent) {}
    void Init(int mode) override { mMode = mode; }
    void ShowModal() override;
    void setNoContentInEditor(bool empty) override { mNoContent = empty; }
    bool ButtonOk() const override { return mButtonOk; }
    QString TemplateContent() const override { return mContent; }

private:
    AddinContext& mContext;
    QWidget* mParent;
    int mMode = 3;
    bool mNoContent = false;
    bool mButtonOk = false;
    QString mContent;
};
