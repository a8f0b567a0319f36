#include "host/QueryTranslator.h"

#include "host/HostErrors.h"
#include "host/HostFunctions.h"
#include "host/HostText.h"
#include "host/SqliteConnection.h"

#include <QSet>

namespace qdb {

namespace {

using jet::Expr;

const QString kCollate = QStringLiteral(" COLLATE HOSTTEXT");

QString quote(const QString& name) {
    return SqliteConnection::quote(name);
}

QString textLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString folded(const QString& name) {
    return foldCase(name);
}

[[noreturn]] void failInputTable(const QString& name) {
    throw host::Error(
        errInputTableNotFound,
        QStringLiteral("The Microsoft Access database engine cannot find the input table or "
                       "query '%1'. Make sure it exists and that its name is spelled correctly.")
            .arg(name),
        kSourceDatabase);
}

bool isComparison(const QString& op) {
    return op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<=" || op == u">=";
}

// The host's constants, when no field has their name.
std::optional<QString> constant(const QString& name) {
    static const QHash<QString, QString> constants = {
        {QStringLiteral("true"), QStringLiteral("-1")}, {QStringLiteral("false"), QStringLiteral("0")},
        {QStringLiteral("yes"), QStringLiteral("-1")},  {QStringLiteral("no"), QStringLiteral("0")},
        {QStringLiteral("on"), QStringLiteral("-1")},   {QStringLiteral("off"), QStringLiteral("0")},
    };
    const auto found = constants.constFind(name.toLower());
    if (found == constants.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

// A parameter's name as written in PARAMETERS or in the text: brackets taken off each part.
QString parameterKey(const QString& name) {
    QString key = name;
    key.remove(QLatin1Char('['));
    key.remove(QLatin1Char(']'));
    return folded(key);
}

}  // namespace

QueryTranslator::QueryTranslator(SourceCatalogue& catalogue) : mCatalogue(catalogue) {}

void QueryTranslator::begin(const jet::StatementTree& tree) {
    mScopes.clear();
    mDeclared.clear();
    mParameterNumbers.clear();
    mParameters.clear();
    mNextExpression = 1000;
    mCrosstabDepth = 0;
    mHelperCount = 0;
    mPivotFilter.reset();
    for (const jet::ParameterDecl& declared : tree.parameters) {
        mDeclared.insert(parameterKey(declared.name), declared.type);
        // Declared parameters are asked for in the order declared, used or not.
        parameter(declared.name);
    }
}

Translation QueryTranslator::finish(QString sql, QStringList columns) {
    return {std::move(sql), std::move(columns), mParameters};
}

Translation QueryTranslator::translateSelect(const jet::StatementTree& tree) {
    begin(tree);
    QStringList columns;
    QString sql = queryNode(tree.query, columns);
    return finish(std::move(sql), std::move(columns));
}

// --- Queries ---------------------------------------------------------------------------------------------

QString QueryTranslator::queryNode(const jet::QueryNode& node, QStringList& columns) {
    if (node.terms.size() == 1) {
        const jet::QueryTerm& term = node.terms.front();
        if (term.select) {
            return select(*term.select, node.orderBy, columns);
        }
        QString sql = queryTerm(term, columns);
        if (!node.orderBy.empty()) {
            std::vector<Output> outputs;
            for (const QString& column : columns) {
                outputs.push_back({column, quote(column)});
            }
            QStringList keys;
            for (const jet::OrderItem& item : node.orderBy) {
                keys << orderKey(item.expr, outputs) +
                            (item.descending ? QStringLiteral(" DESC") : QString());
            }
            sql = QStringLiteral("SELECT * FROM (%1) ORDER BY %2").arg(sql, keys.join(QStringLiteral(", ")));
        }
        return sql;
    }
    // A union: each part stands alone as a subquery, so that its own ORDER BY or TOP keeps its meaning.
    QStringList parts;
    for (size_t i = 0; i < node.terms.size(); ++i) {
        QStringList partColumns;
        QString part = queryTerm(node.terms[i], partColumns);
        if (i == 0) {
            columns = partColumns;
        } else if (partColumns.size() != columns.size()) {
            throw host::Error(3307,
                              QStringLiteral("The number of columns in the two selected tables or queries of "
                                             "a union query do not match."),
                              kSourceDatabase);
        }
        QStringList renamed;
        for (qsizetype c = 0; c < partColumns.size(); ++c) {
            renamed << quote(partColumns[c]) + QStringLiteral(" AS ") + quote(columns[c]);
        }
        parts << QStringLiteral("SELECT %1 FROM (%2)").arg(renamed.join(QStringLiteral(", ")), part);
    }
    // UNION drops duplicates as the host compares text. SQLite's UNION would compare with the first
    // part's collation (none for a computed column), so the parts are joined with UNION ALL and grouped.
    // The parts stay plain column lists, so that the columns keep the field types of their origin.
    QStringList groupKeys;
    for (const QString& column : columns) {
        groupKeys << quote(column) + kCollate;
    }
    QString sql = parts.front();
    for (size_t i = 1; i < node.terms.size(); ++i) {
        sql += QStringLiteral(" UNION ALL ") + parts[qsizetype(i)];
        if (!node.all[i - 1]) {
            sql = QStringLiteral("SELECT * FROM (%1) GROUP BY %2")
                      .arg(sql, groupKeys.join(QStringLiteral(", ")));
        }
    }
    if (!node.orderBy.empty()) {
        std::vector<Output> outputs;
        for (const QString& column : columns) {
            outputs.push_back({column, quote(column)});
        }
        QStringList keys;
        for (const jet::OrderItem& item : node.orderBy) {
            keys << orderKey(item.expr, outputs) + kCollate +
                        (item.descending ? QStringLiteral(" DESC") : QString());
        }
        sql = QStringLiteral("SELECT * FROM (%1) ORDER BY %2").arg(sql, keys.join(QStringLiteral(", ")));
    }
    return sql;
}

QString QueryTranslator::queryTerm(const jet::QueryTerm& term, QStringList& columns) {
    if (term.select) {
        return select(*term.select, {}, columns);
    }
    if (term.nested) {
        return queryNode(*term.nested, columns);
    }
    // TABLE name: every field of a table or query.
    jet::SelectNode all;
    all.items.push_back({Expr(Expr::Kind::Star), {}, true});
    jet::FromNode from;
    from.name = term.table;
    all.from.push_back(from);
    return select(all, {}, columns);
}

// The key of an ORDER BY item: a position, an output column's alias, or an expression.
QString QueryTranslator::orderKey(const jet::Expr& expr, const std::vector<Output>& outputs) {
    if (expr.kind == Expr::Kind::Literal && expr.token == jet::TokenKind::Number) {
        bool ok = false;
        const int position = expr.text.toInt(&ok);
        if (!ok || position < 1 || size_t(position) > outputs.size()) {
            throw host::Error(
                3075, QStringLiteral("The ORDER BY position %1 is not a column of the query.").arg(expr.text),
                kSourceDatabase);
        }
        return outputs[size_t(position - 1)].sql;
    }
    if (expr.kind == Expr::Kind::Name && expr.parts.size() == 1 && !resolveField(expr.parts[0], {})) {
        for (const Output& output : outputs) {
            if (compareText(output.name, expr.parts[0]) == 0) {
                return output.sql;
            }
        }
    }
    return value(expr);
}

QString QueryTranslator::select(const jet::SelectNode& node, const std::vector<jet::OrderItem>& orderBy,
                                QStringList& columns) {
    mScopes.emplace_back();
    std::vector<Output> outputs;
    QString body = selectBody(node, outputs);
    for (const Output& output : outputs) {
        columns << output.name;
    }
    mScopes.back().outputs = &outputs;
    QStringList keys;
    QStringList plainKeys;
    for (const jet::OrderItem& item : orderBy) {
        const QString key = orderKey(item.expr, outputs) + kCollate;
        if (mScopes.back().groups && key == value(item.expr) + kCollate) {
            // Neither a position nor an alias: an expression, which must be grouped or aggregated.
            checkGrouped(item.expr, *mScopes.back().groups);
        }
        plainKeys << key;
        keys << key + (item.descending ? QStringLiteral(" DESC") : QString());
    }
    QString sql;
    if (node.top.isEmpty()) {
        sql = body;
        if (!keys.isEmpty()) {
            sql += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
        }
    } else {
        // TOP keeps every row that ties with the last one on the ORDER BY keys; the keys travel as hidden
        // columns to a window over the rows.
        QStringList hidden;
        QStringList windowKeys;
        for (qsizetype i = 0; i < plainKeys.size(); ++i) {
            const QString key = QStringLiteral("\"__k%1\"").arg(i + 1);
            hidden << plainKeys[i].chopped(kCollate.size()) + QStringLiteral(" AS ") + key;
            windowKeys << key + kCollate +
                              (orderBy[size_t(i)].descending ? QStringLiteral(" DESC") : QString());
        }
        QString inner = body;
        if (!hidden.isEmpty()) {
            const QString marker = QStringLiteral("\x01FROM\x01");
            // The hidden keys join the select list at the place of FROM.
            inner.replace(marker, QStringLiteral(", ") + hidden.join(QStringLiteral(", ")) + marker);
        }
        QStringList outputNames;
        for (const Output& output : outputs) {
            outputNames << quote(output.name);
        }
        const QString order = windowKeys.isEmpty()
                                  ? QString()
                                  : QStringLiteral("ORDER BY ") + windowKeys.join(QStringLiteral(", "));
        const QString n = node.top;
        const QString limit =
            node.percent
                ? QStringLiteral("(%1 - 1) * 100 < \"__count\" * %2")
                      .arg(windowKeys.isEmpty() ? QStringLiteral("\"__row\"") : QStringLiteral("\"__rank\""),
                           n)
                : QStringLiteral("%1 <= %2")
                      .arg(windowKeys.isEmpty() ? QStringLiteral("\"__row\"") : QStringLiteral("\"__rank\""),
                           n);
        sql = QStringLiteral(
                  "SELECT %1 FROM (SELECT *, rank() OVER (%2) AS \"__rank\", row_number() OVER (%2) AS "
                  "\"__row\", count(*) OVER () AS \"__count\" FROM (%3)) WHERE %4 ORDER BY \"__row\"")
                  .arg(outputNames.join(QStringLiteral(", ")), order, inner, limit);
    }
    sql.remove(QStringLiteral("\x01FROM\x01"));
    sql.replace(QStringLiteral("\x01"), QString());
    mScopes.pop_back();
    return sql;
}

// SELECT ... FROM ... WHERE ... GROUP BY ... HAVING ..., without ORDER BY. The place of FROM is marked, so
// that TOP can add columns there.
QString QueryTranslator::selectBody(const jet::SelectNode& node, std::vector<Output>& outputs) {
    Scope& scope = mScopes.back();
    const QString from = node.from.empty() ? QString() : fromClause(node.from, scope);
    // Output names: the alias, or the field a plain reference names, or ExprNNNN.
    QStringList items;
    QHash<QString, int> nameCounts;
    struct Pending {
        QString sql;
        QString name;
        QString qualified;
    };
    std::vector<Pending> pending;
    scope.referenced.clear();
    for (const jet::SelectItem& item : node.items) {
        if (item.star || item.expr.kind == Expr::Kind::Star) {
            const QString qualifier = item.star ? QString() : item.expr.parts.value(0);
            bool found = qualifier.isEmpty();
            for (const ScopeSource& source : scope.sources) {
                if (!qualifier.isEmpty() && compareText(source.name, qualifier) != 0) {
                    continue;
                }
                found = true;
                scope.referenced.insert(folded(source.name));
                for (const QString& column : source.columns) {
                    pending.push_back(
                        {quote(source.name) + u'.' + quote(column), column, source.name + u'.' + column});
                }
            }
            if (!found) {
                failInputTable(qualifier);
            }
            continue;
        }
        Pending output{value(item.expr), item.alias, {}};
        if (output.name.isEmpty()) {
            if (item.expr.kind == Expr::Kind::Name && item.expr.parts.size() <= 2 &&
                resolveField(item.expr.parts.back(),
                             item.expr.parts.size() == 2 ? item.expr.parts[0] : QString())) {
                output.name = item.expr.parts.back();
                output.qualified = item.expr.parts.join(u'.');
            } else {
                output.name = QStringLiteral("Expr%1").arg(mNextExpression++);
            }
        }
        pending.push_back(std::move(output));
    }
    const QSet<QString> shown = scope.referenced;
    for (const Pending& item : pending) {
        ++nameCounts[folded(item.name)];
    }
    for (Pending& item : pending) {
        // Two columns of one name are told apart by their sources, as the host names them.
        if (nameCounts.value(folded(item.name)) > 1 && !item.qualified.isEmpty()) {
            item.name = item.qualified;
        }
        outputs.push_back({item.name, item.sql});
        items << item.sql + QStringLiteral(" AS ") + quote(item.name);
    }
    if (items.isEmpty()) {
        throw host::Error(3075, QStringLiteral("The query has no output fields."), kSourceDatabase);
    }
    bool totals = !node.groupBy.empty() || node.having.has_value();
    for (const jet::SelectItem& item : node.items) {
        totals = totals || (!item.star && containsAggregate(item.expr));
    }
    // DISTINCTROW keeps one row per combination of rows of the tables whose fields are shown; it changes
    // nothing when every table is shown, or a source is no table.
    QStringList distinctRows;
    if (node.distinctRow && !node.distinct && !totals) {
        bool allTables = true;
        for (const ScopeSource& source : scope.sources) {
            if (shown.contains(folded(source.name))) {
                allTables = allTables && source.isTable;
                distinctRows << quote(source.name) + QStringLiteral(".rowid");
            }
        }
        if (!allTables || distinctRows.size() == qsizetype(scope.sources.size())) {
            distinctRows.clear();
        }
    }
    QString sql = QStringLiteral("SELECT ");
    if (node.distinct) {
        sql += QStringLiteral("DISTINCT ");
    }
    sql += items.join(QStringLiteral(", "));
    sql += QStringLiteral("\x01FROM\x01");
    if (!from.isEmpty()) {
        sql += QStringLiteral(" FROM ") + from;
    }
    if (node.where) {
        sql += QStringLiteral(" WHERE ") + condition(*node.where);
    }
    QStringList groups;
    QStringList groupKeys;
    for (const Expr& group : node.groupBy) {
        groups << value(group);
        groupKeys << groups.back() + collation(group);
    }
    if (!groups.isEmpty()) {
        sql += QStringLiteral(" GROUP BY ") + groupKeys.join(QStringLiteral(", "));
    } else if (!distinctRows.isEmpty()) {
        sql += QStringLiteral(" GROUP BY ") + distinctRows.join(QStringLiteral(", "));
    }
    if (node.having) {
        sql += QStringLiteral(" HAVING ") + condition(*node.having);
    }
    if (totals) {
        scope.groups = groups;
        for (const jet::SelectItem& item : node.items) {
            // The parser has refused * in a totals query already.
            checkGrouped(item.expr, groups);
        }
        if (node.having) {
            checkGrouped(*node.having, groups);
        }
    }
    return sql;
}

bool QueryTranslator::containsAggregate(const jet::Expr& expr) const {
    if (expr.kind == Expr::Kind::Call) {
        const auto function = hostFunction(expr.op);
        if (function && function->aggregate) {
            return true;
        }
    }
    // A subquery's aggregates are its own.
    for (const Expr& operand : expr.operands) {
        if (containsAggregate(operand)) {
            return true;
        }
    }
    return false;
}

// In a totals query every field shown must be grouped on or inside an aggregate, as the host requires.
void QueryTranslator::checkGrouped(const jet::Expr& expr, const QStringList& groups) {
    if (expr.kind == Expr::Kind::Subquery || expr.kind == Expr::Kind::Exists || expr.query) {
        return;
    }
    if (expr.kind == Expr::Kind::Call) {
        const auto function = hostFunction(expr.op);
        if (function && function->aggregate) {
            return;
        }
    }
    // Translating again must not change the names the query has handed out.
    const int nextExpression = mNextExpression;
    const int helperCount = mHelperCount;
    const bool grouped = groups.contains(value(expr));
    mNextExpression = nextExpression;
    mHelperCount = helperCount;
    if (grouped) {
        return;
    }
    if (expr.kind == Expr::Kind::Name && expr.parts.size() <= 2 && !expr.bang) {
        const QString qualifier = expr.parts.size() == 2 ? expr.parts[0] : QString();
        for (const ScopeSource& source : mScopes.back().sources) {
            if (!qualifier.isEmpty() && compareText(source.name, qualifier) != 0) {
                continue;
            }
            for (const QString& column : source.columns) {
                if (compareText(column, expr.parts.back()) == 0) {
                    throw host::Error(3122,
                                      QStringLiteral("Your query does not include the specified expression "
                                                     "'%1' as part of an aggregate function.")
                                          .arg(expr.parts.join(u'.')),
                                      kSourceDatabase);
                }
            }
        }
        return;
    }
    for (const Expr& operand : expr.operands) {
        checkGrouped(operand, groups);
    }
}

QString QueryTranslator::fromClause(const std::vector<jet::FromNode>& items, Scope& scope) {
    QStringList parts;
    for (const jet::FromNode& item : items) {
        parts << fromNode(item, scope);
    }
    return parts.join(QStringLiteral(", "));
}

QString QueryTranslator::fromNode(const jet::FromNode& node, Scope& scope) {
    switch (node.kind) {
        case jet::FromNode::Kind::Join: {
            const QString left = fromNode(*node.left, scope);
            QString right = fromNode(*node.right, scope);
            if (node.right->kind == jet::FromNode::Kind::Join) {
                right = QLatin1Char('(') + right + QLatin1Char(')');
            }
            const QString kind = node.join == 2   ? QStringLiteral(" LEFT JOIN ")
                                 : node.join == 3 ? QStringLiteral(" RIGHT JOIN ")
                                                  : QStringLiteral(" INNER JOIN ");
            return left + kind + right + QStringLiteral(" ON ") + condition(*node.on);
        }
        case jet::FromNode::Kind::Derived: {
            QStringList columns;
            const QString sql = subquery(*node.query, &columns);
            scope.sources.push_back({node.alias, columns, false});
            return sql + QStringLiteral(" AS ") + quote(node.alias);
        }
        case jet::FromNode::Kind::Table:
            break;
    }
    if (node.external) {
        throw host::Error(3024, QStringLiteral("Could not find file '%1'.").arg(node.name), kSourceDatabase);
    }
    const auto source = mCatalogue.source(node.name);
    if (!source) {
        failInputTable(node.name);
    }
    const QString alias = node.alias.isEmpty() ? source->name : node.alias;
    if (!source->isQuery) {
        scope.sources.push_back({alias, source->fields, true});
        return quote(source->name) + QStringLiteral(" AS ") + quote(alias);
    }
    QStringList columns;
    const QString sql = savedQuery(source->name, columns);
    scope.sources.push_back({alias, columns, false});
    return QLatin1Char('(') + sql + QStringLiteral(") AS ") + quote(alias);
}

// A saved query used as a source: its own text parsed and translated in its own scope.
QString QueryTranslator::savedQuery(const QString& name, QStringList& columns) {
    for (const QString& open : mQueryPath) {
        if (compareText(open, name) == 0) {
            throw host::Error(3103, QStringLiteral("Circular reference caused by '%1'.").arg(name),
                              kSourceDatabase);
        }
    }
    const auto source = mCatalogue.source(name);
    jet::Query parsed = jet::Parser(source->sql).parse();
    const bool crosstab = parsed.kind == jet::StatementKind::Crosstab;
    if (parsed.kind != jet::StatementKind::Select && parsed.kind != jet::StatementKind::Union && !crosstab) {
        throw host::Error(3129,
                          QStringLiteral("The query '%1' cannot be used as a source: it is not a select "
                                         "query.")
                              .arg(name),
                          kSourceDatabase);
    }
    for (const jet::ParameterDecl& declared : parsed.tree->parameters) {
        mDeclared.insert(parameterKey(declared.name), declared.type);
    }
    mQueryPath << name;
    std::vector<QVariant> headings;
    if (crosstab && parsed.tree->pivotIn.empty()) {
        // Its columns depend on the data: the headings are found before the statement using it runs.
        QueryTranslator headingsTranslator(mCatalogue);
        headingsTranslator.mQueryPath = mQueryPath;
        headings = mCatalogue.crosstabHeadings(headingsTranslator.crosstabHeadingsQuery(*parsed.tree));
    }
    // A saved query sees none of the scopes it is used in.
    std::deque<Scope> outer;
    std::swap(outer, mScopes);
    QString sql =
        crosstab ? crosstabBody(*parsed.tree, headings, columns) : queryNode(parsed.tree->query, columns);
    std::swap(outer, mScopes);
    mQueryPath.removeLast();
    return sql;
}

QString QueryTranslator::subquery(const jet::QueryNode& node, QStringList* columns) {
    QStringList found;
    QString sql = queryNode(node, found);
    if (columns) {
        *columns = found;
    }
    return QLatin1Char('(') + sql + QLatin1Char(')');
}

// --- Names -----------------------------------------------------------------------------------------------

// The SQL of a field visible from the innermost scope outwards: "source"."field". Fails with 3079 when
// the field is in two sources of one scope and not qualified.
std::optional<QString> QueryTranslator::resolveField(const QString& field, const QString& qualifier) {
    for (auto scope = mScopes.rbegin(); scope != mScopes.rend(); ++scope) {
        std::optional<QString> found;
        for (const ScopeSource& source : scope->sources) {
            if (!qualifier.isEmpty() && compareText(source.name, qualifier) != 0) {
                continue;
            }
            // The engine's own statements read a table's rowid, the order its rows were written in.
            if (source.isTable && (!qualifier.isEmpty() || scope->sources.size() == 1) &&
                field.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0 &&
                !source.columns.contains(field, Qt::CaseInsensitive)) {
                found = quote(source.name) + QStringLiteral(".rowid");
                continue;
            }
            for (const QString& column : source.columns) {
                if (compareText(column, field) == 0) {
                    if (found) {
                        throw host::Error(3079,
                                          QStringLiteral("The specified field '%1' could refer to more than "
                                                         "one table listed in the FROM clause of your SQL "
                                                         "statement.")
                                              .arg(field),
                                          kSourceDatabase);
                    }
                    found = quote(source.name) + u'.' + quote(column);
                    scope->referenced.insert(folded(source.name));
                    break;
                }
            }
        }
        if (found) {
            return found;
        }
    }
    return std::nullopt;
}

// A field of a table compares with the collation it was declared with: the host's for text, and an
// explicit one would keep SQLite from indexing a join on it. Anything else is given the host's.
QString QueryTranslator::collation(const jet::Expr& left, const jet::Expr* right) {
    const auto isTableField = [&](const jet::Expr& expr) {
        if (expr.kind != Expr::Kind::Name || expr.parts.size() > 2 || expr.bang ||
            mDeclared.contains(parameterKey(expr.parts.join(u'.')))) {
            return false;
        }
        const QString qualifier = expr.parts.size() == 2 ? expr.parts[0] : QString();
        for (auto scope = mScopes.rbegin(); scope != mScopes.rend(); ++scope) {
            for (const ScopeSource& source : scope->sources) {
                if ((qualifier.isEmpty() || compareText(source.name, qualifier) == 0) &&
                    source.columns.contains(expr.parts.back(), Qt::CaseInsensitive)) {
                    return source.isTable;
                }
            }
        }
        return false;
    };
    return isTableField(left) || (right && isTableField(*right)) ? QString() : kCollate;
}

QString QueryTranslator::name(const jet::Expr& expr) {
    const QString written = expr.parts.join(expr.bang ? u'!' : u'.');
    if (!mDeclared.contains(parameterKey(written))) {
        if (expr.parts.size() == 1) {
            if (auto field = resolveField(expr.parts[0], {})) {
                return *field;
            }
            // An output column's alias stands for its expression.
            for (auto scope = mScopes.rbegin(); scope != mScopes.rend(); ++scope) {
                if (scope->outputs) {
                    for (const Output& output : *scope->outputs) {
                        if (compareText(output.name, expr.parts[0]) == 0) {
                            return QLatin1Char('(') + output.sql + QLatin1Char(')');
                        }
                    }
                }
            }
            if (auto value = constant(expr.parts[0])) {
                return *value;
            }
        } else if (expr.parts.size() == 2 && !expr.bang) {
            if (auto field = resolveField(expr.parts[1], expr.parts[0])) {
                return *field;
            }
        }
    }
    // A name that is no field is a parameter, as the host reads it.
    return parameter(written);
}

QString QueryTranslator::parameter(const QString& name) {
    const QString key = parameterKey(name);
    QString shown = name;
    shown.remove(QLatin1Char('['));
    shown.remove(QLatin1Char(']'));
    if (mCrosstabDepth > 0 && !mDeclared.contains(key)) {
        // The host finds a crosstab's columns before it could ask: its parameters must be declared.
        throw host::Error(errUnknownField,
                          QStringLiteral("The Microsoft Access database engine does not recognize '%1' as a "
                                         "valid field name or expression.")
                              .arg(shown),
                          kSourceDatabase);
    }
    auto found = mParameterNumbers.constFind(key);
    if (found == mParameterNumbers.constEnd()) {
        mParameters.push_back({shown, mDeclared.value(key, 0)});
        found = mParameterNumbers.insert(key, int(mParameters.size()));
    }
    return QStringLiteral("?%1").arg(*found);
}

// --- Expressions -----------------------------------------------------------------------------------------

bool QueryTranslator::isBoolean(const jet::Expr& expr) const {
    switch (expr.kind) {
        case Expr::Kind::Between:
        case Expr::Kind::In:
        case Expr::Kind::IsNull:
        case Expr::Kind::Exists:
            return true;
        case Expr::Kind::Unary:
            return expr.op == u"NOT";
        case Expr::Kind::Binary:
            return isComparison(expr.op) || expr.op == u"AND" || expr.op == u"OR" || expr.op == u"XOR" ||
                   expr.op == u"EQV" || expr.op == u"IMP" || expr.op == u"LIKE";
        default:
            return false;
    }
}

QString QueryTranslator::expression(const jet::Expr& expr, Use use) {
    if (isBoolean(expr)) {
        // A truth value is SQLite's 1 or 0 where a condition is wanted, the host's -1 or 0 elsewhere.
        QString sql;
        switch (expr.kind) {
            case Expr::Kind::Between:
                sql = QStringLiteral("%1%2 %3BETWEEN %4 AND %5")
                          .arg(value(expr.operands[0]), collation(expr.operands[0]),
                               expr.negated ? QStringLiteral("NOT ") : QString(), value(expr.operands[1]),
                               value(expr.operands[2]));
                break;
            case Expr::Kind::In: {
                QString list;
                if (expr.query) {
                    list = subquery(*expr.query);
                } else {
                    QStringList values;
                    for (size_t i = 1; i < expr.operands.size(); ++i) {
                        values << value(expr.operands[i]);
                    }
                    list = QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
                }
                sql = QStringLiteral("%1%2 %3IN %4")
                          .arg(value(expr.operands[0]), collation(expr.operands[0]),
                               expr.negated ? QStringLiteral("NOT ") : QString(), list);
                break;
            }
            case Expr::Kind::IsNull:
                sql = value(expr.operands[0]) +
                      (expr.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
                break;
            case Expr::Kind::Exists:
                sql = QStringLiteral("EXISTS ") + subquery(*expr.query);
                break;
            case Expr::Kind::Unary:
                sql = QStringLiteral("NOT ") + condition(expr.operands[0]);
                break;
            default: {
                const Expr& left = expr.operands[0];
                const Expr& right = expr.operands[1];
                if (isComparison(expr.op)) {
                    if (right.kind == Expr::Kind::Quantified) {
                        // x > ALL (SELECT y ...): no row of the subquery may fail the comparison.
                        QStringList columns;
                        const QString rows = subquery(*right.query, &columns);
                        const QString helper = QStringLiteral("\"__q%1\"").arg(++mHelperCount);
                        const QString compared =
                            QStringLiteral("%1 %2 %3.%4%5")
                                .arg(value(left), expr.op, helper, quote(columns.value(0)), kCollate);
                        // A comparison that is not true (Null included) is a row that fails ALL.
                        sql = right.op == u"ALL"
                                  ? QStringLiteral(
                                        "NOT EXISTS (SELECT 1 FROM %1 AS %2 WHERE NOT coalesce(%3, 0))")
                                        .arg(rows, helper, compared)
                                  : QStringLiteral("EXISTS (SELECT 1 FROM %1 AS %2 WHERE %3)")
                                        .arg(rows, helper, compared);
                    } else {
                        sql = QStringLiteral("%1 %2 %3%4")
                                  .arg(value(left), expr.op, value(right), collation(left, &right));
                    }
                } else if (expr.op == u"LIKE") {
                    sql = QStringLiteral("%1 %2LIKE %3")
                              .arg(value(left), expr.negated ? QStringLiteral("NOT ") : QString(),
                                   value(right));
                } else if (expr.op == u"AND" || expr.op == u"OR") {
                    sql = QStringLiteral("%1 %2 %3").arg(condition(left), expr.op, condition(right));
                } else if (expr.op == u"XOR") {
                    sql = QStringLiteral("(%1) <> (%2)").arg(condition(left), condition(right));
                } else if (expr.op == u"EQV") {
                    sql = QStringLiteral("(%1) = (%2)").arg(condition(left), condition(right));
                } else {  // IMP
                    sql = QStringLiteral("(NOT (%1) OR (%2))").arg(condition(left), condition(right));
                }
                break;
            }
        }
        return use == Use::Condition ? QLatin1Char('(') + sql + QLatin1Char(')')
                                     : QStringLiteral("(-(") + sql + QStringLiteral("))");
    }
    QString sql;
    switch (expr.kind) {
        case Expr::Kind::Literal:
            sql = literal(expr);
            break;
        case Expr::Kind::Null:
            sql = QStringLiteral("NULL");
            break;
        case Expr::Kind::Name:
            sql = name(expr);
            break;
        case Expr::Kind::Star:
            sql = expr.parts.isEmpty() ? QStringLiteral("*") : quote(expr.parts[0]) + QStringLiteral(".*");
            break;
        case Expr::Kind::Unary:
            sql = expr.op == u"-" ? QStringLiteral("(-") + value(expr.operands[0]) + QLatin1Char(')')
                                  : value(expr.operands[0]);
            break;
        case Expr::Kind::Binary: {
            const QString left = value(expr.operands[0]);
            const QString right = value(expr.operands[1]);
            const auto function = [&](const char* name) {
                return QStringLiteral("%1(%2, %3)").arg(QLatin1String(name), left, right);
            };
            if (expr.op == u"*") {
                sql = QStringLiteral("(%1 * %2)").arg(left, right);
            } else if (expr.op == u"+") {
                sql = function(kAddFunction);
            } else if (expr.op == u"-") {
                sql = function(kSubtractFunction);
            } else if (expr.op == u"/") {
                sql = function(kDivideFunction);
            } else if (expr.op == u"\\") {
                sql = function(kIntDivideFunction);
            } else if (expr.op == u"MOD") {
                sql = function(kModFunction);
            } else if (expr.op == u"^") {
                sql = function(kPowerFunction);
            } else {  // &
                sql = function(kConcatFunction);
            }
            break;
        }
        case Expr::Kind::Call:
            sql = call(expr);
            break;
        case Expr::Kind::Subquery:
            sql = subquery(*expr.query);
            break;
        default:
            throw host::Error(3075, QStringLiteral("Syntax error in query expression."), kSourceDatabase);
    }
    if (use == Use::Condition) {
        // A value where a truth is wanted: anything but zero is true.
        return QStringLiteral("(%1 <> 0)").arg(sql);
    }
    return sql;
}

QString QueryTranslator::literal(const jet::Expr& expr) {
    if (expr.token == jet::TokenKind::Text) {
        return textLiteral(expr.text);
    }
    if (expr.token == jet::TokenKind::Date) {
        // #dates# are the host's US order (or ISO), stored as the engine stores Date/Time.
        const auto date = hostDateTime(expr.text);
        if (!date) {
            throw host::Error(
                3075, QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(expr.text),
                kSourceDatabase);
        }
        return textLiteral(dateTimeText(*date));
    }
    return expr.text;
}

QString QueryTranslator::call(const jet::Expr& expr) {
    const auto function = hostFunction(expr.op);
    if (!function) {
        throw host::Error(3085, QStringLiteral("Undefined function '%1' in expression.").arg(expr.op),
                          kSourceDatabase);
    }
    const int count = int(expr.operands.size());
    if (count < function->minArguments || count > function->maxArguments) {
        throw host::Error(3075,
                          QStringLiteral("Wrong number of arguments used with function in query expression "
                                         "'%1'.")
                              .arg(expr.op),
                          kSourceDatabase);
    }
    QStringList arguments;
    for (const Expr& operand : expr.operands) {
        if (operand.kind == Expr::Kind::Star) {
            arguments << (mPivotFilter && function->aggregate ? QStringLiteral("1") : QStringLiteral("*"));
        } else {
            arguments << value(operand);
        }
    }
    if (function->aggregate && mPivotFilter) {
        // In a crosstab cell only the rows of the cell's column count.
        arguments[0] = QStringLiteral("CASE WHEN %1 THEN %2 END").arg(*mPivotFilter, arguments[0]);
    }
    return quote(function->sqlName) + QLatin1Char('(') + arguments.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

// --- Crosstab --------------------------------------------------------------------------------------------

Translation QueryTranslator::crosstabHeadingsQuery(const jet::StatementTree& tree) {
    begin(tree);
    QString sql = crosstabHeadingsBody(tree);
    return finish(std::move(sql), {QStringLiteral("heading")});
}

QString QueryTranslator::crosstabHeadingsBody(const jet::StatementTree& tree) {
    ++mCrosstabDepth;
    const jet::SelectNode& node = *tree.query.terms.front().select;
    mScopes.emplace_back();
    QString sql;
    QString from;
    if (!node.from.empty()) {
        from = fromClause(node.from, mScopes.back());
    }
    sql = QStringLiteral("SELECT %1 AS \"heading\"").arg(value(*tree.pivot));
    if (!from.isEmpty()) {
        sql += QStringLiteral(" FROM ") + from;
    }
    if (node.where) {
        sql += QStringLiteral(" WHERE ") + condition(*node.where);
    }
    sql += QStringLiteral(" GROUP BY 1") + kCollate + QStringLiteral(" ORDER BY 1") + kCollate;
    mScopes.pop_back();
    --mCrosstabDepth;
    return sql;
}

QString QueryTranslator::headingText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("<>");
    }
    if (value.typeId() == QMetaType::Double) {
        return numberText(value.toDouble());
    }
    if (const auto date = storedDateTime(value)) {
        return date->time() == QTime(0, 0) ? date->date().toString(Qt::ISODate) : dateTimeText(*date);
    }
    return value.toString();
}

Translation QueryTranslator::translateCrosstab(const jet::StatementTree& tree,
                                               const std::vector<QVariant>& found) {
    begin(tree);
    QStringList columns;
    QString sql = crosstabBody(tree, found, columns);
    return finish(std::move(sql), std::move(columns));
}

QString QueryTranslator::crosstabBody(const jet::StatementTree& tree, const std::vector<QVariant>& found,
                                      QStringList& columns) {
    ++mCrosstabDepth;
    const jet::SelectNode& node = *tree.query.terms.front().select;
    mScopes.emplace_back();
    std::vector<Output> outputs;
    QString body = selectBody(node, outputs);
    mScopes.back().outputs = &outputs;
    const QString pivot = value(*tree.pivot);
    QStringList cells;
    for (const Output& output : outputs) {
        columns << output.name;
    }
    const auto addColumn = [&](const QString& match, const QString& heading) {
        mPivotFilter = match;
        const QString cell = value(*tree.transform);
        mPivotFilter.reset();
        // A cell no row falls in is empty, whatever the aggregate.
        cells << QStringLiteral("CASE WHEN count(CASE WHEN %1 THEN 1 END) > 0 THEN %2 END AS %3")
                     .arg(match, cell, quote(heading));
        columns << heading;
    };
    if (!tree.pivotIn.empty()) {
        for (const Expr& heading : tree.pivotIn) {
            const QString literalSql = value(heading);
            const QString text = heading.kind == Expr::Kind::Literal ? heading.text : literalSql;
            addColumn(QStringLiteral("%1 = %2%3").arg(pivot, literalSql, kCollate), text);
        }
    } else {
        for (const QVariant& heading : found) {
            QString match;
            if (!heading.isValid() || heading.isNull()) {
                match = pivot + QStringLiteral(" IS NULL");
            } else if (heading.typeId() == QMetaType::QString) {
                match = QStringLiteral("%1 = %2%3").arg(pivot, textLiteral(heading.toString()), kCollate);
            } else if (heading.typeId() == QMetaType::Double) {
                match = QStringLiteral("%1 = %2").arg(pivot, QString::number(heading.toDouble(), 'g', 17));
            } else {
                match = QStringLiteral("%1 = %2").arg(pivot, heading.toString());
            }
            addColumn(match, headingText(heading));
        }
    }
    if (!cells.isEmpty()) {
        body.replace(QStringLiteral("\x01FROM\x01"), QStringLiteral(", ") + cells.join(QStringLiteral(", ")));
    }
    body.remove(QStringLiteral("\x01FROM\x01"));
    QStringList keys;
    for (const jet::OrderItem& item : tree.query.orderBy) {
        keys << orderKey(item.expr, outputs) + kCollate +
                    (item.descending ? QStringLiteral(" DESC") : QString());
    }
    if (keys.isEmpty()) {
        // Rows come in the order of their headings.
        for (const Expr& group : node.groupBy) {
            keys << value(group) + kCollate;
        }
    }
    if (!keys.isEmpty()) {
        body += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
    }
    mScopes.pop_back();
    --mCrosstabDepth;
    return body;
}

// --- Actions ---------------------------------------------------------------------------------------------

QString QueryTranslator::targetTable(const QString& name, QStringList* fields) {
    const auto source = mCatalogue.source(name);
    if (!source) {
        failInputTable(name);
    }
    if (source->isQuery) {
        throw host::Error(3326, QStringLiteral("This Recordset is not updatable."), kSourceDatabase);
    }
    if (fields) {
        *fields = source->fields;
    }
    return source->name;
}

Translation QueryTranslator::translateAppend(const jet::StatementTree& tree, const QString& target) {
    begin(tree);
    QStringList targetFields;
    const QString table = targetTable(target, &targetFields);
    const auto targetField = [&](const QString& field) {
        for (const QString& known : targetFields) {
            if (compareText(known, field) == 0) {
                return known;
            }
        }
        throw host::Error(
            3127,
            QStringLiteral("The INSERT INTO statement contains the following unknown field name: "
                           "'%1'. Make sure you have typed the name correctly, and try the "
                           "operation again.")
                .arg(field),
            kSourceDatabase);
    };
    QStringList fields;
    for (const QString& field : tree.fields) {
        fields << quote(targetField(field));
    }
    QString source;
    if (tree.hasValues) {
        if (fields.isEmpty()) {
            for (const QString& field : targetFields.mid(0, qsizetype(tree.values.size()))) {
                fields << quote(field);
            }
        }
        QStringList values;
        mScopes.emplace_back();
        for (const Expr& item : tree.values) {
            values << value(item);
        }
        mScopes.pop_back();
        source = QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
    } else {
        QStringList columns;
        source = queryNode(tree.query, columns);
        if (fields.isEmpty()) {
            // Without a field list each column goes to the field of its own name.
            for (const QString& column : columns) {
                fields << quote(targetField(column.section(u'.', -1)));
            }
        }
    }
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) %3").arg(quote(table), fields.join(QStringLiteral(", ")), source);
    return finish(sql, {});
}

namespace {

// The tables of a FROM clause, in order.
void tablesOf(const jet::FromNode& node, std::vector<const jet::FromNode*>& tables) {
    if (node.kind == jet::FromNode::Kind::Join) {
        tablesOf(*node.left, tables);
        tablesOf(*node.right, tables);
    } else if (node.kind == jet::FromNode::Kind::Table) {
        tables.push_back(&node);
    }
}

// The table an update or delete changes: the one named by the qualifier, else the first.
const jet::FromNode* changedTable(const jet::SelectNode& changes, const QString& qualifier) {
    std::vector<const jet::FromNode*> tables;
    for (const jet::FromNode& item : changes.from) {
        tablesOf(item, tables);
    }
    for (const jet::FromNode* table : tables) {
        const QString name = table->alias.isEmpty() ? table->name : table->alias;
        if (!qualifier.isEmpty() && compareText(name, qualifier) == 0) {
            return table;
        }
    }
    if (tables.empty()) {
        throw host::Error(3073, QStringLiteral("Operation must use an updatable query."), kSourceDatabase);
    }
    return tables.front();
}

bool isSingleTable(const jet::SelectNode& changes) {
    return changes.from.size() == 1 && changes.from.front().kind == jet::FromNode::Kind::Table;
}

}  // namespace

Translation QueryTranslator::translateUpdate(const jet::StatementTree& tree) {
    begin(tree);
    const jet::SelectNode& changes = tree.changes;
    const QString qualifier = tree.set.empty() || tree.set.front().first.parts.size() < 2
                                  ? QString()
                                  : tree.set.front().first.parts.front();
    const jet::FromNode* target = changedTable(changes, qualifier);
    QStringList fields;
    const QString table = targetTable(target->name, &fields);
    const QString alias = target->alias.isEmpty() ? table : target->alias;
    mScopes.emplace_back();
    const QString from = fromClause(changes.from, mScopes.back());
    QStringList assignments;
    QStringList values;
    for (const auto& [field, newValue] : tree.set) {
        QString stored;
        for (const QString& known : fields) {
            if (compareText(known, field.parts.back()) == 0) {
                stored = known;
            }
        }
        if (stored.isEmpty()) {
            throw host::Error(3073, QStringLiteral("Operation must use an updatable query."),
                              kSourceDatabase);
        }
        assignments << quote(stored);
        values << value(newValue);
    }
    const QString where = changes.where ? condition(*changes.where) : QString();
    mScopes.pop_back();
    QString sql;
    if (isSingleTable(changes)) {
        QStringList set;
        for (qsizetype i = 0; i < assignments.size(); ++i) {
            set << assignments[i] + QStringLiteral(" = ") + values[i];
        }
        sql = QStringLiteral("UPDATE %1 AS %2 SET %3")
                  .arg(quote(table), quote(alias), set.join(QStringLiteral(", ")));
        if (!where.isEmpty()) {
            sql += QStringLiteral(" WHERE ") + where;
        }
    } else {
        // Through a join: the new values are worked out per row of the changed table first.
        QStringList computed;
        QStringList set;
        for (qsizetype i = 0; i < assignments.size(); ++i) {
            computed << QStringLiteral("%1 AS \"__v%2\"").arg(values[i]).arg(i + 1);
            set << QStringLiteral("%1 = (SELECT \"__v%2\" FROM \"__u\" WHERE \"__rid\" = %3.rowid LIMIT 1)")
                       .arg(assignments[i])
                       .arg(i + 1)
                       .arg(quote(table));
        }
        sql = QStringLiteral(
                  "WITH \"__u\" AS (SELECT %1.rowid AS \"__rid\", %2 FROM %3%4) UPDATE %5 SET %6 WHERE "
                  "rowid IN (SELECT \"__rid\" FROM \"__u\")")
                  .arg(quote(alias), computed.join(QStringLiteral(", ")), from,
                       where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where, quote(table),
                       set.join(QStringLiteral(", ")));
    }
    return finish(sql, {});
}

Translation QueryTranslator::translateDelete(const jet::StatementTree& tree) {
    begin(tree);
    const jet::SelectNode& changes = tree.changes;
    QString qualifier;
    for (const Expr& item : tree.deleteItems) {
        if (!item.parts.isEmpty()) {
            qualifier = item.parts.front();
            break;
        }
    }
    const jet::FromNode* target = changedTable(changes, qualifier);
    const QString table = targetTable(target->name, nullptr);
    const QString alias = target->alias.isEmpty() ? table : target->alias;
    mScopes.emplace_back();
    const QString from = fromClause(changes.from, mScopes.back());
    const QString where = changes.where ? condition(*changes.where) : QString();
    mScopes.pop_back();
    QString sql;
    if (isSingleTable(changes)) {
        sql = QStringLiteral("DELETE FROM %1 AS %2").arg(quote(table), quote(alias));
        if (!where.isEmpty()) {
            sql += QStringLiteral(" WHERE ") + where;
        }
    } else {
        sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2.rowid FROM %3%4)")
                  .arg(quote(table), quote(alias), from,
                       where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    }
    return finish(sql, {});
}

}  // namespace qdb
