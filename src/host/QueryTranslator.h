// Turns the syntax tree of a statement in the host's dialect into SQLite SQL with the host's semantics:
// names resolved against the sources (saved queries followed through the catalogue and translated in
// turn), text compared without regard to case, the host's operators and functions, TOP with ties,
// parameters as numbered SQLite parameters. Private to src/host.
#pragma once

#include "host/jet/Parser.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace qdb {

// A parameter of a statement: its name as the host shows it, and its declared data access type code
// (0 when undeclared).
struct QueryParameter {
    QString name;
    int type = 0;
};

struct Translation {
    QString sql;
    QStringList columns;
    std::vector<QueryParameter> parameters;  // bound as ?1, ?2, ... in this order
};

// What the translator needs to know of the database.
class SourceCatalogue {
public:
    struct Source {
        QString name;  // as stored
        bool isQuery = false;
        QStringList fields;  // a table's fields
        QString sql;         // a saved query's text
    };
    virtual ~SourceCatalogue() = default;
    // The table or saved query of that name (any case).
    virtual std::optional<Source> source(const QString& name) = 0;
    // The column headings a crosstab used as a source finds: its headings query run now, with the
    // parameter values of the statement being translated.
    virtual std::vector<QVariant> crosstabHeadings(const Translation& headingsQuery) = 0;
};

class QueryTranslator {
public:
    explicit QueryTranslator(SourceCatalogue& catalogue);

    // A row-returning statement: select or union (a make-table's SELECT without its INTO).
    Translation translateSelect(const jet::StatementTree& tree);

    // A crosstab in two steps: the query of its column headings (one column, distinct values in the host's
    // order), then the crosstab itself for the headings found. With IN (...) the headings are given and
    // headingsQuery is not needed.
    Translation crosstabHeadingsQuery(const jet::StatementTree& tree);
    Translation translateCrosstab(const jet::StatementTree& tree, const std::vector<QVariant>& headings);

    // Action queries; each gives one SQLite statement. The target's fields are read from the catalogue.
    Translation translateAppend(const jet::StatementTree& tree, const QString& target);
    Translation translateUpdate(const jet::StatementTree& tree);
    Translation translateDelete(const jet::StatementTree& tree);

    // The column heading the host shows for a crosstab value.
    static QString headingText(const QVariant& value);

private:
    struct ScopeSource {
        QString name;
        QStringList columns;
        bool isTable = false;
    };
    struct Output {
        QString name;
        QString sql;
    };
    struct Scope {
        std::vector<ScopeSource> sources;
        const std::vector<Output>* outputs = nullptr;
        QSet<QString> referenced;           // folded names of the sources whose fields were read
        std::optional<QStringList> groups;  // a totals query: the SQL of its GROUP BY expressions
    };
    enum class Use { Value, Condition };

    void begin(const jet::StatementTree& tree);
    Translation finish(QString sql, QStringList columns);

    // Queries.
    QString queryNode(const jet::QueryNode& node, QStringList& columns);
    QString queryTerm(const jet::QueryTerm& term, QStringList& columns);
    QString select(const jet::SelectNode& node, const std::vector<jet::OrderItem>& orderBy,
                   QStringList& columns);
    QString selectBody(const jet::SelectNode& node, std::vector<Output>& outputs);
    QString fromClause(const std::vector<jet::FromNode>& items, Scope& scope);
    QString fromNode(const jet::FromNode& node, Scope& scope);
    QString savedQuery(const QString& name, QStringList& columns);
    QString crosstabHeadingsBody(const jet::StatementTree& tree);
    QString crosstabBody(const jet::StatementTree& tree, const std::vector<QVariant>& headings,
                         QStringList& columns);
    void checkGrouped(const jet::Expr& expr, const QStringList& groups);
    bool containsAggregate(const jet::Expr& expr) const;
    QString orderKey(const jet::Expr& expr, const std::vector<Output>& outputs);

    // Expressions.
    QString expression(const jet::Expr& expr, Use use);
    QString value(const jet::Expr& expr) { return expression(expr, Use::Value); }
    QString condition(const jet::Expr& expr) { return expression(expr, Use::Condition); }
    QString name(const jet::Expr& expr);
    QString call(const jet::Expr& expr);
    QString literal(const jet::Expr& expr);
    QString subquery(const jet::QueryNode& node, QStringList* columns = nullptr);
    QString parameter(const QString& name);
    bool isBoolean(const jet::Expr& expr) const;
    std::optional<QString> resolveField(const QString& field, const QString& qualifier);
    QString collation(const jet::Expr& left, const jet::Expr* right = nullptr);

    // Actions.
    QString targetTable(const QString& name, QStringList* fields);

    SourceCatalogue& mCatalogue;
    std::deque<Scope> mScopes;              // a deque: nested queries push scopes while outer ones are held
    QHash<QString, int> mDeclared;          // folded parameter name -> type
    QHash<QString, int> mParameterNumbers;  // folded parameter name -> 1-based number
    std::vector<QueryParameter> mParameters;
    QStringList mQueryPath;  // saved queries being translated, to find a circular reference
    int mNextExpression = 1000;
    std::optional<QString> mPivotFilter;  // while a crosstab cell is translated: the condition of its column
    int mHelperCount = 0;
    int mCrosstabDepth = 0;  // inside a crosstab every parameter must be declared
};

}  // namespace qdb
