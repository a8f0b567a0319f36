#include "trees/frmQorvel.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "platform/EventPump.h"
#include "platform/InMemoryTreeControl.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"
#include "trees/CProgressBar.h"

#include <QSet>

#include <functional>
#include <utility>

namespace {

const QString kModule = QStringLiteral("frmQorvel");
const QString kLineBreak = QStringLiteral("\r\n");
const QString kTemporaryQueryPrefix = catalogue::kTemporaryQueryPrefix;
const QString kHiddenQueryPrefix = QStringLiteral("~sq_");
const QString kClipboardQueryPrefix = QStringLiteral("~TMPCLP");
const QString kImageTable = QStringLiteral("Table");
const QString kImageForm = QStringLiteral("Form");
const QString kImageReport = QStringLiteral("Report");
const QString kDefaultQueryImage = QStringLiteral("q0");

// The users of one name by a statement of their own: the benchmark's baseline for the Used By tree.
const QString kUsersOfName = QStringLiteral(
    "SELECT MSysObjects.[Name], MSysQueries.[Name1] FROM MSysObjects INNER JOIN MSysQueries ON "
    "MSysObjects.Id = MSysQueries.ObjectId Where MSysQueries.Attribute = 5 And MSysQueries.[Name1]='{Name}' "
    "GROUP BY MSysObjects.[Name], MSysQueries.[Name1];");

// The images of the tree and their descriptions.
const std::pair<const char*, const char*> kImages[] = {
    {"q0", "Select"},    {"q128", "Union"},         {"q64", "Append"},     {"q80", "MakeTable"},
    {"q16", "Crosstab"}, {"q96", "DataDefenition"}, {"q32", "Delete"},     {"q112", "Passthrough"},
    {"q48", "Update"},   {"q144", "Bulk"},          {"q224", "Procedure"}, {"Table", "Table"},
    {"Form", "Form"},    {"Report", "Report"},
};

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

}  // namespace

host::Application& frmQorvel::Host() const {
    return mContext.host();
}
std::shared_ptr<host::Database> frmQorvel::CurrentDatabase() const {
    return mContext.currentDatabase();
}
template <typename... Args>
auto frmQorvel::ErrorBoundary(Args&&... args) const {
    return ::ErrorBoundary(mContext.services(), std::forward<Args>(args)...);
}
bool frmQorvel::IsQuery(const QString& name, host::Database* database) const {
    return ::IsQuery(mContext, name, database);
}
bool frmQorvel::IsTable(const QString& name, host::Database* database) const {
    return ::IsTable(mContext, name, database);
}
QString frmQorvel::FormRecordSource(const QString& formName) const {
    return ::FormRecordSource(mContext, formName);
}
QString frmQorvel::ReportRecordSource(const QString& reportName) const {
    return ::ReportRecordSource(mContext, reportName);
}
void frmQorvel::CreateTemporaryQuery(const QString& sql, host::Database* database, QString& name) const {
    ::CreateTemporaryQuery(mContext, sql, database, name);
}
void frmQorvel::DeleteTemporaryQueries(host::Database* database) const {
    ::DeleteTemporaryQueries(mContext, database);
}
bool frmQorvel::SQLFind(const QString& text, const QString& find, bool wholeWords, int start) const {
    return ::SQLFind(mContext.services(), text, find, wholeWords, start);
}
bool frmQorvel::IsQueryNew(int objectType, const QString& name) const {
    return ::IsQueryNew(mContext, objectType, name);
}
bool frmQorvel::IsQueryDirty(int objectType, const QString& name) const {
    return ::IsQueryDirty(mContext, objectType, name);
}
QString frmQorvel::ObjectDescription(int objectType, const QString& name) const {
    return ::ObjectDescription(mContext, objectType, name);
}
void frmQorvel::ShowQueryEditor(const QString& queryName, bool hidden) const {
    ::ShowQueryEditor(mContext, queryName, hidden);
}

