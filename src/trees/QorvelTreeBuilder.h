// Builds the dependency trees of one object from the system catalogue: the Uses tree (what a query, form or
// report reads, followed down to the tables) and the Used By tree (every query that reads a query or table,
// followed up; forms, reports and controls as leaves). The tree window runs it and renders the result.
//
// Every walk keeps its own stack instead of recursing, so a chain of queries of any depth builds in time and
// memory linear in the tree. Past the node budget, a query whose children are already in the tree is shown
// as a leaf instead of being expanded again, which keeps the tree of a densely shared database bounded.
#pragma once

#include "catalogue/AddinContext.h"
#include "hostapi/host.h"
#include "trees/CQorvelItem.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <limits>
#include <memory>
#include <optional>

class QorvelTreeBuilder {
public:
    static constexpr qint64 kDefaultMaxNodes = 200000;
    // The temporary queries one build may make: their numbers are counted in 16 bits.
    static constexpr int kMaxTemporaryQueries = std::numeric_limits<qint16>::max();

    // How the Used By tree finds the users of a name: by filtering one snapshot of every source pair read
    // once per build, or by one catalogue statement per name (kept as the baseline of the benchmark).
    enum class UsedByLookup { Snapshot, StatementPerName };

    // The window, asked between two items.
    class Observer {
    public:
        virtual ~Observer() = default;
        // Lets the host process pending messages; true when the user has cancelled the build.
        virtual bool Cancelled() = 0;
        // The progress bar's value; nothing while there is no progress window.
        virtual std::optional<double> Progress() const = 0;
        virtual void SetProgress(double value) = 0;
    };

    struct Settings {
        // 1 Uses, 2 Used By, 3 Uses with field find, 4 Used By with field find.
        int mode = 1;
        QString filterField;
        bool filterWholeWord = false;
        // Nodes (the root included) up to which the tree is exact.
        qint64 maxNodes = kDefaultMaxNodes;
        int maxTemporaryQueries = kMaxTemporaryQueries;
        UsedByLookup usedByLookup = UsedByLookup::Snapshot;
    };

    enum class Outcome {
        Built,
        Cancelled,
        // The subqueries needed more temporary queries than a build may make: no tree.
        TooManyTemporaryQueries,
    };

    // Neither the context nor the database is owned.
    QorvelTreeBuilder(AddinContext& context, host::Database& database, Observer& observer, Settings settings);
    ~QorvelTreeBuilder();

    // The Uses tree of a query, form or report. Empty unless Built.
    QorvelTree BuildUses(const host::ObjectRef& object);
    // The Used By tree of a query or table. enumerationShare: the part of the progress bar it may fill.
    QorvelTree BuildUsedBy(const host::ObjectRef& object, double enumerationShare);

    Outcome outcome() const { return mOutcome; }

private:
    struct ObjectInfo {
        bool isQuery = false;
        bool isTable = false;
        host::QueryType queryType = host::QueryType::Select;
    };
    struct UsedByLevel;
    struct SourceRow {
        QString name1;
        QString expression;
    };

    // The Uses tree's parts.
    QStringList TopSources(const host::ObjectRef& object);
    QStringList AddQuerySources(const QString& queryName);
    const QStringList& QuerySources(const QString& queryName);
    QList<SourceRow> SourceRows(const QString& queryName);
    // The Used By tree's parts.
    void ExpressionToQuery();
    void RepeatExpressionToQuery();
    QStringList Users(const QString& name);
    std::unique_ptr<host::Recordset> FilterRecordset(host::Recordset& sources, const QString& fieldName,
                                                     const QString& value);
    bool StartLevel(UsedByLevel& level, const QString& name, double share);
    bool AfterUser(const UsedByLevel& level);

    QString MakeTemporaryQuery(const QString& sql);
    const ObjectInfo& Lookup(const QString& name);
    bool FieldFindMatches(const QString& queryName);
    bool Stop();
    // Whether the query's children go below this node: not when it is on the path from the root (a cycle),
    // nor, past the node budget, when they are already shown elsewhere (then the item says so).
    bool Expand(CQorvelItem& item, const QString& key, QorvelTree& tree);
    void Expanded(const QString& key, bool hasChildren);

    AddinContext& mContext;
    host::Database& mDatabase;
    Observer& mObserver;
    Settings mSettings;
    Outcome mOutcome = Outcome::Built;
    std::unique_ptr<host::Recordset> mSources;

    QHash<QString, ObjectInfo> mObjectInfo;        // by case-folded name
    QHash<QString, QStringList> mQuerySources;     // by case-folded name
    QHash<QString, QStringList> mUsers;            // by case-folded name
    QHash<QString, QList<SourceRow>> mAllSources;  // by case-folded name of the saved object
    bool mAllSourcesRead = false;
    // Temporary query name (case-folded) -> the saved object in which its subquery stands.
    QHash<QString, QString> mTempQueryOwners;
    QSet<QString> mPath;           // case-folded names from the root to the item being expanded
    QSet<QString> mExpandedNames;  // case-folded names of queries whose children are in the tree
};
