// Runs statements of the host's dialect on the engine: parses them, has them translated to SQLite SQL,
// asks for parameter values, and runs row-returning, crosstab, action, make-table and data-definition
// queries. Private to src/host.
#pragma once

#include "host/QueryResult.h"
#include "host/QueryTranslator.h"

#include <QHash>

namespace qdb {

class QdbEngine;
class SqliteStatement;

class QueryRunner : public SourceCatalogue {
public:
    explicit QueryRunner(QdbEngine& engine);

    std::optional<Source> source(const QString& name) override;
    std::vector<QVariant> crosstabHeadings(const Translation& headingsQuery) override;

    // Runs the text. rowsOnly: refuse an action query (error 3219) before it changes anything. Without a
    // parameter callback a query with parameters fails with 3061, as a recordset does.
    QueryResult run(const QString& sql, const ParameterValues& parameters, const RunOptions& options,
                    bool rowsOnly = false);

private:
    std::optional<Source> privateTable(const QString& name);
    std::vector<QVariant> values(const std::vector<QueryParameter>& wanted);
    QueryResult rows(const Translation& translation);
    qint64 change(const Translation& translation);
    QueryResult makeTable(const jet::Query& query, const RunOptions& options);
    QueryResult crosstab(const jet::StatementTree& tree);
    QueryResult dataDefinition(const QString& sql);
    SqliteStatement prepare(const Translation& translation);

    QdbEngine& mEngine;
    ParameterValues mParameters;
    QHash<QString, QVariant> mAnswers;  // folded parameter name -> value given
};

}  // namespace qdb
