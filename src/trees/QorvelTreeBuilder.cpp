#include "trees/QorvelTreeBuilder.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "support/mErrorHandle.h"

#include <vector>

namespace {

// Failures are reported as the window's own procedures.
const QString kModule = QStringLiteral("frmQorvel");
const QString kTemporaryQueryPrefix = catalogue::kTemporaryQueryPrefix;
const QString kHiddenQueryPrefix = QStringLiteral("~sq_");
const QString kClipboardQueryPrefix = QStringLiteral("~TMPCLP");

// The users of one name by a statement of their own: the benchmark's baseline for the Used By tree.
const QString kUsersOfName = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId Where MSysQueries.Attribute = 5 And MSysQueries.[Name1]='{Name}' "
    "GROUP BY MSysObjects.[Name], MSysQueries.[Name1];");

// Every data source of every saved object, read once per Uses build: one catalogue statement per query
// would cost a pass over the whole catalogue each.
const QString kAllQuerySources = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.Name1, MSysQueries.Expression FROM MSysObjects INNER JOIN "
    "MSysQueries ON MSysObjects.Id = MSysQueries.ObjectId WHERE MSysQueries.Attribute=5;");

// Thrown to end a build that cannot be completed; it passes every per-item error boundary.
struct BuildStopped {};

// Runs one step; a failure is reported under the procedure's name and the build goes on.
template <typename Work>
void Guarded(const platform::Services& services, const char* procedure, Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (const BuildStopped&) {
        throw;
    } catch (...) {
        ErrorHandleCurrent(services, QString::fromLatin1(procedure), kModule);
    }
}

bool StartsWith(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// A subquery whose text the catalogue keeps in Name1 instead of Expression.
bool IsSubqueryText(const QString& name1) {
    return StartsWith(name1, QStringLiteral("SELECT ")) || StartsWith(name1, QStringLiteral("TABLE "));
}

// The SQL text of the subquery a data-source row stands for, or an empty text when it names its source.
QString SubqueryText(const host::Recordset& row) {
    const QString name1 = row.text(QStringLiteral("Name1"));
    const QString expression = row.text(QStringLiteral("Expression"));
    if (row.isNull(QStringLiteral("Name1")) && !expression.isEmpty()) {
        return expression;
    }
    return !name1.isEmpty() && IsSubqueryText(name1) ? name1 : QString();
}

// The names without later duplicates (compared without regard to case): a level shows a name once.
QStringList WithoutDuplicates(const QStringList& names) {
    QStringList unique;
    QSet<QString> seen;
    for (const QString& name : names) {
        if (!seen.contains(name.toCaseFolded())) {
            seen.insert(name.toCaseFolded());
            unique.append(name);
        }
    }
    return unique;
}

// A hidden query of a record source or row source is shown as its owner: "~sq_f" and "~sq_r" as the form or
// report, "~sq_c" and "~sq_d" as the form or report, a full stop and the control.
void ShowHiddenQueryAsOwner(CQorvelItem& item) {
    if (!StartsWith(item.name, kHiddenQueryPrefix)) {
        return;
    }
    const QString prefix = item.name.left(5).toLower();
    if (prefix == QLatin1String("~sq_f") || prefix == QLatin1String("~sq_r")) {
        item.objectType =
            prefix.endsWith(QLatin1Char('f')) ? host::ObjectType::Form : host::ObjectType::Report;
        item.name = item.name.mid(5);
    } else if (prefix == QLatin1String("~sq_c") || prefix == QLatin1String("~sq_d")) {
        const QStringList parts = item.name.split(prefix, Qt::KeepEmptyParts, Qt::CaseInsensitive);
        item.objectType =
            prefix.endsWith(QLatin1Char('c')) ? host::ObjectType::Form : host::ObjectType::Report;
        if (parts.size() >= 3) {
            item.name = parts.at(1) + QLatin1Char('.') + parts.at(2);
        }
    }
}

}  // namespace

// One level of the Used By walk: the users of one name, and where the walk stands among them.
struct QorvelTreeBuilder::UsedByLevel {
    CQorvelItem* item = nullptr;
    QString key;  // case-folded name, on the path while the level is open
    QStringList users;
    int next = 0;
    double base = 0;
    double share = 0;
    QSet<QString> shown;     // case-folded names of the users already in this level
    bool childOpen = false;  // the last user's own level is being walked
};