frmQorvel::frmQorvel(AddinContext& context, std::unique_ptr<platform::TreeControl> tree,
                     platform::ProgressWindowFactory* progressWindows, QObject* parent)
    : QObject(parent),
      mContext(context),
      mTree(tree ? std::move(tree) : std::make_unique<platform::InMemoryTreeControl>()),
      mProgressWindows(progressWindows ? progressWindows : &mOwnProgressWindows) {
    for (const auto& [key, tag] : kImages) {
        mTree->addImage(QString::fromLatin1(key), QString::fromLatin1(tag));
    }
    connect(mTree.get(), &platform::TreeControl::nodeClicked, this, &frmQorvel::tvQorvel_NodeClick);
    connect(mTree.get(), &platform::TreeControl::nodeDoubleClicked, this, &frmQorvel::tvQorvel_DblClick);
}

frmQorvel::~frmQorvel() {
    if (mProgressBar) {
        mProgressBar->disconnect(this);
        mProgressBar.reset();
    }
}

bool frmQorvel::Initialize(int vQorvelMode, const QString& vstrObjectName) {
    const auto setMousePointer = [this](int pointer) {
        try {
            if (auto* application = mContext.application()) {
                application->screen().setMousePointer(pointer);
            }
        } catch (...) {
        }
    };
    setMousePointer(host::mousePointerHourglass);
    const bool shown = ErrorBoundary(QStringLiteral("Initialize"), kModule, false, [&] {
        if (!vstrObjectName.isEmpty()) {
            mObjectName = vstrObjectName;
            mObjectType = IsQuery(vstrObjectName)   ? host::acQuery
                          : IsTable(vstrObjectName) ? host::acTable
                                                    : -1;
        } else {
            mObjectName = Host().currentObjectName();
            mObjectType = Host().currentObjectType();
        }
        if (mObjectType == -1) {
            return false;
        }
        mMode = vQorvelMode;
        mIconNumber = vQorvelMode;
        if (mMode == ModeUses || mMode == ModeUsesFind) {
            if (mObjectType == host::acQuery || mObjectType == host::acForm ||
                mObjectType == host::acReport) {
                Qorvel();
                mCaption = QStringLiteral("VEXOR Qorvel");
                if (mMode == ModeUsesFind) {
                    mCaption += QStringLiteral("(find ") + FilterField + QLatin1Char(')');
                }
            } else {
                ShowMessage(QStringLiteral("This action is only available for queries"),
                            static_cast<int>(platform::MsgIcon::Exclamation), QStringLiteral("Qorvel"));
            }
        } else if (mMode == ModeUsedBy || mMode == ModeUsedByFind) {
            if (mObjectType == host::acQuery || mObjectType == host::acTable) {
                QueryUsedBy();
                mCaption = QStringLiteral("VEXOR Query/Table Used By");
                if (mMode == ModeUsedByFind) {
                    mCaption += QStringLiteral(" (find ") + FilterField + QLatin1Char(')');
                }
            } else {
                ShowMessage(QStringLiteral("This action is only available for queries and tables"),
                            static_cast<int>(platform::MsgIcon::Exclamation),
                            QStringLiteral("Query Used By"));
            }
        }
        if (mCancel) {
            return false;  // the cancelled build has closed the window already
        }
        if (mTree->nodeCount() == 0) {
            ShowMessage(QStringLiteral("Nothing to show"), static_cast<int>(platform::MsgIcon::Information));
            return false;
        }
        mTree->setSelectedNode(0);
        tvQorvel_NodeClick(0);
        return true;
    });
    setMousePointer(host::mousePointerDefault);
    return shown;
}

