#include "datasources/DataSourceFields.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "support/ErrorBoundary.h"

#include <QScopeGuard>
#include <QSet>

namespace {

const QString kModule = QStringLiteral("mMain");

// Square brackets removed at both ends of a name part, as catalogue expressions write them.
QString Unbracket(const QString& part) {
    return TrimChars(TrimChars(part, QStringLiteral("["), 1), QStringLiteral("]"), 1);
}

void AddFieldOnce(CV_QueryDataSource& dataSource, const QString& sourceName, CV_QueryDataSourceField field) {
    const QString key = CV_QueryDataSource::FieldKey(sourceName, field.Name);
    dataSource.Fields.addUnique(std::move(field), key);
}

bool AddTableFields(AddinContext& context, const QString& name, CV_QueryDataSource& dataSource,
                    host::Database* database, QSet<QString>& namesInProgress) {
    const QString folded = name.toCaseFolded();
    if (namesInProgress.contains(folded)) {
        return true;
    }
    namesInProgress.insert(folded);
    const auto leave = qScopeGuard([&] { namesInProgress.remove(folded); });

    std::unique_ptr<host::Recordset> columns;
    std::unique_ptr<host::Recordset> sources;
    const bool done = ErrorBoundary(context.services(), QStringLiteral("GetTableFields"), kModule, [&] {
        const std::shared_ptr<host::Database> db = UseDatabase(context, database);

        // A table is read with one lookup; only a name that is no table is looked for among the queries.
        std::shared_ptr<host::TableDef> table;
        try {
            table = db->tableDef(name);
        } catch (const host::Error& error) {
            if (error.number() != host::errItemNotFound) {
                throw;
            }
        }
        if (table) {
            for (const QString& fieldName : table->fieldNames()) {
                CV_QueryDataSourceField field;
                field.Name = fieldName;
                field.TableName = name;
                AddFieldOnce(dataSource, name, std::move(field));
            }
            return;
        }
        if (!IsQuery(context, name, db.get())) {
            return;
        }
        columns = db->openRecordset(CatalogueStatement(catalogue::kQueryColumns, name), host::dbOpenSnapshot);
        sources = db->openRecordset(CatalogueStatement(catalogue::kQuerySources, name), host::dbOpenSnapshot);

        // Follows a subquery source through a temporary query made from its text.
        const auto addSubqueryFields = [&](const QString& subquerySql) {
            QString temporaryName;
            CreateTemporaryQuery(context, subquerySql, db.get(), temporaryName);
            if (!temporaryName.isEmpty()) {
                AddTableFields(context, temporaryName, dataSource, db.get(), namesInProgress);
            }
        };

        const bool hasColumns = !columns->eof();
        for (; !columns->eof(); columns->moveNext()) {
            const QString alias = columns->text(QStringLiteral("Name1"));
            const QString expression = columns->text(QStringLiteral("Expression"));
            if (!alias.isEmpty()) {
                CV_QueryDataSourceField field;
                field.Name = alias;
                AddFieldOnce(dataSource, name, std::move(field));
            } else if (expression.isEmpty()) {
                continue;
            } else if (!expression.endsWith(QLatin1Char('*'))) {
                if (!expression.contains(QLatin1Char('.'))) {
                    continue;  // a bare field name says nothing about its source
                }
                const QStringList pieces = expression.split(QLatin1Char('.'));
                CV_QueryDataSourceField field;
                field.Name = Unbracket(pieces.at(1));
                field.TableName = Unbracket(pieces.at(0));
                AddFieldOnce(dataSource, name, std::move(field));
            } else {
                const int lastDot = expression.lastIndexOf(QLatin1Char('.'));
                if (lastDot < 0) {
                    RaiseInvalidArgument();  // a star without a qualifier cannot be followed
                }
                const QString qualifier = Unbracket(expression.left(lastDot));
                if (!sources->bof() || !sources->eof()) {
                    sources->moveFirst();
                }
                for (; !sources->eof(); sources->moveNext()) {
                    const QString sourceName = sources->text(QStringLiteral("Name1"));
                    const QString sourceAlias = sources->text(QStringLiteral("Name2"));
                    if (sourceName.compare(qualifier, Qt::CaseInsensitive) == 0) {
                        AddTableFields(context, sourceName, dataSource, db.get(), namesInProgress);
                        break;
                    }
                    if (sourceAlias.compare(qualifier, Qt::CaseInsensitive) == 0) {
                        const QString subquerySql = sources->text(QStringLiteral("Expression"));
                        if (sources->isNull(QStringLiteral("Name1")) && !subquerySql.isEmpty()) {
                            addSubqueryFields(subquerySql);
                        }
                        break;
                    }
                }
            }
        }

        if (!hasColumns) {
            // A query that outputs every field of its sources: its first named source, or the first part
            // of a union.
            for (; !sources->eof(); sources->moveNext()) {
                const QString sourceName = sources->text(QStringLiteral("Name1"));
                const QString subquerySql = sources->text(QStringLiteral("Expression"));
                if (!sourceName.isEmpty()) {
                    AddTableFields(context, sourceName, dataSource, db.get(), namesInProgress);
                    break;
                }
                if (sources->text(QStringLiteral("Name2")).endsWith(QLatin1Char('1')) &&
                    !subquerySql.isEmpty()) {
                    addSubqueryFields(subquerySql);
                    break;
                }
            }
        }
    });
    CloseQuietly(columns);
    CloseQuietly(sources);
    return done;
}

}  // namespace

bool GetTableFields(AddinContext& context, const QString& name, CV_QueryDataSource& dataSource,
                    host::Database* database) {
    // The engine lets a query name itself (or a query that names it) as a source; such a cycle is followed
    // once, not until the stack runs out.
    QSet<QString> namesInProgress;
    return AddTableFields(context, name, dataSource, database, namesInProgress);
}

bool DataSourceFieldNames(AddinContext& context, const CV_QueryDataSource* dataSource, host::QueryDef* query,
                          QStringList& names) {
    if (!dataSource) {
        return false;
    }
    KeyedCollection<QString> list;
    for (const auto& entry : dataSource->Fields) {
        list.addUnique(entry.item.Name, entry.item.Name);
    }
    for (const auto& entry : dataSource->SourceNames) {
        list.addUnique(entry.item, entry.item);
    }
    if (query) {
        try {
            AddAliases(context, query->name(), list);
        } catch (...) {
            // the query definition could not be read: its aliases are left out
        }
    }
    if (!list.isEmpty()) {
        names.clear();
        for (const auto& entry : list) {
            names.append(entry.item);
        }
    }
    return true;
}

std::unique_ptr<CV_QueryDataSource> TableDataSource(const AddinContext& context, const QString& tableName,
                                                    host::Database* database) {
    try {
        const std::shared_ptr<host::Database> db = UseDatabase(context, database);
        auto dataSource = std::make_unique<CV_QueryDataSource>();
        dataSource->SourceNames.addUnique(tableName, tableName);
        for (const QString& fieldName : db->tableDef(tableName)->fieldNames()) {
            CV_QueryDataSourceField field;
            field.Name = fieldName;
            AddFieldOnce(*dataSource, tableName, std::move(field));
        }
        return dataSource;
    } catch (...) {
        return nullptr;
    }
}