QorvelTreeBuilder::QorvelTreeBuilder(AddinContext& context, host::Database& database, Observer& observer,
                                     Settings settings)
    : mContext(context), mDatabase(database), mObserver(observer), mSettings(std::move(settings)) {}

QorvelTreeBuilder::~QorvelTreeBuilder() {
    CloseQuietly(mSources);
}

QorvelTree QorvelTreeBuilder::BuildUses(const host::ObjectRef& object) {
    const QString& objectName = object.name;
    QorvelTree tree;
    try {
        tree.root = CQorvelItem(
            objectName, object.type,
            object.type == host::ObjectType::Query ? Lookup(objectName).queryType : host::QueryType::Select);
        tree.nodeCount = 1;
        struct Level {
            CQorvelItem* item;
            QString key;
            QStringList names;
            int next = 0;
        };
        QString catalogueName = objectName;
        if (object.type == host::ObjectType::Form) {
            catalogueName = QStringLiteral("~sq_f") + objectName;
        } else if (object.type == host::ObjectType::Report) {
            catalogueName = QStringLiteral("~sq_r") + objectName;
        }
        std::vector<Level> levels;
        levels.push_back({&tree.root, catalogueName.toCaseFolded(), TopSources(object)});
        mPath.insert(levels.back().key);
        while (!levels.empty()) {
            Level& level = levels.back();
            if (level.next == level.names.size()) {
                mPath.remove(level.key);
                levels.pop_back();
                continue;
            }
            const QString name = level.names.at(level.next++);
            CQorvelItem* parent = level.item;
            std::optional<Level> below;
            Guarded(mContext.services(), "BuildQorvel", [&] {
                if (StartsWith(name, kTemporaryQueryPrefix)) {
                    return;  // the add-in's own; never shown
                }
                const ObjectInfo& info = Lookup(name);
                if (info.isQuery) {
                    CQorvelItem item(name, host::ObjectType::Query, info.queryType);
                    ShowHiddenQueryAsOwner(item);
                    item.searched = mSettings.mode == 3 && FieldFindMatches(name);
                    parent->children.push_back(std::move(item));
                    ++tree.nodeCount;
                    CQorvelItem& added = parent->children.back();
                    const QString key = name.toCaseFolded();
                    if (Expand(added, key, tree)) {
                        below = Level{&added, key, AddQuerySources(name)};
                        Expanded(key, !below->names.isEmpty());
                    }
                } else if (info.isTable) {
                    parent->children.emplace_back(name, host::ObjectType::Table);
                    ++tree.nodeCount;
                }
                // anything else (a source deleted since, a form) is not shown
            });
            if (Stop()) {
                return {};
            }
            if (below && !below->names.isEmpty()) {
                mPath.insert(below->key);
                levels.push_back(std::move(*below));
            }
        }
    } catch (const BuildStopped&) {
        return {};
    }
    return tree;
}

QStringList QorvelTreeBuilder::TopSources(const host::ObjectRef& object) {
    const QString& objectName = object.name;
    const host::ObjectType objectType = object.type;
    QString catalogueName = objectName;
    if (objectType == host::ObjectType::Form) {
        catalogueName = QStringLiteral("~sq_f") + objectName;
    } else if (objectType == host::ObjectType::Report) {
        catalogueName = QStringLiteral("~sq_r") + objectName;
    }
    QStringList names;
    std::unique_ptr<host::Recordset> rows = mDatabase.openRecordset(
        CatalogueStatement(catalogue::kQuerySourcesWithFlags, catalogueName), host::RecordsetType::Snapshot);
    try {
        if (rows->eof()) {
            // A record source that names a table or query directly has no hidden query.
            if (objectType == host::ObjectType::Form) {
                names.append(FormRecordSource(mContext, objectName));
            } else if (objectType == host::ObjectType::Report) {
                names.append(ReportRecordSource(mContext, objectName));
            }
        }
        for (; !rows->eof(); rows->moveNext()) {
            const QString name1 = rows->text(QStringLiteral("Name1"));
            if (!name1.isEmpty()) {
                if (!StartsWith(name1, kClipboardQueryPrefix)) {
                    names.append(name1);
                }
                continue;
            }
            const QString expression = rows->text(QStringLiteral("Expression"));
            if (!expression.isEmpty()) {
                const QString temporaryName = MakeTemporaryQuery(expression);
                if (!temporaryName.isEmpty()) {
                    names.append(AddQuerySources(temporaryName));
                }
            }
        }
    } catch (...) {
        CloseQuietly(rows);
        throw;
    }
    CloseQuietly(rows);
    return WithoutDuplicates(names);
}