bool frmQorvel::Qorvel() {
    QorvelItems top;
    std::shared_ptr<host::Database> database;
    std::unique_ptr<host::Recordset> sources;
    ClearBuildCaches();
    const bool done = ErrorBoundary(QStringLiteral("Qorvel"), kModule, [&] {
        database = CurrentDatabase();
        QString catalogueName = mObjectName;
        if (mObjectType == host::acForm) {
            catalogueName = QStringLiteral("~sq_f") + mObjectName;
        } else if (mObjectType == host::acReport) {
            catalogueName = QStringLiteral("~sq_r") + mObjectName;
        }
        sources = database->openRecordset(
            CatalogueStatement(catalogue::kQuerySourcesWithFlags, catalogueName), host::dbOpenSnapshot);
        if (sources->eof()) {
            // A record source that names a table or query directly has no hidden query.
            QString recordSource;
            if (mObjectType == host::acForm) {
                recordSource = FormRecordSource(mObjectName);
            } else if (mObjectType == host::acReport) {
                recordSource = ReportRecordSource(mObjectName);
            }
            top.addUnique(std::make_unique<CQorvelItem>(recordSource), recordSource);
        } else {
            for (; !sources->eof(); sources->moveNext()) {
                const QString name1 = sources->text(QStringLiteral("Name1"));
                if (!name1.isEmpty()) {
                    if (!StartsWith(name1, kClipboardQueryPrefix)) {
                        top.addUnique(std::make_unique<CQorvelItem>(name1), name1);
                    }
                    continue;
                }
                const QString expression = sources->text(QStringLiteral("Expression"));
                if (!expression.isEmpty()) {
                    QString temporaryName;
                    CreateTemporaryQuery(expression, database.get(), temporaryName);
                    if (!temporaryName.isEmpty()) {
                        AddQuerySources(temporaryName, top, *database);
                    }
                }
            }
        }
        QStringList path{catalogueName};
        BuildQorvel(top, *database, path);
        mTree->clear();
        mTreeText = BuildTreeView(top, platform::TreeControl::noNode, 1, 0);
    });
    CloseQuietly(sources);
    DeleteTemporaryQueries(database.get());
    ClearBuildCaches();
    return done;
}

void frmQorvel::AddQuerySources(const QString& queryName, QorvelItems& items, host::Database& database) {
    ErrorBoundary(QStringLiteral("AddQuerySources"), kModule, [&] {
        for (const QString& source : QuerySources(queryName, database)) {
            items.addUnique(std::make_unique<CQorvelItem>(source), source);
        }
    });
}

// The names a query reads, in catalogue order, with the sources of its subqueries (at any depth) in place
// of the subqueries.
const QStringList& frmQorvel::QuerySources(const QString& queryName, host::Database& database) {
    const QString key = queryName.toCaseFolded();
    if (const auto found = mQuerySources.constFind(key); found != mQuerySources.cend()) {
        return found.value();
    }
    QStringList names;
    std::unique_ptr<host::Recordset> rows = database.openRecordset(
        CatalogueStatement(catalogue::kQuerySourcesWithFlags, queryName), host::dbOpenSnapshot);
    for (; !rows->eof(); rows->moveNext()) {
        const QString name1 = rows->text(QStringLiteral("Name1"));
        if (!name1.isEmpty()) {
            names.append(name1);
            continue;
        }
        const QString expression = rows->text(QStringLiteral("Expression"));
        if (!expression.isEmpty()) {
            QString temporaryName;
            CreateTemporaryQuery(expression, &database, temporaryName);
            if (!temporaryName.isEmpty()) {
                names.append(QuerySources(temporaryName, database));
            }
        }
    }
    CloseQuietly(rows);
    return mQuerySources.insert(key, names).value();
}

void frmQorvel::BuildQorvel(QorvelItems& items, host::Database& database, QStringList& path) {
    ErrorBoundary(QStringLiteral("BuildQorvel"), kModule, [&] {
        // From the last, so that removing an item does not disturb the walk.
        for (int index = items.count() - 1; index >= 0; --index) {
            CQorvelItem& item = *items.at(index);
            const ObjectInfo info = Lookup(item.ItemName, database);
            if (info.isQuery) {
                // A query already on the way from the root is shown once more, but not followed again.
                if (!path.contains(item.ItemName, Qt::CaseInsensitive)) {
                    AddQuerySources(item.ItemName, item.Childs, database);
                    path.append(item.ItemName);
                    BuildQorvel(item.Childs, database, path);
                    path.removeLast();
                }
                item.ItemType = info.queryType;
                item.IconKey = QueryIconKey(info.queryType);
                if (mMode == ModeUsesFind && FieldFindMatches(item.ItemName, database)) {
                    item.SearchedItem = true;
                }
            } else if (info.isTable) {
                item.ItemType = -1;
                item.IconKey = kImageTable;
            } else {
                items.removeAt(index);
            }
            LetMessagesRun();
            if (mCancel) {
                return;
            }
        }
    });
}

