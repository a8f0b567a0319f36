#include "host/mdb/QueryReconstructor.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <stdexcept>

namespace mdb {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Attribute 1 Flag: the kind of statement.
enum Kind { Select = 1, MakeTable = 2, Append = 3, Update = 4, Delete = 5, Crosstab = 6, Union = 9 };

// Attribute 3 Flag bits.
enum Option {
    AllFields = 1,
    Distinct = 2,
    OwnerAccess = 4,
    DistinctRow = 8,
    Top = 16,
    Percent = 32,
    // A union's Flag: 3 when duplicates are removed, 1 for UNION ALL only.
    UnionAll = 1,
    UnionDistinct = 3
};

// Attribute 6 Flag of a crosstab's columns, as the real engine writes it.
enum CrosstabRole { Value = 0, ColumnHeading = 1, RowHeading = 2 };

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

int number(const QVariant& value) {
    return value.isNull() ? 0 : value.toInt();
}

// The type names of the parameter declarations, by the data access type code the catalogue keeps.
QString parameterType(int code) {
    static const QHash<int, QString> names = {
        {1, QStringLiteral("Bit")},         {2, QStringLiteral("Byte")},
        {3, QStringLiteral("Short")},       {4, QStringLiteral("Long")},
        {5, QStringLiteral("Currency")},    {6, QStringLiteral("IEEESingle")},
        {7, QStringLiteral("IEEEDouble")},  {8, QStringLiteral("DateTime")},
        {9, QStringLiteral("Binary")},      {10, QStringLiteral("Text")},
        {11, QStringLiteral("LongBinary")}, {12, QStringLiteral("Memo")},
        {15, QStringLiteral("Guid")},       {20, QStringLiteral("Decimal")},
        {0, QStringLiteral("Value")},
    };
    return names.value(code, QStringLiteral("Value"));
}

// A parameter named after a control of a form is written as the reference it is: [Forms]![Orders]![Date].
QString parameterName(const QString& name) {
    QStringList parts;
    for (const QString& part : name.split(QLatin1Char('!'))) {
        parts << QLatin1Char('[') + part + QLatin1Char(']');
    }
    return parts.join(QLatin1Char('!'));
}

struct Rows {
    std::vector<const jet::CatalogueRow*> of[256];

    explicit Rows(const std::vector<jet::CatalogueRow>& all) {
        for (const jet::CatalogueRow& row : all) {
            if (row.attribute >= 0 && row.attribute < 256) {
                of[row.attribute].push_back(&row);
            }
        }
    }
    const jet::CatalogueRow* first(int attribute) const {
        return of[attribute].empty() ? nullptr : of[attribute].front();
    }
};

// A field reference kept as a name (the target fields of append and update queries): each part bracketed
// as needed, Products.UnitPrice or [Order Details].Quantity.
QString fieldReference(const QString& name) {
    QStringList parts;
    for (const QString& part : name.split(QLatin1Char('.'))) {
        const bool bracketed = part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']'));
        parts << (bracketed ? part : sqlName(part));
    }
    return parts.join(QLatin1Char('.'));
}

QString withAlias(const QString& expression, const QString& alias) {
    return alias.isEmpty() ? expression : expression + QStringLiteral(" AS ") + sqlName(alias);
}

// One source of the FROM clause as written: a table or query (with its alias), or a derived table.
QString sourceText(const jet::CatalogueRow& source) {
    const QString alias = text(source.name2);
    if (source.name1.isNull()) {
        return QStringLiteral("(") + text(source.expression) + QStringLiteral(") AS ") + sqlName(alias);
    }
    return withAlias(sqlName(text(source.name1)), alias);
}

// The name a join row uses for a source: its alias when it has one.
QString sourceKey(const jet::CatalogueRow& source) {
    return source.name2.isNull() ? text(source.name1) : text(source.name2);
}

