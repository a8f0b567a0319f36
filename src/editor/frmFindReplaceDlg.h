// The find dialog's logic, in both its uses: with an editor behind it (find, replace and replace all in the
// editor's text) and without one (the tree tools' field find, which opens the Uses or Used By tree with the
// queries that mention the text marked). It holds what the dialog's controls show; a Qt view builds the
// controls, draws this state whenever it changes and forwards the user's input.
#pragma once

#include "catalogue/AddinContext.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CQorvelFind;
class EditorSearch;
class frmQorvel;

class frmFindReplaceDlg : public QObject {
    Q_OBJECT

public:
    enum Mode { ModeFind = 0, ModeReplace = 1 };

    // The context is not owned and must outlive the dialog.
    explicit frmFindReplaceDlg(AddinContext& context, QObject* parent = nullptr);
    ~frmFindReplaceDlg() override;

    // The editor the dialog serves; nullptr in the tree use.
    EditorSearch* ParentForm() const { return mParentForm; }
    void setParentForm(EditorSearch* editor) { mParentForm = editor; }

    // Tree use: 3 (Uses tree with find) or 4 (Used By tree with find).
    int QorvelMode = 0;
    // The tree use's preparation: no editor, find mode, the tree mode.
    void PrepareTreeFind(int qorvelMode);
    // Tree use: whether the current object offers field names (and so may be searched); tells the user when
    // not. Asked once; later calls give the first answer.
    bool mfValidDataSource();
    // Tree use: opens the marked tree of the current object; true when a window was shown. Without it the
    // tree is built into an in-memory window, kept as LastTree.
    std::function<bool(const QString& findWhat, bool wholeWord)> openMarkedTree;
    frmQorvel* LastTree() const { return mLastTree.get(); }

    // Fills the controls from the editor's settings (or, in the tree use, from the current object's field
    // names and the remembered whole-word setting). False in the tree use when there is nothing to search:
    // the dialog is then unloaded.
    bool Form_Load();
    // Find (0) or replace (1) layout; a text that is not empty becomes the search text.
    void action(int mode, const QString& text = QString());

    int Mode() const { return mMode; }
    QString Caption() const;
    // The replace controls (cmdReplace, cmdReplaceAll, cbxReplaceWith, lblReplaceWith) show only in
    // replace mode, and the window then has its full height.
    bool ReplaceVisible() const { return mMode == ModeReplace; }

    QString cbxFindWhat() const { return mFindWhat; }
    QString cbxReplaceWith() const { return mReplaceWith; }
    bool chkWholeWordOnly() const { return mWholeWord; }
    const QStringList& FindWhatList() const { return mList; }
    bool cmdFindEnabled() const { return !mFindWhat.isEmpty(); }

    // The user's input.
    void cbxFindWhat_Change(const QString& text);
    void cbxReplaceWith_Change(const QString& text);
    void chkWholeWordOnly_Click(bool checked);
    void cmdFind_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click();
    // The window closes (by Cancel, its close box, or its editor closing): lets the editor go and
    // remembers the whole-word setting.
    void Form_Unload();
    bool IsUnloaded() const { return mUnloaded; }
    // Closes the dialog: the view closes its window, and the dialog unloads.
    void Unload();

    // The dialog stays open across searches: focus and activation are the view's.
    void requestFocus() { emit focusFindWhat(); }

signals:
    // Any state the controls show changed.
    void changed();
    void focusFindWhat();
    // Cancel in the tree use hides the window; otherwise it unloads.
    void hideRequested();
    void unloadRequested();

private:
    void handToEditor();

    AddinContext& mContext;
    EditorSearch* mParentForm = nullptr;
    std::unique_ptr<CQorvelFind> mTreeFind;
    std::unique_ptr<frmQorvel> mLastTree;
    int mValidity = -1;  // tree use: not asked yet
    int mMode = ModeFind;
    QString mFindWhat;
    QString mReplaceWith;
    bool mWholeWord = false;
    QStringList mList;
    bool mUnloaded = false;
};