QString frmQorvel::BuildTreeView(QorvelItems& items, int parentNode, int level, double share) {
    QString text;
    ErrorBoundary(QStringLiteral("BuildTreeView"), kModule, [&] {
        const double base = mProgressBar ? mProgressBar->CurrentValue() : 0;
        if (parentNode == platform::TreeControl::noNode) {
            text = mObjectName + kLineBreak;
            QString rootImage;
            switch (mObjectType) {
                case host::acQuery:
                    rootImage = QueryIconKey(CurrentDatabase()->queryDef(mObjectName)->type());
                    break;
                case host::acForm:
                    rootImage = kImageForm;
                    break;
                case host::acReport:
                    rootImage = kImageReport;
                    break;
                case host::acTable:
                    rootImage = kImageTable;
                    break;
            }
            parentNode = mTree->addNode(platform::TreeControl::noNode, mObjectName, rootImage);
            mTree->setExpanded(parentNode, true);
        }
        const int count = items.count();
        int position = 0;
        for (auto& entry : items) {
            ++position;
            CQorvelItem& item = *entry.item;
            if (!StartsWith(item.ItemName, kTemporaryQueryPrefix)) {
                if (StartsWith(item.ItemName, kHiddenQueryPrefix)) {
                    // Hidden queries of record and row sources are shown as their owners.
                    const QString prefix = item.ItemName.left(5).toLower();
                    if (prefix == QLatin1String("~sq_f") || prefix == QLatin1String("~sq_r")) {
                        item.IconKey = prefix.endsWith(QLatin1Char('f')) ? kImageForm : kImageReport;
                        item.ItemName = item.ItemName.mid(5);
                    } else if (prefix == QLatin1String("~sq_c") || prefix == QLatin1String("~sq_d")) {
                        const QStringList parts =
                            item.ItemName.split(prefix, Qt::KeepEmptyParts, Qt::CaseInsensitive);
                        item.IconKey = prefix.endsWith(QLatin1Char('c')) ? kImageForm : kImageReport;
                        if (parts.size() >= 3) {
                            item.ItemName = parts.at(1) + QLatin1Char('.') + parts.at(2);
                        }
                    }
                }
                const int node = mTree->addNode(parentNode, item.ItemName, item.IconKey);
                if (item.SearchedItem) {
                    mTree->setBold(node, true);
                }
                mTree->setExpanded(node, true);
                text += QString(4 * level, QLatin1Char(' ')) + item.ItemName +
                        (item.SearchedItem ? QStringLiteral(" (*)") : QString()) + kLineBreak;
                if (!item.Childs.isEmpty()) {
                    text += BuildTreeView(item.Childs, node, level + 1, share / count);
                }
            }
            LetMessagesRun();
            if (mCancel) {
                return;
            }
            if (mProgressBar) {
                mProgressBar->setCurrentValue(static_cast<float>(base + share * position / count));
            }
        }
    });
    return text;
}

bool frmQorvel::QueryUsedBy() {
    mProgressBar = CProgressBar::create(*mProgressWindows, mContext.services().forms);
    connect(mProgressBar.get(), &CProgressBar::Cancel, this, &frmQorvel::mProgressBar_Cancel);
    connect(mProgressBar.get(), &CProgressBar::ProgressBarClosed, this,
            &frmQorvel::mProgressBar_ProgressBarClosed);
    SetStatusLine(QStringLiteral("Enumerating Objects..."));
    mCancel = false;
    const double enumerationShare = mProgressBar->MaxValue() / 10;

    std::shared_ptr<host::Database> database;
    std::unique_ptr<host::Recordset> sources;
    QorvelItems top;
    ClearBuildCaches();
    bool result = false;
    ErrorBoundary(QStringLiteral("QueryUsedBy"), kModule, [&] {
        database = CurrentDatabase();
        // Temporary queries left by a build that was cut short would be taken for subqueries.
        DeleteTemporaryQueries(database.get());
        ExpressionToQuery(*database);
        if (mUsedByLookup == UsedByLookup::Snapshot) {
            sources = database->openRecordset(catalogue::kAllQuerySourcePairs, host::dbOpenSnapshot);
        }
        QStringList path{mObjectName};
        BuildQueryUsedBy(mObjectName, top, sources.get(), *database, enumerationShare, path);
        if (mCancel) {
            Close();
            return;
        }
        mTree->clear();
        if (mProgressBar) {
            SetStatusLine(QStringLiteral("Building the TreeView..."));
            const double share = mProgressBar->MaxValue() - mProgressBar->CurrentValue();
            mTreeText = BuildTreeView(top, platform::TreeControl::noNode, 1, share);
        }
        if (mCancel) {
            Close();
            return;
        }
        result = true;
    });
    CloseQuietly(sources);
    DeleteTemporaryQueries(database.get());
    ClearBuildCaches();
    if (mProgressBar) {
        const std::shared_ptr<CProgressBar> progressBar = std::exchange(mProgressBar, nullptr);
        progressBar->disconnect(this);
        progressBar->Dispose();
    }
    return result;
}

