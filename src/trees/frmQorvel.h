// The dependency tree window's logic: the Uses tree (modes 1 and 3) and the Used By tree (modes 2 and 4) of
// one object, built from the system catalogue into a tree control and a plain-text rendering, with the
// node commands that need no window. A Qt view shows the tree control and forwards the user's commands.
#pragma once

#include "catalogue/AddinContext.h"
#include "hostapi/host.h"
#include "platform/InMemoryProgressWindow.h"
#include "platform/TreeControl.h"
#include "trees/CQorvelItem.h"
#include "trees/QorvelTreeBuilder.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CProgressBar;

class frmQorvel : public QObject {
    Q_OBJECT

public:
    enum QorvelMode { ModeUses = 1, ModeUsedBy = 2, ModeUsesFind = 3, ModeUsedByFind = 4 };

    using UsedByLookup = QorvelTreeBuilder::UsedByLookup;

    // Without a tree control the window keeps its tree in memory; without a factory its progress windows
    // are in-memory ones. The context is not owned and must outlive the window.
    explicit frmQorvel(AddinContext& context, std::unique_ptr<platform::TreeControl> tree = nullptr,
                       platform::ProgressWindowFactory* progressWindows = nullptr, QObject* parent = nullptr);
    ~frmQorvel() override;

    // The text sought by a field find, and whether only whole words count; set before Initialize.
    QString FilterField;
    bool FilterWholeWord = false;

    // Builds the tree of the object (the host's current object when the name is empty). True when there is
    // a tree to show.
    bool Initialize(int mode, const QString& objectName = QString());

    platform::TreeControl& tvQorvel() const { return *mTree; }
    // The tree last built, as the tree control shows it; empty when none was built.
    const QorvelTree& Tree() const { return mQorvelTree; }
    // The item a node of the tree control shows; nullptr for no node.
    const CQorvelItem* NodeItem(int node) const;
    // The plain-text rendering of the tree (CR LF line ends), for the text export.
    QString TreeText() const;
    QString Caption() const { return mCaption; }
    int IconNumber() const { return mIconNumber; }
    int Mode() const { return mMode; }
    QString ObjectName() const { return mObject ? mObject->name : QString(); }
    bool Cancelled() const { return mCancel; }
    // True when the last build could not be completed (and the user was told why).
    bool BuildFailed() const { return mBuildFailed; }
    bool IsClosed() const { return mClosed; }

    // Enabled state of the Open and Edit commands (toolbar buttons and their context-menu items).
    bool OpenEnabled() const { return mOpenEnabled; }
    bool EditEnabled() const { return mEditEnabled; }

    void tvQorvel_NodeClick(int node);
    // Mouse and keyboard on the tree, forwarded by the view. A double click on the selected node opens it
    // without folding or unfolding it: the view asks ExpandBlocked before it lets a node expand or
    // collapse.
    void tvQorvel_MouseDown();
    void tvQorvel_KeyDown();
    // True when the context menu should be shown (right button released over the selected node).
    bool tvQorvel_MouseUp(bool rightButton, int nodeUnderPointer);
    void tvQorvel_DblClick();
    bool ExpandBlocked() const { return mBlockExpand; }
    // The toolbar: "Open", "Design" and "Edit"; other keys are the view's own (the exports) or nothing.
    void tbButtons_ButtonClick(const QString& key);
    QString NodeDescription(int node);
    // view: host::View::Normal or host::View::Design.
    void OpenObject(host::View view);
    void OpenSQLEditor();

    // Closes the window: its unload runs once.
    void Close();

    // Stops a running build at its next item, as the progress window's Cancel does.
    void CancelBuild() { mCancel = true; }

    void setUsedByLookup(UsedByLookup lookup) { mSettings.usedByLookup = lookup; }
    // Nodes up to which a tree is exact (QorvelTreeBuilder::kDefaultMaxNodes unless set).
    void setMaxNodes(qint64 maxNodes) { mSettings.maxNodes = maxNodes; }
    void setMaxTemporaryQueries(int count) { mSettings.maxTemporaryQueries = count; }

signals:
    // The window closed itself (a cancelled build) or was closed.
    void closed();

private:
    class BuildObserver;

    bool Qorvel();
    void BuildTreeView(double share);
    bool QueryUsedBy();
    QorvelTreeBuilder::Settings BuildSettings() const;
    // Tells the user why a build ended without a tree, or that the tree was shortened.
    void ReportBuild(const QorvelTreeBuilder& builder, const QorvelTree& tree);
    void Form_Unload();

    void mProgressBar_Cancel();
    void mProgressBar_ProgressBarClosed();

    void LetMessagesRun();
    void SetStatusLine(const QString& text);
    void ShowMessage(const QString& text, int icon, const QString& title = QString());

    AddinContext& mContext;
    std::unique_ptr<platform::TreeControl> mTree;
    platform::InMemoryProgressWindowFactory mOwnProgressWindows;
    platform::ProgressWindowFactory* mProgressWindows;
    std::shared_ptr<CProgressBar> mProgressBar;

    QorvelTree mQorvelTree;
    // The item of each node of the tree control, by node number.
    std::vector<CQorvelItem*> mNodeItems;
    QorvelTreeBuilder::Settings mSettings;

    int mMode = 0;
    // The object whose tree it is; nothing when it is none the tree window knows.
    std::optional<host::ObjectRef> mObject;
    QString mCaption;
    int mIconNumber = 0;
    bool mCancel = false;
    bool mBuildFailed = false;
    bool mClosed = false;
    bool mNodeClicked = false;
    bool mBlockExpand = false;
    bool mOpenEnabled = false;
    bool mEditEnabled = false;
};