// The FROM clause: the joins nested in the order the engine wrote them (each join's ON condition follows
// both of its operands, so the rows come back in the same order), then the sources no join names.
QString fromClause(const Rows& rows) {
    const auto& sources = rows.of[5];
    struct Group {
        QString text;
        bool joined = false;  // needs parentheses when it becomes an operand of another join
    };
    std::vector<Group> groups;
    std::vector<int> groupOf(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        groups.push_back({sourceText(*sources[i]), false});
        groupOf[i] = int(i);
    }
    std::vector<int> order;  // groups in the order they first appear
    for (size_t i = 0; i < sources.size(); ++i) {
        order.push_back(int(i));
    }
    const auto find = [&](const QString& name) {
        for (size_t i = 0; i < sources.size(); ++i) {
            if (sourceKey(*sources[i]).compare(name, Qt::CaseInsensitive) == 0) {
                return int(i);
            }
        }
        throw std::invalid_argument("a join names a source the query does not read");
    };
    const auto operand = [](const Group& group) {
        return group.joined ? QLatin1Char('(') + group.text + QLatin1Char(')') : group.text;
    };
    for (const jet::CatalogueRow* join : rows.of[7]) {
        const int left = groupOf[size_t(find(text(join->name1)))];
        const int right = groupOf[size_t(find(text(join->name2)))];
        const int kind = number(join->flag);
        const QString keyword = kind == 2   ? QStringLiteral(" LEFT JOIN ")
                                : kind == 3 ? QStringLiteral(" RIGHT JOIN ")
                                            : QStringLiteral(" INNER JOIN ");
        if (left == right) {
            // A second condition between sources joined already belongs to that join.
            groups[size_t(left)].text += QStringLiteral(" AND ") + text(join->expression);
            continue;
        }
        groups[size_t(left)].text = operand(groups[size_t(left)]) + keyword + operand(groups[size_t(right)]) +
                                    QStringLiteral(" ON ") + text(join->expression);
        groups[size_t(left)].joined = true;
        for (int& group : groupOf) {
            if (group == right) {
                group = left;
            }
        }
        // The joined group stands where the earlier of its two parts stood.
        const auto leftAt = std::find(order.begin(), order.end(), left);
        const auto rightAt = std::find(order.begin(), order.end(), right);
        if (rightAt < leftAt) {
            *rightAt = left;
            order.erase(leftAt);
        } else {
            order.erase(rightAt);
        }
    }
    QStringList parts;
    for (int group : order) {
        parts << groups[size_t(group)].text;
    }
    return parts.join(QStringLiteral(", "));
}

QString orderByClause(const Rows& rows) {
    QStringList items;
    for (const jet::CatalogueRow* row : rows.of[11]) {
        const bool descending = text(row->name1).compare(QLatin1String("D"), Qt::CaseInsensitive) == 0;
        items << text(row->expression) + (descending ? QStringLiteral(" DESC") : QString());
    }
    return items.isEmpty() ? QString()
                           : kLineEnd + QStringLiteral("ORDER BY ") + items.join(QStringLiteral(", "));
}

// WHERE, GROUP BY (without a crosstab's column heading) and HAVING, each on its own line.
QString conditions(const Rows& rows, bool crosstab) {
    QString clauses;
    if (const auto* where = rows.first(8)) {
        clauses += kLineEnd + QStringLiteral("WHERE ") + text(where->expression);
    }
    QStringList groupBy;
    for (const jet::CatalogueRow* row : rows.of[9]) {
        if (!crosstab || number(row->flag) != ColumnHeading) {
            groupBy << text(row->expression);
        }
    }
    if (!groupBy.isEmpty()) {
        clauses += kLineEnd + QStringLiteral("GROUP BY ") + groupBy.join(QStringLiteral(", "));
    }
    if (const auto* having = rows.first(10)) {
        clauses += kLineEnd + QStringLiteral("HAVING ") + text(having->expression);
    }
    return clauses;
}

// SELECT with its predicate (DISTINCT, DISTINCTROW, TOP).
QString selectKeyword(const jet::CatalogueRow* options, const QString& verb = QStringLiteral("SELECT")) {
    QString keyword = verb;
    const int flags = options ? number(options->flag) : 0;
    if (flags & Distinct) {
        keyword += QStringLiteral(" DISTINCT");
    }
    if (flags & DistinctRow) {
        keyword += QStringLiteral(" DISTINCTROW");
    }
    if (flags & Top) {
        keyword += QStringLiteral(" TOP ") + text(options->name1);
        if (flags & Percent) {
            keyword += QStringLiteral(" PERCENT");
        }
    }
    return keyword;
}

QString selectList(const Rows& rows, const jet::CatalogueRow* options) {
    QStringList columns;
    if (options && (number(options->flag) & AllFields)) {
        columns << QStringLiteral("*");
    }
    for (const jet::CatalogueRow* column : rows.of[6]) {
        columns << withAlias(text(column->expression), text(column->name1));
    }
    return columns.join(QStringLiteral(", "));
}

QString fromLine(const Rows& rows) {
    const QString from = fromClause(rows);
    return from.isEmpty() ? QString() : kLineEnd + QStringLiteral("FROM ") + from;
}

QString targetText(const jet::CatalogueRow& kind) {
    QString target = sqlName(text(kind.name1));
    if (!kind.name2.isNull()) {
        target += QStringLiteral(" IN '") + text(kind.name2) + QLatin1Char('\'');
    }
    return target;
}

QString unionText(const Rows& rows, const jet::CatalogueRow* options) {
    // A union removes duplicates unless every part is joined with UNION ALL.
    const bool all = options && (number(options->flag) & UnionDistinct) == UnionAll;
    QString sql;
    for (const jet::CatalogueRow* part : rows.of[5]) {
        const QString partText = text(part->expression);
        if (!sql.isEmpty()) {
            // The parts keep the line breaks they were written with.
            if (!sql.back().isSpace()) {
                sql += kLineEnd;
            }
            sql += all ? QStringLiteral("UNION ALL ") : QStringLiteral("UNION ");
        }
        sql += partText;
    }
    if (!rows.of[11].empty() && !sql.isEmpty() && sql.back().isSpace()) {
        while (!sql.isEmpty() && sql.back().isSpace()) {
            sql.chop(1);
        }
    }
    return sql + orderByClause(rows);
}

}  // namespace