void frmQorvel::BuildQueryUsedBy(const QString& name, QorvelItems& items, host::Recordset* sources,
                                 host::Database& database, double share, QStringList& path) {
    std::unique_ptr<host::Recordset> users;
    ErrorBoundary(QStringLiteral("BuildQueryUsedBy"), kModule, [&] {
        const double base = mProgressBar ? mProgressBar->CurrentValue() : 0;
        if (mCancel) {
            return;
        }
        if (sources) {
            users = FilterRecordset(*sources, QStringLiteral("Name1"), name);
        } else {
            users = database.openRecordset(CatalogueStatement(kUsersOfName, name), host::dbOpenSnapshot);
        }
        if (!users) {
            return;
        }
        int count = 0;
        if (!(users->bof() && users->eof())) {
            users->moveLast();
            users->moveFirst();
            count = users->recordCount();
        }
        int position = 0;
        for (; !users->eof(); users->moveNext()) {
            ++position;
            QString user = users->text(QStringLiteral("Name"));
            if (!StartsWith(user, kClipboardQueryPrefix)) {
                if (StartsWith(user, kTemporaryQueryPrefix)) {
                    // A subquery is credited to the saved object it stands in.
                    user = mTempQueryOwners.value(user.toCaseFolded());
                }
                if (!user.isEmpty() && !CollectionHasKey(items, user)) {
                    auto item = std::make_unique<CQorvelItem>(user);
                    const ObjectInfo info = Lookup(user, database);
                    item->ItemType = info.queryType;
                    item->IconKey = QueryIconKey(info.queryType);
                    if (mMode == ModeUsedByFind && FieldFindMatches(user, database)) {
                        item->SearchedItem = true;
                    }
                    // Forms, reports and controls are leaves; a query already on the way from the root is
                    // shown once more, but not followed again.
                    if (!StartsWith(user, kHiddenQueryPrefix) && !path.contains(user, Qt::CaseInsensitive)) {
                        path.append(user);
                        BuildQueryUsedBy(user, item->Childs, sources, database, share / count, path);
                        path.removeLast();
                    }
                    items.add(std::move(item), user);
                }
            }
            LetMessagesRun();
            if (mCancel) {
                return;
            }
            if (mProgressBar) {
                mProgressBar->setCurrentValue(static_cast<float>(base + share * position / count));
            }
        }
    });
    CloseQuietly(users);
}

void frmQorvel::ExpressionToQuery(host::Database& database) {
    mTempQueryOwners.clear();
    std::unique_ptr<host::Recordset> rows;
    ErrorBoundary(QStringLiteral("ExpressionToQuery"), kModule, [&] {
        const auto aliasedSources = [this] {
            return Host().dCount(catalogue::kAliasedSourceCountExpression,
                                 catalogue::kAliasedSourceCountDomain,
                                 catalogue::kAliasedSourceCountCriteria);
        };
        const long before = aliasedSources();
        if (before == 0) {
            return;
        }
        rows = database.openRecordset(catalogue::kAllAliasedSources, host::dbOpenSnapshot);
        for (; !rows->eof(); rows->moveNext()) {
            const QString owner = rows->text(QStringLiteral("Name"));
            const QString subquery = SubqueryText(*rows);
            if (subquery.isEmpty()) {
                continue;
            }
            QString temporaryName;
            CreateTemporaryQuery(subquery, &database, temporaryName);
            mTempQueryOwners.insert(temporaryName.toCaseFolded(), owner);
        }
        if (aliasedSources() > before) {
            RepeatExpressionToQuery(database);
        }
    });
    CloseQuietly(rows);
}

