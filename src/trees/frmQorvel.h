// The dependency tree window's logic: the Uses tree (modes 1 and 3) and the Used By tree (modes 2 and 4) of
// one object, built from the system catalogue into a tree control and a plain-text rendering, with the
// node commands that need no window. A Qt view shows the tree control and forwards the user's commands.
#pragma once

#include "catalogue/AddinContext.h"
#include "hostapi/host.h"
#include "platform/InMemoryProgressWindow.h"
#include "platform/TreeControl.h"
#include "trees/CQorvelItem.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class CProgressBar;

class frmQorvel : public QObject {
    Q_OBJECT

public:
    enum QorvelMode { ModeUses = 1, ModeUsedBy = 2, ModeUsesFind = 3, ModeUsedByFind = 4 };

    // How the Used By tree finds the users of a name: by filtering one snapshot of every source pair read
    // once per build, or by one catalogue statement per name (kept as the baseline of the benchmark).
    enum class UsedByLookup { Snapshot, StatementPerName };

    // Without a tree control the window keeps its tree in memory; without a factory its progress windows
    // are in-memory ones.
    // The context is not owned and must outlive the window.
    explicit frmQorvel(AddinContext& context, std::unique_ptr<platform::TreeControl> tree = nullptr,
                       platform::ProgressWindowFactory* progressWindows = nullptr, QObject* parent = nullptr);
    ~frmQorvel() override;

    // The text sought by a field find, and whether only whole words count; set before Initialize.
    QString FilterField;
    bool FilterWholeWord = false;

    // Builds the tree of the object (the host's current object when the name is empty). True when there is
    // a tree to show.
    bool Initialize(int vQorvelMode, const QString& vstrObjectName = QString());

    platform::TreeControl& tvQorvel() const { return *mTree; }
    QString TreeText() const { return mTreeText; }
    QString Caption() const { return mCaption; }
    int IconNumber() const { return mIconNumber; }
    int Mode() const { return mMode; }
    QString ObjectName() const { return mObjectName; }
    int ObjectType() const { return mObjectType; }
    bool Cancelled() const { return mCancel; }
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
    // view: host::acViewNormal or host::acViewDesign.
    void OpenObject(int view);
    void OpenSQLEditor();

    // Closes the window: its unload runs once.
    void Close();

    void setUsedByLookup(UsedByLookup lookup) { mUsedByLookup = lookup; }

signals:
    // The window closed itself (a cancelled build) or was closed.
    void closed();

private:
    bool Qorvel();
    void AddQuerySources(const QString& queryName, QorvelItems& items, host::Database& database);
    void BuildQorvel(QorvelItems& items, host::Database& database, QStringList& path);
    QString BuildTreeView(QorvelItems& items, int parentNode, int level, double share);
    bool QueryUsedBy();
    void BuildQueryUsedBy(const QString& name, QorvelItems& items, host::Recordset* sources,
                          host::Database& database, double share, QStringList& path);
    void ExpressionToQuery(host::Database& database);
    void RepeatExpressionToQuery(host::Database& database);
    std::unique_ptr<host::Recordset> FilterRecordset(host::Recordset& sources, const QString& fieldName,
                                                     const QString& value);
    bool ImageExists(const QString& key) const;
    void Form_Unload();

    void mProgressBar_Cancel();
    void mProgressBar_ProgressBarClosed();

    // Per build: what the catalogue and the host said about a name, so that a name met in several
    // branches costs one look-up.
    struct ObjectInfo {
        bool isQuery = false;
        bool isTable = false;
        int queryType = 0;
    };
    const ObjectInfo& Lookup(const QString& name, host::Database& database);
    const QStringList& QuerySources(const QString& queryName, host::Database& database);
    QString QueryIconKey(int queryType) const;
    bool FieldFindMatches(const QString& queryName, host::Database& database);
    void LetMessagesRun();
    void SetStatusLine(const QString& text);
    void ShowMessage(const QString& text, int icon, const QString& title = QString());
    void ClearBuildCaches();

    // The connection's routines, bound to this window's context.
    host::Application& Host() const;
    std::shared_ptr<host::Database> CurrentDatabase() const;
    template <typename... Args>
    auto ErrorBoundary(Args&&... args) const;
    bool IsQuery(const QString& name, host::Database* database = nullptr) const;
    bool IsTable(const QString& name, host::Database* database = nullptr) const;
    QString FormRecordSource(const QString& formName) const;
    QString ReportRecordSource(const QString& reportName) const;
    void CreateTemporaryQuery(const QString& sql, host::Database* database, QString& name) const;
    void DeleteTemporaryQueries(host::Database* database = nullptr) const;
    bool SQLFind(const QString& text, const QString& find, bool wholeWords, int start) const;
    bool IsQueryNew(int objectType, const QString& name) const;
    bool IsQueryDirty(int objectType, const QString& name) const;
    QString ObjectDescription(int objectType, const QString& name) const;
    void ShowQueryEditor(const QString& queryName, bool hidden) const;

    AddinContext& mContext;
    std::unique_ptr<platform::TreeControl> mTree;
    platform::InMemoryProgressWindowFactory mOwnProgressWindows;
    platform::ProgressWindowFactory* mProgressWindows;
    std::shared_ptr<CProgressBar> mProgressBar;

    int mMode = 0;
    QString mObjectName;
    int mObjectType = -1;
    QString mTreeText;
    QString mCaption;
    int mIconNumber = 0;
    bool mCancel = false;
    bool mClosed = false;
    bool mNodeClicked = false;
    bool mBlockExpand = false;
    bool mOpenEnabled = false;
    bool mEditEnabled = false;
    UsedByLookup mUsedByLookup = UsedByLookup::Snapshot;

    // Temporary query name -> the saved object in which its subquery stands.
    QHash<QString, QString> mTempQueryOwners;
    QHash<QString, ObjectInfo> mObjectInfo;     // by case-folded name
    QHash<QString, QStringList> mQuerySources;  // by case-folded name
};
