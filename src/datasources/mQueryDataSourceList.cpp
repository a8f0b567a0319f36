#include "datasources/mQueryDataSourceList.h"

#include "catalogue/AccessApplication.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "datasources/DataSourceFields.h"
#include "support/ErrorBoundary.h"

#include <QScopeGuard>

#include <algorithm>

namespace {

const QString kModule = QStringLiteral("mQueryDataSourceList");

// Adds the source name of every data-source row of the query; a subquery source is followed through a
// temporary query made from its text.
void AddSourcesOf(const QString& queryName, KeyedCollection<QString>& names, host::Database* db) {
    std::unique_ptr<host::Recordset> rows = db->openRecordset(
        CatalogueStatement(catalogue::kQuerySourcesWithFlags, queryName), host::dbOpenSnapshot);
    const auto closer = qScopeGuard([&] { CloseQuietly(rows); });
    for (; !rows->eof(); rows->moveNext()) {
        const QString sourceName = rows->text(QStringLiteral("Name1"));
        const QString expression = rows->text(QStringLiteral("Expression"));
        if (!sourceName.isEmpty()) {
            names.addUnique(sourceName, sourceName);
        } else if (!expression.isEmpty()) {
            QString temporaryName;
            CreateTemporaryQuery(expression, db, temporaryName);
            if (!temporaryName.isEmpty()) {
                AddQuerySources(temporaryName, names, db);
            }
        }
    }
}

}  // namespace

std::unique_ptr<CV_QueryDataSource> rQueryDataSourceFieldList(const QString& queryName, bool analyze,
                                                              host::Database* database) {
    std::unique_ptr<CV_QueryDataSource> dataSource;
    std::shared_ptr<host::Database> holder;
    host::Database* db = nullptr;
    ErrorBoundary(QStringLiteral("rQueryDataSourceFieldList"), kModule, [&] {
        holder = UseDatabase(database);
        db = holder.get();
        KeyedCollection<QString> names;
        SourceTablesListGet(queryName, names, db);
        if (!names.isEmpty()) {
            dataSource = std::make_unique<CV_QueryDataSource>();
            for (const auto& entry : names) {
                dataSource->SourceNames.addUnique(entry.item, entry.item);
                GetTableFields(entry.item, *dataSource, db);
            }
            if (analyze) {
                dataSource->AnalyzeFields();
            }
        }
    });
    if (db) {
        DeleteTemporaryQueries(db);
    }
    return dataSource;
}

bool SourceTablesListGet(const QString& queryName, KeyedCollection<QString>& names,
                         host::Database* database) {
    return ErrorBoundary(QStringLiteral("SourceTablesListGet"), kModule, [&] {
        const std::shared_ptr<host::Database> holder = UseDatabase(database);
        host::Database* db = holder.get();
        AddSourcesOf(queryName, names, db);

        // The target of an append query, when such a table or query exists.
        std::unique_ptr<host::Recordset> rows = db->openRecordset(
            CatalogueStatement(catalogue::kQueryFurtherTables, queryName), host::dbOpenSnapshot);
        const auto closer = qScopeGuard([&] { CloseQuietly(rows); });
        for (; !rows->eof(); rows->moveNext()) {
            const QString name = rows->text(QStringLiteral("Name1"));
            if (!name.isEmpty() && (IsTable(name, db) || IsQuery(name, db))) {
                names.addUnique(name, name);
            }
        }
    });
}

bool SourceTablesListGet(const QString& queryName, std::unique_ptr<KeyedCollection<QString>>& names,
                         host::Database* database) {
    if (!names) {
        names = std::make_unique<KeyedCollection<QString>>();
    }
    return SourceTablesListGet(queryName, *names, database);
}

void AddQuerySources(const QString& queryName, KeyedCollection<QString>& names, host::Database* database) {
    ErrorBoundary(QStringLiteral("AddQuerySources"), kModule,
                  [&] { AddSourcesOf(queryName, names, UseDatabase(database).get()); });
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