// Resolves subqueries inside subqueries, level by level, until a pass makes no new temporary query; each is
// credited to the outermost saved object.
void frmQorvel::RepeatExpressionToQuery(host::Database& database) {
    std::unique_ptr<host::Recordset> rows;
    ErrorBoundary(QStringLiteral("RepeatExpressionToQuery"), kModule, [&] {
        QSet<QString> expanded;
        for (bool created = true; created;) {
            created = false;
            struct Subquery {
                QString owner;
                QString sql;
            };
            std::vector<Subquery> found;
            QSet<QString> seenThisPass;
            rows = database.openRecordset(catalogue::kTemporaryQuerySubquerySources, host::dbOpenSnapshot);
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
            CloseQuietly(rows);
            expanded.unite(seenThisPass);
            for (const Subquery& subquery : found) {
                QString temporaryName;
                CreateTemporaryQuery(subquery.sql, &database, temporaryName);
                mTempQueryOwners.insert(temporaryName.toCaseFolded(), subquery.owner);
                created = true;
            }
        }
    });
    CloseQuietly(rows);
}

std::unique_ptr<host::Recordset> frmQorvel::FilterRecordset(host::Recordset& sources,
                                                            const QString& fieldName, const QString& value) {
    sources.setFilter(FilterEquals(fieldName, value));
    return sources.openRecordset();
}

bool frmQorvel::ImageExists(const QString& key) const {
    return mTree->hasImage(key);
}

QString frmQorvel::QueryIconKey(int queryType) const {
    const QString key = QLatin1Char('q') + QString::number(queryType);
    return ImageExists(key) ? key : kDefaultQueryImage;
}

const frmQorvel::ObjectInfo& frmQorvel::Lookup(const QString& name, host::Database& database) {
    const QString key = name.toCaseFolded();
    if (const auto found = mObjectInfo.constFind(key); found != mObjectInfo.cend()) {
        return found.value();
    }
    ObjectInfo info;
    if (!name.isEmpty()) {
        info.isQuery = IsQuery(name, &database);
        if (info.isQuery) {
            info.queryType = database.queryDef(name)->type();
        } else {
            info.isTable = IsTable(name, &database);
        }
    }
    return mObjectInfo.insert(key, info).value();
}

bool frmQorvel::FieldFindMatches(const QString& queryName, host::Database& database) {
    return SQLFind(database.queryDef(queryName)->sql(), FilterField, FilterWholeWord, 0);
}

void frmQorvel::ClearBuildCaches() {
    mObjectInfo.clear();
    mQuerySources.clear();
}

void frmQorvel::LetMessagesRun() {
    if (platform::EventPump* events = mContext.services().events) {
        events->processPendingEvents();
    }
}

void frmQorvel::SetStatusLine(const QString& text) {
    if (mProgressBar) {
        mProgressBar->setLabelInfo(text);
        mProgressBar->UpdateLabelInfo();
    }
}

void frmQorvel::ShowMessage(const QString& text, int icon, const QString& title) {
    platform::showMessage(mContext.services(), text, static_cast<platform::MsgIcon>(icon), title);
}

void frmQorvel::mProgressBar_Cancel() {
    mCancel = true;
}

void frmQorvel::mProgressBar_ProgressBarClosed() {
    if (mProgressBar) {
        mProgressBar->disconnect(this);
        mProgressBar.reset();
    }
}

void frmQorvel::tvQorvel_NodeClick(int node) {
    mNodeClicked = true;
    if (node == platform::TreeControl::noNode || mTree->selectedNode() == platform::TreeControl::noNode) {
        return;
    }
    node = mTree->selectedNode();
    const QString image = mTree->imageKey(node);
    const bool objectWithoutData = image == kImageForm || image == kImageReport;
    const bool queryNode = !objectWithoutData && image != kImageTable;
    const QString name = mTree->text(node);
    mEditEnabled = queryNode && !IsQueryNew(host::acQuery, name) && !IsQueryDirty(host::acQuery, name);
    mOpenEnabled = !objectWithoutData;
}

void frmQorvel::tvQorvel_MouseDown() {
    mBlockExpand = false;
    mNodeClicked = false;
}

void frmQorvel::tvQorvel_KeyDown() {
    mBlockExpand = false;
}

bool frmQorvel::tvQorvel_MouseUp(bool rightButton, int nodeUnderPointer) {
    const int selected = mTree->selectedNode();
    const bool overSelected = selected != platform::TreeControl::noNode && nodeUnderPointer == selected;
    if (!rightButton) {
        if (overSelected) {
            mBlockExpand = true;
        }
        return false;
    }
    return overSelected;
}