QStringList QorvelTreeBuilder::AddQuerySources(const QString& queryName) {
    QStringList names;
    Guarded(mContext.services(), "AddQuerySources",
            [&] { names = WithoutDuplicates(QuerySources(queryName)); });
    return names;
}

// The names a query reads, in catalogue order, with the sources of its subqueries (at any depth) in place
// of the subqueries.
const QStringList& QorvelTreeBuilder::QuerySources(const QString& queryName) {
    const QString key = queryName.toCaseFolded();
    if (const auto found = mQuerySources.constFind(key); found != mQuerySources.cend()) {
        return found.value();
    }
    QStringList names;
    for (const SourceRow& row : SourceRows(queryName)) {
        if (!row.name1.isEmpty()) {
            names.append(row.name1);
        } else if (!row.expression.isEmpty()) {
            const QString temporaryName = MakeTemporaryQuery(row.expression);
            if (!temporaryName.isEmpty()) {
                names.append(QuerySources(temporaryName));
            }
        }
    }
    return mQuerySources.insert(key, names).value();
}

// The data-source rows of a saved query from the catalogue read at the first call; those of a temporary
// query, made during the build, by a statement of their own.
QList<QorvelTreeBuilder::SourceRow> QorvelTreeBuilder::SourceRows(const QString& queryName) {
    const auto read = [](host::Recordset& rows, const auto& add) {
        for (; !rows.eof(); rows.moveNext()) {
            add(rows.text(QStringLiteral("Name")),
                SourceRow{rows.text(QStringLiteral("Name1")), rows.text(QStringLiteral("Expression"))});
        }
    };
    const auto open = [&](const QString& statement, const auto& add) {
        std::unique_ptr<host::Recordset> rows =
            mDatabase.openRecordset(statement, host::RecordsetType::Snapshot);
        try {
            read(*rows, add);
        } catch (...) {
            CloseQuietly(rows);
            throw;
        }
        CloseQuietly(rows);
    };
    if (StartsWith(queryName, kTemporaryQueryPrefix)) {
        QList<SourceRow> found;
        open(CatalogueStatement(catalogue::kQuerySourcesWithFlags, queryName),
             [&](const QString&, SourceRow row) { found.append(std::move(row)); });
        return found;
    }
    if (!mAllSourcesRead) {
        open(kAllQuerySources, [&](const QString& name, SourceRow row) {
            if (!StartsWith(name, kTemporaryQueryPrefix)) {  // left by an earlier build; made anew
                mAllSources[name.toCaseFolded()].append(std::move(row));
            }
        });
        mAllSourcesRead = true;
    }
    return mAllSources.value(queryName.toCaseFolded());
}

