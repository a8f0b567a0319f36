// Recursive-descent parser of the host's SQL dialect. It checks a statement and collects what the catalogue
// keeps about it; clauses and expressions are kept as the text the user wrote, never re-printed.
#pragma once

#include "host/jet/Analyser.h"
#include "host/jet/Syntax.h"
#include "host/jet/Tokenizer.h"

#include <QString>

#include <vector>

namespace jet {

// Statement kinds, numbered as the catalogue's attribute 1 Flag numbers them.
enum class StatementKind {
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    Union = 9,
};

// Bits of the attribute 3 Flag.
namespace QueryFlag {
enum : int {
    AllFields = 1,    // SELECT * (or DELETE *): the query outputs every field of its sources
    Distinct = 2,     // SELECT DISTINCT
    OwnerAccess = 4,  // WITH OWNERACCESS OPTION
    DistinctRow = 8,  // DISTINCTROW
    Top = 16,         // TOP n; Name1 holds n as written
    Percent = 32,     // TOP n PERCENT
    // A union's Flag is one of these two instead.
    UnionAll = 1,       // every UNION is UNION ALL (no duplicate is removed)
    UnionDistinct = 3,  // duplicates are removed
};
}

// Flags of the attribute 6 rows of a crosstab query; its row headings carry no flag.
namespace CrosstabColumn {
enum : int {
    Value = 1,  // the TRANSFORM expression
    Pivot = 2,  // the PIVOT expression (column headings)
};
}

// What the catalogue keeps about one statement, attribute by attribute.
struct Query {
    StatementKind kind = StatementKind::Select;
    int flags = 0;
    QString top;             // the TOP number as written
    QString target;          // the new table of a make-table query, the target table of an append query
    QString targetDatabase;  // the database named by IN after the target, empty for the current one
    std::vector<CatalogueRow> parameters;  // attribute 2
    std::vector<CatalogueRow> sources;     // attribute 5
    std::vector<CatalogueRow> columns;     // attribute 6
    std::vector<QString> outputNames;   // per select column: its alias, or the field a plain reference names
    std::vector<CatalogueRow> joins;    // attribute 7
    QString where;                      // attribute 8, empty when none
    std::vector<CatalogueRow> groupBy;  // attribute 9
    QString having;                     // attribute 10, empty when none
    std::vector<CatalogueRow> orderBy;  // attribute 11
    // The statement as a tree, for running it. Shared so that it survives a query's change into a union.
    std::shared_ptr<StatementTree> tree = std::make_shared<StatementTree>();
};

class Parser {
public:
    explicit Parser(const QString& sql);

    // Parses the whole text as one statement. Throws host::Error 3129 or 3075.
    Query parse();

private:
    // The names a part of a FROM clause makes visible (aliases where given), for the join rows.
    using SourceNames = std::vector<QString>;

    // Statements.
    void parseParameters(Query& query);
    void parseQueryExpression(Query& query, QueryNode& node);
    QString parseQueryTerm(Query& query, QueryTerm& term);
    void parseSelectCore(Query& query, SelectNode& node);
    void parseSelectList(Query& query, SelectNode& node);
    void parseInto(Query& query);
    void parseOrderBy(Query& query, std::vector<OrderItem>& items);
    void parseCrosstab(Query& query);
    void parseAppend(Query& query);
    void parseUpdate(Query& query);
    void parseDelete(Query& query);
    void parseDataDefinition(Query& query);

    // FROM clause.
    void parseFromList(Query& query, std::vector<FromNode>& items);
    SourceNames parseFromItem(Query& query, FromNode& node);
    SourceNames parseJoinOperand(Query& query, FromNode& node);
    SourceNames parseDerivedTable(Query& query, QString sql, FromNode& node);
    bool startsParenthesisedQuery(size_t open) const;
    void checkDistinctNames(const SourceNames& names) const;
    [[noreturn]] void failChainedJoin(size_t conditionStart) const;
    QString parseAlias();
    QString pickJoinName(const SourceNames& names, const std::vector<QString>& qualifiers, bool last) const;
    QString generatedAlias();

    // Expressions. parseTopExpression gives the text as written and leaves the tree in mExpression.
    QString parseTopExpression();
    Expr parseExpression();
    Expr parseEqv();
    Expr parseXor();
    Expr parseOr();
    Expr parseAnd();
    Expr parseNot();
    Expr parseComparison();
    Expr parseConcat();
    Expr parseAdditive();
    Expr parseMod();
    Expr parseIntegerDivision();
    Expr parseMultiplicative();
    Expr parseUnary();
    Expr parsePrimary();
    Expr parseNameChain();
    std::vector<Expr> parseArguments();
    std::shared_ptr<QueryNode> parseSubquery(bool oneColumn);
    Expr binary(QString op, Expr left, Expr right) const;
    Expr literal();
    bool atQueryStart() const;

    // Tokens.
    const Token& peek(size_t ahead = 0) const;
    bool atKeyword(Keyword keyword, size_t ahead = 0) const;
    bool acceptKeyword(Keyword keyword);
    bool atSymbol(QStringView symbol, size_t ahead = 0) const;
    bool acceptSymbol(QStringView symbol);
    bool atName(size_t ahead = 0) const;
    bool atClauseEnd(std::initializer_list<Keyword> followers) const;
    QString nameText(const Token& token) const;
    QString takeName();
    QString textOf(size_t first, size_t end) const;
    QString referencedField(size_t first, size_t end) const;

    // Counts the nesting of parentheses and subqueries, so that absurdly deep text fails cleanly instead of
    // exhausting the stack.
    struct Nesting {
        explicit Nesting(Parser& parser);
        ~Nesting() { --mParser.mDepth; }
        Parser& mParser;
    };

    QString expressionText() const;
    void expectCloseParenthesis();

    // Where a SELECT is being parsed; INTO makes a table only from a statement of its own.
    enum class Context { Statement, Subquery, DerivedTable };

    // Failures.
    [[noreturn]] void failStatement() const;
    [[noreturn]] void fail(const QString& description) const;
    [[noreturn]] void failExpression() const;
    [[noreturn]] void failUnterminated(size_t from) const;

    const QString& mSql;
    std::vector<Token> mTokens;
    size_t mPos = 0;
    size_t mExpressionStart = 0;  // the first token of the expression being parsed, for messages
    int mDepth = 0;               // nesting of parentheses and subqueries
    int mGeneratedAliases = 0;
    std::vector<QString>* mQualifiers = nullptr;  // collects the qualifiers an ON condition names
    std::vector<size_t> mMatch;  // per "(" token, its ")" (npos when unclosed); other tokens npos
    Context mContext = Context::Statement;
    bool mIntoAllowed = true;   // only the statement's own first SELECT may make a table
    size_t mSubqueryStart = 0;  // the first token of the expression a subquery stands in
    int mTermWidth = 0;         // output columns of the query term parsed last; -1 when "*" hides them
    Expr mExpression;           // the tree of the expression parseTopExpression read last
};

}  // namespace jet