void frmQorvel::tvQorvel_DblClick() {
    if (mNodeClicked && mTree->selectedNode() != platform::TreeControl::noNode) {
        OpenObject(host::acViewNormal);
    }
}

void frmQorvel::tbButtons_ButtonClick(const QString& key) {
    if (key == QLatin1String("Open")) {
        OpenObject(host::acViewNormal);
    } else if (key == QLatin1String("Design")) {
        OpenObject(host::acViewDesign);
    } else if (key == QLatin1String("Edit")) {
        OpenSQLEditor();
    }
}

QString frmQorvel::NodeDescription(int node) {
    if (node == platform::TreeControl::noNode) {
        return QString();
    }
    const QString tag = mTree->tag(node);
    if (!tag.isEmpty()) {
        return tag;
    }
    const QString image = mTree->imageKey(node);
    int objectType = -1;
    if (StartsWith(image, QStringLiteral("q"))) {
        objectType = host::acQuery;
    } else if (image == kImageTable) {
        objectType = host::acTable;
    } else if (image == kImageForm) {
        objectType = host::acForm;
    } else if (image == kImageReport) {
        objectType = host::acReport;
    }
    if (objectType == -1) {
        return QString();
    }
    const QString description = ObjectDescription(objectType, mTree->text(node));
    mTree->setTag(node, description);
    return description;
}

void frmQorvel::OpenObject(int view) {
    const int node = mTree->selectedNode();
    if (node == platform::TreeControl::noNode) {
        ShowMessage(QStringLiteral("Select object first!"), static_cast<int>(platform::MsgIcon::None));
        return;
    }
    ErrorBoundary(QStringLiteral("OpenObject"), kModule, [&] {
        const QString name = mTree->text(node);
        const QString image = mTree->imageKey(node);
        host::Application& application = Host();
        const auto openOrSay = [&](const QString& objectWord, const std::function<void()>& open) {
            try {
                open();
            } catch (const host::Error&) {
                // The name goes in last so that a name holding "{object}" is shown as it is.
                QString message = QStringLiteral("Can't open {object} '{name}', it contains errors.");
                message.replace(QStringLiteral("{object}"), objectWord)
                    .replace(QStringLiteral("{name}"), name);
                ShowMessage(message, static_cast<int>(platform::MsgIcon::Critical));
            }
        };
        if (IsQuery(name)) {
            openOrSay(QStringLiteral("query"), [&] {
                application.doCmd().openQuery(name, view, host::acEdit);
                if (view == host::acViewNormal) {
                    application.screen().activeDatasheetSetFocus();
                }
            });
        } else if (IsTable(name)) {
            openOrSay(QStringLiteral("table"), [&] {
                application.doCmd().openTable(name, view, host::acEdit);
                if (view == host::acViewNormal) {
                    application.screen().activeDatasheetSetFocus();
                }
            });
        } else if (image == kImageForm) {
            // A control's node reads Form.Control; forms always open in design view.
            openOrSay(QStringLiteral("form"), [&] {
                application.doCmd().openForm(name.section(QLatin1Char('.'), 0, 0), host::acViewDesign,
                                             QString(), QString(), host::acFormPropertySettings,
                                             host::acWindowNormal);
            });
        } else if (image == kImageReport) {
            openOrSay(QStringLiteral("report"), [&] {
                application.doCmd().openReport(name.section(QLatin1Char('.'), 0, 0), host::acViewDesign);
            });
        }
    });
}

void frmQorvel::OpenSQLEditor() {
    const int node = mTree->selectedNode();
    if (node == platform::TreeControl::noNode) {
        ShowMessage(QStringLiteral("Select object first!"), static_cast<int>(platform::MsgIcon::Exclamation));
        return;
    }
    ErrorBoundary(QStringLiteral("OpenSQLEditor"), kModule, [&] {
        const QString name = mTree->text(node);
        if (IsQuery(name)) {
            ShowQueryEditor(name, false);
        } else {
            ShowMessage(QStringLiteral("This action is only available for queries."),
                        static_cast<int>(platform::MsgIcon::Information));
        }
    });
}

void frmQorvel::Close() {
    if (mClosed) {
        return;
    }
    mClosed = true;
    Form_Unload();
    emit closed();
}

void frmQorvel::Form_Unload() {
    try {
        DeleteTemporaryQueries();
    } catch (...) {
    }
}
