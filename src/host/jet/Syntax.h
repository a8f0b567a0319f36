// The syntax tree the parser builds of a statement, for the engine to run it. Names are kept without
// their brackets, literals as written.
#pragma once

#include "host/jet/Tokenizer.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace jet {

struct QueryNode;

struct Expr {
    enum class Kind {
        Literal,     // token: Number, Text (text holds the value, unquoted), Date (text between the #s)
        Null,        // Null
        Name,        // parts: [Orders].[Amount] is {"Orders", "Amount"}; bang: written with "!"
        Star,        // parts: the qualifier of t.*, empty for *
        Unary,       // op: "-", "+", "NOT"; operands[0]
        Binary,      // op: "+", "-", "*", "/", "\\", "MOD", "^", "&", "=", "<>", "<", ">", "<=", ">=",
                     //     "AND", "OR", "XOR", "EQV", "IMP", "LIKE"; operands[0] and [1]
        Between,     // operands: value, low, high
        In,          // operands: value, then the list; or query set
        IsNull,      // operands[0]
        Call,        // op: the function name as written; operands: the arguments (a Star for Count(*))
        Subquery,    // query: (SELECT ...) as a value
        Exists,      // query
        Quantified,  // op: "ANY", "SOME", "ALL"; query (compared by the enclosing Binary)
    };
    Expr() = default;
    explicit Expr(Kind kind) : kind(kind) {}

    Kind kind = Kind::Null;
    TokenKind token = TokenKind::End;
    QString op;
    QString text;
    QStringList parts;
    bool bang = false;
    bool negated = false;  // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL
    std::vector<Expr> operands;
    std::shared_ptr<QueryNode> query;
};

struct SelectItem {
    Expr expr;
    QString alias;  // empty when none is written
    bool star = false;
};

struct FromNode {
    enum class Kind { Table, Derived, Join };
    Kind kind = Kind::Table;
    QString name;                      // Table: the table or query
    QString alias;                     // Table and Derived: the alias, empty when none is written
    std::shared_ptr<QueryNode> query;  // Derived
    int join = 0;                      // Join: 1 inner, 2 left, 3 right
    std::shared_ptr<FromNode> left;
    std::shared_ptr<FromNode> right;
    std::optional<Expr> on;
    bool external = false;  // Table: in another database (IN '...')
};

struct SelectNode {
    bool distinct = false;
    bool distinctRow = false;
    QString top;  // as written, empty for none
    bool percent = false;
    std::vector<SelectItem> items;
    QString into;  // make-table target
    std::vector<FromNode> from;
    std::optional<Expr> where;
    std::vector<Expr> groupBy;
    std::optional<Expr> having;
};

struct OrderItem {
    Expr expr;
    bool descending = false;
};

// One part of a union: a SELECT, a parenthesised query, or TABLE name.
struct QueryTerm {
    std::optional<SelectNode> select;
    std::shared_ptr<QueryNode> nested;
    QString table;
};

// A query expression: its terms joined by UNION (all[i]: whether UNION ALL joins term i + 1), ordered.
struct QueryNode {
    std::vector<QueryTerm> terms;
    std::vector<bool> all;
    std::vector<OrderItem> orderBy;
};

struct ParameterDecl {
    QString name;
    int type = 0;  // the data access type code
};

// The whole statement. What is set depends on the statement's kind.
struct StatementTree {
    std::vector<ParameterDecl> parameters;
    QueryNode query;  // select, union, make-table, crosstab (its SELECT), append (its SELECT)
    // Crosstab.
    std::optional<Expr> transform;
    QString transformAlias;
    std::optional<Expr> pivot;
    std::vector<Expr> pivotIn;
    // Append: the target is the catalogue's target; fields when written, values for VALUES.
    QStringList fields;
    std::vector<Expr> values;
    bool hasValues = false;
    // Update and delete: their FROM clause and WHERE in `select`; SET pairs; DELETE's t.* items.
    SelectNode changes;
    std::vector<std::pair<Expr, Expr>> set;
    std::vector<Expr> deleteItems;
};

}  // namespace jet
