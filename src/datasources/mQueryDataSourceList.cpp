#include "datasources/mQueryDataSourceList.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "datasources/DataSourceFields.h"
#include "support/ErrorBoundary.h"

#include <QScopeGuard>

#include <algorithm>
#include <optional>

namespace {

const QString kModule = QStringLiteral("mQueryDataSourceList");

// Adds the source name of every data-source row of the query; a subquery source is followed through a
// temporary query made from its text.
void AddSourcesOf(AddinContext& context, const QString& queryName, KeyedCollection<QString>& names,
                  host::Database* db) {
    std::unique_ptr<host::Recordset> rows = db->openRecordset(
        CatalogueStatement(catalogue::kQuerySourcesWithFlags, queryName), host::RecordsetType::Snapshot);
    const auto closer = qScopeGuard([&] { CloseQuietly(rows); });
    for (; !rows->eof(); rows->moveNext()) {
        const QString sourceName = rows->text(QStringLiteral("Name1"));
        const QString expression = rows->text(QStringLiteral("Expression"));
        if (!sourceName.isEmpty()) {
            names.addUnique(sourceName, sourceName);
        } else if (!expression.isEmpty()) {
            QString temporaryName;
            CreateTemporaryQuery(context, expression, db, temporaryName);
            if (!temporaryName.isEmpty()) {
                AddQuerySources(context, temporaryName, names, db);
            }
        }
    }
}

}  // namespace

std::unique_ptr<CV_QueryDataSource> rQueryDataSourceFieldList(AddinContext& context, const QString& queryName,
                                                              bool analyze, host::Database* database) {
    std::unique_ptr<CV_QueryDataSource> dataSource;
    std::shared_ptr<host::Database> holder;
    // Declared before the boundary, so that a failure is reported before the temporary queries go.
    std::optional<TemporaryQueryScope> temporaries;
    ErrorBoundary(context.services(), QStringLiteral("rQueryDataSourceFieldList"), kModule, [&] {
        holder = UseDatabase(context, database);
        host::Database* db = holder.get();
        temporaries.emplace(context, db);
        KeyedCollection<QString> names;
        SourceTablesListGet(context, queryName, names, db);
        if (!names.isEmpty()) {
            dataSource = std::make_unique<CV_QueryDataSource>();
            for (const auto& entry : names) {
                dataSource->SourceNames.addUnique(entry.item, entry.item);
                GetTableFields(context, entry.item, *dataSource, db);
            }
            if (analyze) {
                dataSource->AnalyzeFields();
            }
        }
    });
    return dataSource;
}

bool SourceTablesListGet(AddinContext& context, const QString& queryName, KeyedCollection<QString>& names,
                         host::Database* database) {
    return ErrorBoundary(context.services(), QStringLiteral("SourceTablesListGet"), kModule, [&] {
        const std::shared_ptr<host::Database> holder = UseDatabase(context, database);
        host::Database* db = holder.get();
        AddSourcesOf(context, queryName, names, db);

        // The target of an append query, when such a table or query exists.
        std::unique_ptr<host::Recordset> rows = db->openRecordset(
            CatalogueStatement(catalogue::kQueryFurtherTables, queryName), host::RecordsetType::Snapshot);
        const auto closer = qScopeGuard([&] { CloseQuietly(rows); });
        for (; !rows->eof(); rows->moveNext()) {
            const QString name = rows->text(QStringLiteral("Name1"));
            if (!name.isEmpty() && (IsTable(context, name, db) || IsQuery(context, name, db))) {
                names.addUnique(name, name);
            }
        }
    });
}

void AddQuerySources(AddinContext& context, const QString& queryName, KeyedCollection<QString>& names,
                     host::Database* database) {
    ErrorBoundary(context.services(), QStringLiteral("AddQuerySources"), kModule,
                  [&] { AddSourcesOf(context, queryName, names, UseDatabase(context, database).get()); });
}

bool rIsNotReservedWord(const QString& text, int position) {
    for (qsizetype at = std::max(position, 1) - 1; at < text.size(); ++at) {
        if (text.at(at) == QLatin1Char(']')) {
            return true;
        }
        if (text.at(at) == QLatin1Char('[')) {
            return false;
        }
    }
    return false;
}