QString sqlName(const QString& name) {
    bool plain = !name.isEmpty() && !name.front().isDigit();
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_'))) {
            plain = false;
            break;
        }
    }
    return plain ? name : QLatin1Char('[') + name + QLatin1Char(']');
}

QString reconstructSql(const std::vector<jet::CatalogueRow>& all) {
    const Rows rows(all);
    const jet::CatalogueRow* kind = rows.first(1);
    if (!kind) {
        throw std::invalid_argument("the catalogue holds no kind for the query");
    }
    const jet::CatalogueRow* options = rows.first(3);

    QString sql;
    if (!rows.of[2].empty()) {
        QStringList parameters;
        for (const jet::CatalogueRow* parameter : rows.of[2]) {
            parameters << parameterName(text(parameter->name1)) + QLatin1Char(' ') +
                              parameterType(number(parameter->flag));
        }
        sql += QStringLiteral("PARAMETERS ") + parameters.join(QStringLiteral(", ")) + QLatin1Char(';') +
               kLineEnd;
    }

    switch (number(kind->flag)) {
        case Union:
            sql += unionText(rows, options);
            break;
        case Crosstab: {
            QStringList values;
            QStringList headings;
            QString pivot;
            for (const jet::CatalogueRow* column : rows.of[6]) {
                const QString item = withAlias(text(column->expression), text(column->name1));
                switch (number(column->flag)) {
                    case Value:
                        values << item;
                        break;
                    case ColumnHeading:
                        // PIVOT takes no alias.
                        pivot = text(column->expression);
                        break;
                    default:
                        headings << item;
                }
            }
            sql += QStringLiteral("TRANSFORM ") + values.join(QStringLiteral(", ")) + kLineEnd +
                   selectKeyword(options) + QLatin1Char(' ') + headings.join(QStringLiteral(", ")) +
                   fromLine(rows) + conditions(rows, true) + orderByClause(rows) + kLineEnd +
                   QStringLiteral("PIVOT ") + pivot;
            break;
        }
        case Append: {
            QStringList fields;
            QStringList values;
            for (const jet::CatalogueRow* column : rows.of[6]) {
                fields << fieldReference(text(column->name1));
                values << text(column->expression);
            }
            sql += QStringLiteral("INSERT INTO ") + targetText(*kind);
            const bool allFields = options && (number(options->flag) & AllFields);
            if (!fields.isEmpty() && !allFields) {
                sql += QStringLiteral(" ( ") + fields.join(QStringLiteral(", ")) + QStringLiteral(" )");
            }
            sql += kLineEnd + selectKeyword(options) + QLatin1Char(' ') +
                   (allFields ? QStringLiteral("*") : values.join(QStringLiteral(", "))) + fromLine(rows) +
                   conditions(rows, false) + orderByClause(rows);
            break;
        }
        case Update: {
            QStringList assignments;
            for (const jet::CatalogueRow* column : rows.of[6]) {
                assignments << fieldReference(text(column->name1)) + QStringLiteral(" = ") +
                                   text(column->expression);
            }
            sql += selectKeyword(options, QStringLiteral("UPDATE")) + QLatin1Char(' ') + fromClause(rows) +
                   QStringLiteral(" SET ") + assignments.join(QStringLiteral(", ")) + conditions(rows, false);
            break;
        }
        case Delete: {
            const QString columns = selectList(rows, options);
            sql += selectKeyword(options, QStringLiteral("DELETE")) +
                   (columns.isEmpty() ? QString() : QLatin1Char(' ') + columns) + fromLine(rows) +
                   conditions(rows, false);
            break;
        }
        case MakeTable:
            sql += selectKeyword(options) + QLatin1Char(' ') + selectList(rows, options) +
                   QStringLiteral(" INTO ") + targetText(*kind) + fromLine(rows) + conditions(rows, false) +
                   orderByClause(rows);
            break;
        case Select:
            sql += selectKeyword(options) + QLatin1Char(' ') + selectList(rows, options) + fromLine(rows) +
                   conditions(rows, false) + orderByClause(rows);
            break;
        default:
            // Data definition and pass-through queries keep their text outside these rows.
            throw std::invalid_argument("the query is not one the catalogue describes");
    }
    if (options && (number(options->flag) & OwnerAccess)) {
        sql += kLineEnd + QStringLiteral("WITH OWNERACCESS OPTION");
    }
    return sql + QLatin1Char(';') + kLineEnd;
}

}  // namespace mdb