QorvelTree QorvelTreeBuilder::BuildUsedBy(const host::ObjectRef& object, double enumerationShare) {
    const QString& objectName = object.name;
    QorvelTree tree;
    try {
        tree.root = CQorvelItem(
            objectName, object.type,
            object.type == host::ObjectType::Query ? Lookup(objectName).queryType : host::QueryType::Select);
        tree.nodeCount = 1;
        Guarded(mContext.services(), "ExpressionToQuery", [&] { ExpressionToQuery(); });
        if (Stop()) {
            return {};
        }
        if (mSettings.usedByLookup == UsedByLookup::Snapshot) {
            mSources =
                mDatabase.openRecordset(catalogue::kAllQuerySourcePairs, host::RecordsetType::Snapshot);
        }
        std::vector<UsedByLevel> levels(1);
        levels.back().item = &tree.root;
        if (!StartLevel(levels.back(), objectName, enumerationShare)) {
            return {};
        }
        while (!levels.empty()) {
            UsedByLevel& level = levels.back();
            if (level.childOpen) {
                level.childOpen = false;
                if (!AfterUser(level)) {
                    return {};
                }
                continue;
            }
            if (level.next == level.users.size()) {
                mPath.remove(level.key);
                levels.pop_back();
                continue;
            }
            QString user = level.users.at(level.next++);
            CQorvelItem* added = nullptr;
            Guarded(mContext.services(), "BuildQueryUsedBy", [&] {
                if (StartsWith(user, kClipboardQueryPrefix)) {
                    return;
                }
                if (StartsWith(user, kTemporaryQueryPrefix)) {
                    // A subquery is credited to the saved object it stands in.
                    user = mTempQueryOwners.value(user.toCaseFolded());
                }
                const QString key = user.toCaseFolded();
                if (user.isEmpty() || level.shown.contains(key)) {
                    return;
                }
                CQorvelItem item(user, host::ObjectType::Query, Lookup(user).queryType);
                item.searched = mSettings.mode == 4 && FieldFindMatches(user);
                level.shown.insert(key);
                level.item->children.push_back(std::move(item));
                ++tree.nodeCount;
                CQorvelItem& child = level.item->children.back();
                // Forms, reports and controls are leaves.
                if (StartsWith(user, kHiddenQueryPrefix)) {
                    ShowHiddenQueryAsOwner(child);
                } else if (Expand(child, key, tree)) {
                    added = &child;
                }
            });
            if (!added) {
                if (!AfterUser(level)) {
                    return {};
                }
                continue;
            }
            level.childOpen = true;
            const double share = level.share / level.users.size();
            UsedByLevel below;
            below.item = added;
            if (!StartLevel(below, added->name, share)) {
                return {};
            }
            Expanded(below.key, !below.users.isEmpty());
            levels.push_back(std::move(below));
        }
    } catch (const BuildStopped&) {
        return {};
    }
    return tree;
}

// Opens the level of a name's users: the bar's value when it starts, the users read at once.
bool QorvelTreeBuilder::StartLevel(UsedByLevel& level, const QString& name, double share) {
    level.key = name.toCaseFolded();
    level.base = mObserver.Progress().value_or(0);
    level.share = share;
    if (Stop()) {
        return false;
    }
    mPath.insert(level.key);
    Guarded(mContext.services(), "BuildQueryUsedBy", [&] { level.users = Users(name); });
    return true;
}

// After each user, added or skipped: the host runs, and the bar moves on by the user's share.
bool QorvelTreeBuilder::AfterUser(const UsedByLevel& level) {
    if (Stop()) {
        return false;
    }
    if (mObserver.Progress()) {
        mObserver.SetProgress(level.base + level.share * level.next / level.users.size());
    }
    return true;
}

// The names of the objects that read the name, each name looked up once per build.
QStringList QorvelTreeBuilder::Users(const QString& name) {
    const QString key = name.toCaseFolded();
    if (const auto found = mUsers.constFind(key); found != mUsers.cend()) {
        return found.value();
    }
    std::unique_ptr<host::Recordset> users =
        mSources
            ? FilterRecordset(*mSources, QStringLiteral("Name1"), name)
            : mDatabase.openRecordset(CatalogueStatement(kUsersOfName, name), host::RecordsetType::Snapshot);
    QStringList names;
    if (!users) {
        return names;
    }
    try {
        for (; !users->eof(); users->moveNext()) {
            names.append(users->text(QStringLiteral("Name")));
        }
    } catch (...) {
        CloseQuietly(users);
        throw;
    }
    CloseQuietly(users);
    mUsers.insert(key, names);
    return names;
}

std::unique_ptr<host::Recordset> QorvelTreeBuilder::FilterRecordset(host::Recordset& sources,
                                                                    const QString& fieldName,
                                                                    const QString& value) {
    sources.setFilter(FilterEquals(fieldName, value));
    return sources.openRecordset();
}

void QorvelTreeBuilder::ExpressionToQuery() {
    mTempQueryOwners.clear();
    const auto aliasedSources = [this] {
        return mContext.host().dCount(catalogue::kAliasedSourceCountExpression,
                                      catalogue::kAliasedSourceCountDomain,
                                      catalogue::kAliasedSourceCountCriteria);
    };
    const long before = aliasedSources();
    if (before == 0) {
        return;
    }
    struct Subquery {
        QString owner;
        QString sql;
    };
    std::vector<Subquery> found;
    std::unique_ptr<host::Recordset> rows =
        mDatabase.openRecordset(catalogue::kAllAliasedSources, host::RecordsetType::Snapshot);
    try {
        for (; !rows->eof(); rows->moveNext()) {
            if (const QString subquery = SubqueryText(*rows); !subquery.isEmpty()) {
                found.push_back({rows->text(QStringLiteral("Name")), subquery});
            }
        }
    } catch (...) {
        CloseQuietly(rows);
        throw;
    }
    CloseQuietly(rows);
    for (const Subquery& subquery : found) {
        const QString temporaryName = MakeTemporaryQuery(subquery.sql);
        mTempQueryOwners.insert(temporaryName.toCaseFolded(), subquery.owner);
        if (mObserver.Cancelled()) {
            return;
        }
    }
    if (aliasedSources() > before) {
        Guarded(mContext.services(), "RepeatExpressionToQuery", [&] { RepeatExpressionToQuery(); });
    }
}

