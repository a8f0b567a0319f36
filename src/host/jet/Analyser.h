// The engine's Access-SQL analyser: reads the text of a saved query and gives the query type code and the
// MSysQueries rows the engine keeps for it.
#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace jet {

// One MSysQueries row of a query (without ObjectId, which the engine assigns). A null QVariant is Null.
struct CatalogueRow {
    int attribute = 0;
    QVariant flag;        // integer or Null
    QVariant name1;       // text or Null
    QVariant name2;       // text or Null
    QVariant expression;  // text or Null

    bool operator==(const CatalogueRow&) const = default;
};

// The rows of a query, in this order (a column not named is Null):
//   0    begin.
//   1    Flag the kind: 1 select, 2 make-table, 3 append, 4 update, 5 delete, 6 crosstab, 7 data
//        definition, 9 union; Name1 the new table (make-table) or the target table (append), Name2 the
//        target's database when written with IN.
//   2    one per declared parameter: Name1 the name, Flag the data access type code of its type.
//   3    Flag the query's options, a sum of: 1 all fields (SELECT *, DELETE *), 2 DISTINCT, 4 WITH
//        OWNERACCESS OPTION, 8 DISTINCTROW, 16 TOP (Name1 the number as written), 32 PERCENT; for a union
//        3 (duplicates removed) or 1 (UNION ALL only) in place of the first two bits; written for every query
//        but a data definition, with Flag 0 when none applies.
//   5    one per source of the outermost FROM clause, in the order written: Name1 the table or query,
//        Name2 the alias; a derived table has Name1 Null, Name2 its alias (a generated "%$##@_Alias..."
//        when none is written) and Expression its SQL without the enclosing parentheses. A union has one
//        row per part: Name2 "%$##@_Alias" followed by the part's number, Expression the part's SQL.
//   6    one per output column (none for SELECT *, none for a union): Expression as written, Name1 the
//        alias. Append: Name1 the target field (from the field list; without one, the column's alias or
//        the field a plain column reference names). Update: Name1 the field set, Expression its new
//        value. Crosstab: the row headings, then the TRANSFORM value with Flag 1 and the PIVOT expression
//        with Flag 2.
//   7    one per join: Flag 1 inner, 2 left, 3 right; Name1 and Name2 the sources on either side (the
//        one the ON condition names, by alias when aliased); Expression the ON condition.
//   8    the WHERE condition.   9  one per GROUP BY item.   10  the HAVING condition.
//   11   one per ORDER BY item; Name1 "D" when descending.
//   255  end.
// A data definition gets only the rows 0, 1 and 255. Expressions are the text as written, trimmed.
struct QueryAnalysis {
    int type = 0;                    // query type code: 0, 16, 32, 48, 64, 80, 96, 112, 128
    std::vector<CatalogueRow> rows;  // in catalogue order, from attribute 0 to attribute 255
};

// Analyses the SQL text of a query. Throws host::Error (source "DAO.QueryDef"): 3129 when the text is not a
// statement, 3075 when an expression or clause in it is broken. Sources need not exist.
QueryAnalysis analyse(const QString& sql);

}  // namespace jet