// Resolves subqueries inside subqueries, level by level, until a pass makes no new temporary query; each is
// credited to the outermost saved object.
void QorvelTreeBuilder::RepeatExpressionToQuery() {
    QSet<QString> expanded;
    for (bool created = true; created;) {
        created = false;
        struct Subquery {
            QString owner;
            QString sql;
        };
        std::vector<Subquery> found;
        QSet<QString> seenThisPass;
        std::unique_ptr<host::Recordset> rows =
            mDatabase.openRecordset(catalogue::kTemporaryQuerySubquerySources, host::RecordsetType::Snapshot);
        try {
            for (; !rows->eof(); rows->moveNext()) {
                const QString name = rows->text(QStringLiteral("Name")).toCaseFolded();
                if (expanded.contains(name)) {
                    continue;
                }
                seenThisPass.insert(name);
                const QString owner = mTempQueryOwners.value(name);
                if (owner.isEmpty()) {
                    continue;
                }
                if (const QString subquery = SubqueryText(*rows); !subquery.isEmpty()) {
                    found.push_back({owner, subquery});
                }
            }
        } catch (...) {
            CloseQuietly(rows);
            throw;
        }
        CloseQuietly(rows);
        expanded.unite(seenThisPass);
        for (const Subquery& subquery : found) {
            const QString temporaryName = MakeTemporaryQuery(subquery.sql);
            mTempQueryOwners.insert(temporaryName.toCaseFolded(), subquery.owner);
            created = true;
            if (mObserver.Cancelled()) {
                return;
            }
        }
    }
}

// A build that needs more temporary queries than it may make cannot show every user or source: it stops
// rather than show part of the tree as if it were whole.
QString QorvelTreeBuilder::MakeTemporaryQuery(const QString& sql) {
    if (mContext.temporaryQueryCount() >= mSettings.maxTemporaryQueries) {
        mOutcome = Outcome::TooManyTemporaryQueries;
        throw BuildStopped{};
    }
    QString name;
    CreateTemporaryQuery(mContext, sql, &mDatabase, name);
    return name;
}

const QorvelTreeBuilder::ObjectInfo& QorvelTreeBuilder::Lookup(const QString& name) {
    const QString key = name.toCaseFolded();
    if (const auto found = mObjectInfo.constFind(key); found != mObjectInfo.cend()) {
        return found.value();
    }
    ObjectInfo info;
    if (!name.isEmpty()) {
        info.isQuery = IsQuery(mContext, name, &mDatabase);
        if (info.isQuery) {
            info.queryType = mDatabase.queryDef(name)->type();
        } else {
            info.isTable = IsTable(mContext, name, &mDatabase);
        }
    }
    return mObjectInfo.insert(key, info).value();
}

bool QorvelTreeBuilder::FieldFindMatches(const QString& queryName) {
    return SQLFind(mContext.services(), mDatabase.queryDef(queryName)->sql(), mSettings.filterField,
                   mSettings.filterWholeWord, 0);
}

bool QorvelTreeBuilder::Stop() {
    if (mOutcome == Outcome::Built && mObserver.Cancelled()) {
        mOutcome = Outcome::Cancelled;
    }
    return mOutcome != Outcome::Built;
}

bool QorvelTreeBuilder::Expand(CQorvelItem& item, const QString& key, QorvelTree& tree) {
    if (mPath.contains(key)) {
        return false;  // a cycle: shown once more, not followed again
    }
    if (tree.nodeCount > mSettings.maxNodes && mExpandedNames.contains(key)) {
        item.expandedElsewhere = true;
        tree.shortened = true;
        return false;
    }
    return true;
}

void QorvelTreeBuilder::Expanded(const QString& key, bool hasChildren) {
    if (hasChildren) {
        mExpandedNames.insert(key);
    }
}
