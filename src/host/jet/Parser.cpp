#include "host/jet/Parser.h"

#include "hostapi/host.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace jet {

namespace {

const QString kSource = QStringLiteral("DAO.QueryDef");
const QString kSelectMessage = QStringLiteral(
    "The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or "
    "the punctuation is incorrect.");
const QString kFromMessage = QStringLiteral("Syntax error in FROM clause.");
const QString kJoinMessage = QStringLiteral("Syntax error in JOIN operation.");
const QString kIncompleteMessage = QStringLiteral("Syntax error in query. Incomplete query clause.");
const QString kParameterMessage = QStringLiteral("Syntax error in PARAMETER clause.");
const QString kTransformMessage = QStringLiteral("Syntax error in TRANSFORM statement.");
const QString kInsertMessage = QStringLiteral("Syntax error in INSERT INTO statement.");
const QString kUpdateMessage = QStringLiteral("Syntax error in UPDATE statement.");
const QString kDeleteMessage = QStringLiteral("Syntax error in DELETE statement.");

// Deep enough for any query a person writes; shallow enough for the stack.
constexpr int kMaxDepth = 200;

constexpr size_t kNone = static_cast<size_t>(-1);

const QString kMultipleFieldsMessage = QStringLiteral(
    "You have written a subquery that can return more than one field without using the EXISTS reserved word "
    "in the main query's FROM clause. Revise the SELECT statement of the subquery to request only one "
    "field.");
constexpr int kMultipleFieldsError = 3306;

// The data access type code of a declared parameter type; -1 for an unknown type. Integer is the host's
// 32-bit integer (as in its table definitions); Short is the 16-bit one.
int dataTypeCode(QStringView type) {
    static const QHash<QString, int> codes = {
        {"BIT", 1},
        {"BOOLEAN", 1},
        {"LOGICAL", 1},
        {"LOGICAL1", 1},
        {"YESNO", 1},
        {"BYTE", 2},
        {"INTEGER1", 2},
        {"TINYINT", 2},
        {"SHORT", 3},
        {"SMALLINT", 3},
        {"INTEGER2", 3},
        {"LONG", 4},
        {"INT", 4},
        {"INTEGER", 4},
        {"INTEGER4", 4},
        {"COUNTER", 4},
        {"AUTOINCREMENT", 4},
        {"CURRENCY", 5},
        {"MONEY", 5},
        {"SINGLE", 6},
        {"REAL", 6},
        {"FLOAT4", 6},
        {"IEEESINGLE", 6},
        {"DOUBLE", 7},
        {"FLOAT", 7},
        {"FLOAT8", 7},
        {"IEEEDOUBLE", 7},
        {"NUMBER", 7},
        {"DATETIME", 8},
        {"DATE", 8},
        {"TIME", 8},
        {"TIMESTAMP", 8},
        {"BINARY", 9},
        {"VARBINARY", 9},
        {"TEXT", 10},
        {"CHAR", 10},
        {"VARCHAR", 10},
        {"STRING", 10},
        {"ALPHANUMERIC", 10},
        {"CHARACTER", 10},
        {"NCHAR", 10},
        {"NVARCHAR", 10},
        {"LONGBINARY", 11},
        {"OLEOBJECT", 11},
        {"GENERAL", 11},
        {"IMAGE", 11},
        {"MEMO", 12},
        {"LONGTEXT", 12},
        {"LONGCHAR", 12},
        {"NOTE", 12},
        {"NTEXT", 12},
        {"GUID", 15},
        {"UNIQUEIDENTIFIER", 15},
        {"DECIMAL", 20},
        {"NUMERIC", 20},
        {"DEC", 20},
        {"VALUE", 0},
    };
    return codes.value(type.toString().toUpper(), -1);
}

// The value of a quoted text literal.
QString unquote(QStringView literal) {
    const QChar quote = literal.front();
    QString value = literal.sliced(1, literal.size() - 2).toString();
    value.replace(QString(2, quote), QString(quote));
    return value;
}

// The month a name or its abbreviation (three letters at least) gives, 0 for none.
int monthNumber(QStringView name) {
    static const char* const months[] = {"january",   "february", "march",    "april",
                                         "may",       "june",     "july",     "august",
                                         "september", "october",  "november", "december"};
    if (name.size() < 3) {
        return 0;
    }
    for (int i = 0; i < 12; ++i) {
        if (QLatin1String(months[i]).startsWith(name, Qt::CaseInsensitive)) {
            return i + 1;
        }
    }
    return 0;
}

// Whether numbers read as day, month and year give a calendar day. A two-digit year is in 1930..2029, and a
// date without a year is read in a leap year, so that February 29 passes.
bool isCalendarDay(int year, int month, int day, qsizetype yearDigits) {
    if (yearDigits == 0) {
        year = 2000;
    } else if (yearDigits <= 2) {
        year += year < 30 ? 2000 : 1900;
    }
    return year >= 100 && year <= 9999 && QDate(year, month, day).isValid();
}

bool isDatePart(const QString& text) {
    static const QRegularExpression numeric(QStringLiteral(R"(^(\d{1,4})([-/.])(\d{1,2})(?:\2(\d{1,4}))?$)"));
    static const QRegularExpression dayMonth(
        QStringLiteral(R"(^(\d{1,2})[-/ ]+([A-Za-z]+)\.?(?:[-/ ,]+(\d{1,4}))?$)"));
    static const QRegularExpression monthDay(
        QStringLiteral(R"(^([A-Za-z]+)\.?[-/ ]+(\d{1,2})(?:[-/ ,]+(\d{1,4}))?$)"));
    QRegularExpressionMatch match = numeric.match(text);
    if (match.hasMatch()) {
        const QString first = match.captured(1);
        const int second = match.captured(3).toInt();
        if (first.size() > 2) {
            // Year first: y-m-d.
            return match.hasCaptured(4) && match.captured(4).size() <= 2 &&
                   isCalendarDay(first.toInt(), second, match.captured(4).toInt(), first.size());
        }
        const QString year = match.captured(4);
        // Month first as the engine reads dates, or day first when the month cannot be one.
        return isCalendarDay(year.toInt(), first.toInt(), second, year.size()) ||
               isCalendarDay(year.toInt(), second, first.toInt(), year.size());
    }
    match = dayMonth.match(text);
    if (match.hasMatch()) {
        return isCalendarDay(match.captured(3).toInt(), monthNumber(match.captured(2)),
                             match.captured(1).toInt(), match.captured(3).size());
    }
    match = monthDay.match(text);
    if (match.hasMatch()) {
        return isCalendarDay(match.captured(3).toInt(), monthNumber(match.captured(1)),
                             match.captured(2).toInt(), match.captured(3).size());
    }
    return false;
}

// Whether the text between two "#" is a date, a time of day, or both.
bool isDateLiteral(QStringView literal) {
    static const QRegularExpression time(
        QStringLiteral(R"((?:^|\s)(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*([AP]M?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = literal.trimmed().toString();
    const QRegularExpressionMatch match = time.match(text);
    if (match.hasMatch() && (match.hasCaptured(2) || match.hasCaptured(4))) {
        const int hour = match.captured(1).toInt();
        const bool twelveHour = match.hasCaptured(4);
        if ((twelveHour && (hour < 1 || hour > 12)) || hour > 23 || match.captured(2).toInt() > 59 ||
            match.captured(3).toInt() > 59) {
            return false;
        }
        text = text.left(match.capturedStart()).trimmed();
        if (text.isEmpty()) {
            return true;
        }
    }
    return isDatePart(text);
}

QVariant nullIfEmpty(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

}  // namespace

Parser::Nesting::Nesting(Parser& parser) : mParser(parser) {
    if (++mParser.mDepth > kMaxDepth) {
        mParser.fail(QStringLiteral("Query is too complex."));
    }
}

Parser::Parser(const QString& sql) : mSql(sql), mTokens(tokenize(sql)), mMatch(mTokens.size(), kNone) {
    // Pairs every parenthesis once, so that the FROM clause can tell a query from a join without trying both.
    std::vector<size_t> open;
    for (size_t i = 0; i < mTokens.size(); ++i) {
        const Token& token = mTokens[i];
        if (token.kind != TokenKind::Symbol) {
            continue;
        }
        if (mSql[token.start] == u'(') {
            open.push_back(i);
        } else if (mSql[token.start] == u')' && !open.empty()) {
            mMatch[open.back()] = i;
            open.pop_back();
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Statements

Query Parser::parse() {
    if (peek().kind == TokenKind::End || (atSymbol(u";") && peek(1).kind == TokenKind::End)) {
        failStatement();
    }
    for (const Token& token : mTokens) {
        if (token.kind == TokenKind::Bracketed && token.end - token.start == 2) {
            throw host::Error(3075, QStringLiteral("Invalid bracketing of name '[]'."), kSource);
        }
    }
    Query query;
    if (acceptKeyword(Keyword::Parameters)) {
        parseParameters(query);
    } else if (acceptKeyword(Keyword::Procedure)) {
        // PROCEDURE name [parameter type, ...]; statement: the older way of declaring parameters.
        if (!atName()) {
            fail(QStringLiteral("Syntax error in PROCEDURE clause."));
        }
        ++mPos;
        if (!acceptSymbol(u";")) {
            parseParameters(query);
        }
    }
    if (atQueryStart()) {
        parseQueryExpression(query, query.tree->query);
    } else if (atKeyword(Keyword::Transform)) {
        parseCrosstab(query);
    } else if (atKeyword(Keyword::Insert)) {
        parseAppend(query);
    } else if (atKeyword(Keyword::Update)) {
        parseUpdate(query);
    } else if (atKeyword(Keyword::Delete)) {
        parseDelete(query);
    } else if ((atKeyword(Keyword::Create) || atKeyword(Keyword::Alter) || atKeyword(Keyword::Drop)) &&
               query.parameters.empty()) {
        // A data definition takes no parameters: the engine would have nowhere to keep them.
        parseDataDefinition(query);
    } else {
        failStatement();
    }
    if (query.kind != StatementKind::DataDefinition && acceptKeyword(Keyword::With)) {
        if (!acceptKeyword(Keyword::OwnerAccess) || !acceptKeyword(Keyword::Option)) {
            fail(QStringLiteral("Syntax error in WITH OWNERACCESS OPTION declaration."));
        }
        query.flags |= QueryFlag::OwnerAccess;
    }
    acceptSymbol(u";");
    if (peek().kind != TokenKind::End) {
        fail(QStringLiteral("Characters found after end of SQL statement."));
    }
    return query;
}

void Parser::parseParameters(Query& query) {
    do {
        if (!atName()) {
            fail(kParameterMessage);
        }
        // A parameter may be named after a control of a form: [Forms]![Orders]![OrderDate] is kept, as the
        // real engine keeps it, without its brackets: Forms!Orders!OrderDate.
        QString name = takeName();
        while ((atSymbol(u"!") || atSymbol(u".")) && atName(1)) {
            name += textOf(mPos, mPos + 1);
            ++mPos;
            name += takeName();
        }
        const int code = peek().kind == TokenKind::Word ? dataTypeCode(textOf(mPos, mPos + 1)) : -1;
        if (code < 0) {
            fail(kParameterMessage);
        }
        ++mPos;
        if (acceptSymbol(u"(")) {
            do {
                if (peek().kind != TokenKind::Number) {
                    fail(kParameterMessage);
                }
                ++mPos;
            } while (acceptSymbol(u","));
            if (!acceptSymbol(u")")) {
                fail(kParameterMessage);
            }
        }
        for (const CatalogueRow& declared : query.parameters) {
            if (declared.name1.toString().compare(name, Qt::CaseInsensitive) == 0) {
                throw host::Error(3075, QStringLiteral("Duplicate parameter name '%1'.").arg(name), kSource);
            }
        }
        query.parameters.push_back({2, code, name, {}, {}});
        query.tree->parameters.push_back({name, code});
    } while (acceptSymbol(u","));
    if (!acceptSymbol(u";")) {
        fail(kParameterMessage);
    }
}

// A query expression: one query term, or a union of several, with the ORDER BY that belongs to the whole.
void Parser::parseQueryExpression(Query& query, QueryNode& node) {
    node.terms.emplace_back();
    const QString first = parseQueryTerm(query, node.terms.back());
    const int width = mTermWidth;
    if (atKeyword(Keyword::Union)) {
        auto refuseTable = [this](const Query& part, const QString& sql) {
            if (part.kind == StatementKind::MakeTable) {
                fail(QStringLiteral("SELECT INTO cannot be part of a union query: '%1'.").arg(sql));
            }
        };
        refuseTable(query, first);
        Query unionQuery;
        unionQuery.tree = query.tree;
        unionQuery.kind = StatementKind::Union;
        unionQuery.parameters = std::move(query.parameters);
        // Each part is a source under a generated alias ending in its number: the catalogue readers find
        // the first part by that last character.
        int part = 1;
        auto addPart = [&](const QString& sql) {
            unionQuery.sources.push_back({5, {}, {}, QStringLiteral("%$##@_Alias%1").arg(part++), sql});
        };
        addPart(first);
        bool everyAll = true;
        while (acceptKeyword(Keyword::Union)) {
            const bool all = acceptKeyword(Keyword::All);
            everyAll = everyAll && all;
            node.all.push_back(all);
            node.terms.emplace_back();
            Query part;
            // Let the part's own INTO through, so that the message can name the whole part.
            mIntoAllowed = mContext == Context::Statement;
            const QString sql = parseQueryTerm(part, node.terms.back());
            mIntoAllowed = false;
            refuseTable(part, sql);
            addPart(sql);
        }
        // As the real engine marks a union: 3 when duplicates are removed, 1 when every part is joined
        // with UNION ALL.
        unionQuery.flags |= everyAll ? QueryFlag::UnionAll : QueryFlag::UnionDistinct;
        query = std::move(unionQuery);
    }
    if (atKeyword(Keyword::Order)) {
        parseOrderBy(query, node.orderBy);
    }
    mTermWidth = width;
}

// One part of a query expression; gives its text without enclosing parentheses.
QString Parser::parseQueryTerm(Query& query, QueryTerm& term) {
    const size_t start = mPos;
    if (acceptSymbol(u"(")) {
        // Only this way round does a term hold another without a FROM clause between them.
        Nesting nesting(*this);
        const size_t first = mPos;
        term.nested = std::make_shared<QueryNode>();
        parseQueryExpression(query, *term.nested);
        if (!atSymbol(u")")) {
            fail(kIncompleteMessage);
        }
        const QString sql = textOf(first, mPos);
        ++mPos;
        return sql;
    }
    if (atKeyword(Keyword::Select)) {
        term.select.emplace();
        parseSelectCore(query, *term.select);
        return textOf(start, mPos);
    }
    if (acceptKeyword(Keyword::Table)) {
        // TABLE name: every field of one table.
        if (!atName()) {
            fail(kIncompleteMessage);
        }
        term.table = takeName();
        query.sources.push_back({5, {}, term.table, {}, {}});
        query.flags |= QueryFlag::AllFields;
        mTermWidth = -1;
        return textOf(start, mPos);
    }
    fail(kIncompleteMessage);
}

void Parser::parseSelectCore(Query& query, SelectNode& node) {
    const bool intoAllowed = mIntoAllowed;
    mIntoAllowed = false;
    ++mPos;  // SELECT
    if (acceptKeyword(Keyword::Distinct)) {
        query.flags |= QueryFlag::Distinct;
        node.distinct = true;
    } else if (acceptKeyword(Keyword::DistinctRow)) {
        query.flags |= QueryFlag::DistinctRow;
        node.distinctRow = true;
    } else {
        acceptKeyword(Keyword::All);
    }
    if (acceptKeyword(Keyword::Top)) {
        if (peek().kind != TokenKind::Number) {
            fail(kSelectMessage);
        }
        query.top = textOf(mPos, mPos + 1);
        node.top = query.top;
        ++mPos;
        query.flags |= QueryFlag::Top;
        if (acceptKeyword(Keyword::Percent)) {
            query.flags |= QueryFlag::Percent;
            node.percent = true;
        }
    }
    parseSelectList(query, node);
    if (atKeyword(Keyword::Into)) {
        if (!intoAllowed) {
            if (mContext == Context::DerivedTable) {
                fail(kFromMessage);
            }
            if (mContext == Context::Subquery) {
                mExpressionStart = mSubqueryStart;
                failExpression();
            }
            fail(kIncompleteMessage);
        }
        parseInto(query);
        node.into = query.target;
    }
    if (acceptKeyword(Keyword::From)) {
        parseFromList(query, node.from);
    }
    if (acceptKeyword(Keyword::Where)) {
        query.where = parseTopExpression();
        node.where = std::move(mExpression);
        if (!atClauseEnd({Keyword::Group, Keyword::Having, Keyword::Order, Keyword::Union, Keyword::With,
                          Keyword::Pivot})) {
            failExpression();
        }
    }
    if (acceptKeyword(Keyword::Group)) {
        if (!acceptKeyword(Keyword::By)) {
            fail(QStringLiteral("Syntax error in GROUP BY clause."));
        }
        do {
            query.groupBy.push_back({9, {}, {}, {}, parseTopExpression()});
            node.groupBy.push_back(std::move(mExpression));
        } while (acceptSymbol(u","));
        if (!atClauseEnd({Keyword::Having, Keyword::Order, Keyword::Union, Keyword::With, Keyword::Pivot})) {
            failExpression();
        }
        if (query.flags & QueryFlag::AllFields) {
            fail(QStringLiteral("Cannot group on fields selected with '*'."));
        }
        for (const CatalogueRow& column : query.columns) {
            const QString expression = column.expression.toString();
            if (expression.endsWith(u'*')) {
                fail(QStringLiteral("Cannot group on fields selected with '%1'.").arg(expression));
            }
        }
    }
    if (acceptKeyword(Keyword::Having)) {
        query.having = parseTopExpression();
        node.having = std::move(mExpression);
        if (!atClauseEnd({Keyword::Order, Keyword::Union, Keyword::With, Keyword::Pivot})) {
            failExpression();
        }
    }
    mTermWidth = static_cast<int>(query.columns.size());
    for (const CatalogueRow& column : query.columns) {
        if (column.expression.toString().endsWith(u'*')) {
            mTermWidth = -1;
        }
    }
    if (query.flags & QueryFlag::AllFields) {
        mTermWidth = -1;
    }
}

void Parser::parseSelectList(Query& query, SelectNode& node) {
    const std::initializer_list<Keyword> followers = {Keyword::From,  Keyword::Into,   Keyword::Where,
                                                      Keyword::Group, Keyword::Having, Keyword::Order,
                                                      Keyword::Union, Keyword::With,   Keyword::Pivot};
    QStringList aliases;
    do {
        if (atClauseEnd(followers) || atSymbol(u",")) {
            fail(kSelectMessage);
        }
        if (atSymbol(u"*")) {
            mExpressionStart = mPos++;
            query.flags |= QueryFlag::AllFields;
            node.items.push_back({Expr{Expr::Kind::Star}, {}, true});
            continue;
        }
        const size_t start = mPos;
        const QString expression = parseTopExpression();
        SelectItem item{std::move(mExpression), {}, false};
        QString outputName = referencedField(start, mPos);
        QVariant alias;
        if (acceptKeyword(Keyword::As)) {
            if (!atName()) {
                failExpression();
            }
            outputName = takeName();
            if (aliases.contains(outputName, Qt::CaseInsensitive)) {
                fail(QStringLiteral("Duplicate output alias '%1'.").arg(outputName));
            }
            aliases << outputName;
            alias = outputName;
            item.alias = outputName;
        }
        node.items.push_back(std::move(item));
        query.columns.push_back({6, {}, alias, {}, expression});
        query.outputNames.push_back(outputName);
    } while (acceptSymbol(u","));
    if (!atClauseEnd(followers)) {
        failExpression();
    }
}

void Parser::parseInto(Query& query) {
    ++mPos;  // INTO
    if (!atName()) {
        fail(kIncompleteMessage);
    }
    query.target = takeName();
    query.kind = StatementKind::MakeTable;
    if (acceptKeyword(Keyword::In)) {
        // IN 'file' or IN '' [connect string]: another database.
        if (peek().kind != TokenKind::Text) {
            fail(kIncompleteMessage);
        }
        query.targetDatabase = unquote(textOf(mPos, mPos + 1));
        ++mPos;
        if (peek().kind == TokenKind::Text || peek().kind == TokenKind::Bracketed) {
            if (query.targetDatabase.isEmpty()) {
                query.targetDatabase =
                    peek().kind == TokenKind::Text ? unquote(textOf(mPos, mPos + 1)) : nameText(peek());
            }
            ++mPos;
        }
    }
}

void Parser::parseOrderBy(Query& query, std::vector<OrderItem>& items) {
    ++mPos;  // ORDER
    if (!acceptKeyword(Keyword::By)) {
        fail(QStringLiteral("Syntax error in ORDER BY clause."));
    }
    do {
        const QString expression = parseTopExpression();
        QVariant descending;
        if (acceptKeyword(Keyword::Desc)) {
            descending = QStringLiteral("D");
        } else {
            acceptKeyword(Keyword::Asc);
        }
        items.push_back({std::move(mExpression), descending.isValid()});
        query.orderBy.push_back({11, {}, descending, {}, expression});
    } while (acceptSymbol(u","));
    if (!atClauseEnd({Keyword::With, Keyword::Pivot})) {
        failExpression();
    }
}

void Parser::parseCrosstab(Query& query) {
    ++mPos;  // TRANSFORM
    if (atClauseEnd({Keyword::Select})) {
        fail(kTransformMessage);
    }
    const QString value = parseTopExpression();
    StatementTree& tree = *query.tree;
    tree.transform = std::move(mExpression);
    QVariant alias;
    if (acceptKeyword(Keyword::As)) {
        if (!atName()) {
            failExpression();
        }
        alias = takeName();
        tree.transformAlias = alias.toString();
    }
    if (!atKeyword(Keyword::Select)) {
        fail(kTransformMessage);
    }
    tree.query.terms.emplace_back();
    tree.query.terms.back().select.emplace();
    parseSelectCore(query, *tree.query.terms.back().select);
    if (query.kind != StatementKind::Select) {
        fail(kTransformMessage);
    }
    if (atKeyword(Keyword::Order)) {
        parseOrderBy(query, tree.query.orderBy);
    }
    if (!acceptKeyword(Keyword::Pivot)) {
        fail(kTransformMessage);
    }
    // The pivot expression stops before IN, which starts its list of column headings.
    const size_t pivotStart = mPos;
    mExpressionStart = pivotStart;
    tree.pivot = parseConcat();
    const QString pivot = textOf(pivotStart, mPos);
    if (acceptKeyword(Keyword::In)) {
        if (!acceptSymbol(u"(")) {
            failExpression();
        }
        do {
            parseTopExpression();
            tree.pivotIn.push_back(std::move(mExpression));
        } while (acceptSymbol(u","));
        expectCloseParenthesis();
    }
    if (atKeyword(Keyword::Order) && query.orderBy.empty()) {
        parseOrderBy(query, tree.query.orderBy);
    }
    if (!atClauseEnd({Keyword::With})) {
        failExpression();
    }
    query.kind = StatementKind::Crosstab;
    query.columns.push_back({6, CrosstabColumn::Value, alias, {}, value});
    query.columns.push_back({6, CrosstabColumn::Pivot, {}, {}, pivot});
}

void Parser::parseAppend(Query& query) {
    ++mPos;  // INSERT
    if (!acceptKeyword(Keyword::Into) || !atName()) {
        fail(kInsertMessage);
    }
    query.target = takeName();
    if (acceptKeyword(Keyword::In)) {
        if (peek().kind != TokenKind::Text) {
            fail(kInsertMessage);
        }
        query.targetDatabase = unquote(textOf(mPos, mPos + 1));
        ++mPos;
    }
    std::vector<QString> fields;
    const bool haveFields = atSymbol(u"(") && !atKeyword(Keyword::Select, 1);
    if (haveFields) {
        ++mPos;
        do {
            if (!atName()) {
                fail(kInsertMessage);
            }
            fields.push_back(takeName());
            query.tree->fields << fields.back();
        } while (acceptSymbol(u","));
        if (!acceptSymbol(u")")) {
            fail(kInsertMessage);
        }
    }
    if (acceptKeyword(Keyword::Values)) {
        if (!acceptSymbol(u"(")) {
            fail(kInsertMessage);
        }
        query.tree->hasValues = true;
        do {
            query.columns.push_back({6, {}, {}, {}, parseTopExpression()});
            query.tree->values.push_back(std::move(mExpression));
        } while (acceptSymbol(u","));
        expectCloseParenthesis();
    } else if (atKeyword(Keyword::Select)) {
        QueryNode& node = query.tree->query;
        node.terms.emplace_back();
        node.terms.back().select.emplace();
        parseSelectCore(query, *node.terms.back().select);
        if (query.kind != StatementKind::Select) {
            fail(kInsertMessage);
        }
        if (atKeyword(Keyword::Order)) {
            parseOrderBy(query, node.orderBy);
        }
    } else {
        fail(kInsertMessage);
    }
    query.kind = StatementKind::Append;
    if (!haveFields) {
        // Without a field list every column goes to the target field of its own name.
        for (size_t i = 0; i < query.outputNames.size(); ++i) {
            query.columns[i].name1 = nullIfEmpty(query.outputNames[i]);
        }
    } else if (!(query.flags & QueryFlag::AllFields)) {
        if (fields.size() != query.columns.size()) {
            fail(QStringLiteral("Number of query values and destination fields are not the same."));
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            query.columns[i].name1 = fields[i];
        }
    }
}

void Parser::parseUpdate(Query& query) {
    ++mPos;  // UPDATE
    if (acceptKeyword(Keyword::DistinctRow)) {
        query.flags |= QueryFlag::DistinctRow;
    }
    if (atClauseEnd({Keyword::Set})) {
        fail(kUpdateMessage);
    }
    StatementTree& tree = *query.tree;
    parseFromList(query, tree.changes.from);
    if (!acceptKeyword(Keyword::Set)) {
        fail(kUpdateMessage);
    }
    do {
        const size_t start = mPos;
        mExpressionStart = start;
        if (!atName()) {
            failExpression();
        }
        Expr target = parseNameChain();
        const QString field = textOf(start, mPos);
        if (!acceptSymbol(u"=")) {
            failExpression();
        }
        query.columns.push_back({6, {}, field, {}, parseTopExpression()});
        tree.set.emplace_back(std::move(target), std::move(mExpression));
    } while (acceptSymbol(u","));
    if (acceptKeyword(Keyword::Where)) {
        query.where = parseTopExpression();
        tree.changes.where = std::move(mExpression);
    }
    if (!atClauseEnd({Keyword::With})) {
        failExpression();
    }
    query.kind = StatementKind::Update;
}

void Parser::parseDelete(Query& query) {
    ++mPos;  // DELETE
    if (acceptKeyword(Keyword::DistinctRow)) {
        query.flags |= QueryFlag::DistinctRow;
    }
    if (atClauseEnd({})) {
        fail(kDeleteMessage);
    }
    if (acceptSymbol(u"*")) {
        query.flags |= QueryFlag::AllFields;
    } else if (!atKeyword(Keyword::From)) {
        do {
            query.columns.push_back({6, {}, {}, {}, parseTopExpression()});
            query.tree->deleteItems.push_back(std::move(mExpression));
        } while (acceptSymbol(u","));
        if (!atKeyword(Keyword::From)) {
            failExpression();
        }
    }
    if (!acceptKeyword(Keyword::From)) {
        fail(kDeleteMessage);
    }
    parseFromList(query, query.tree->changes.from);
    if (acceptKeyword(Keyword::Where)) {
        query.where = parseTopExpression();
        query.tree->changes.where = std::move(mExpression);
    }
    if (!atClauseEnd({Keyword::With})) {
        failExpression();
    }
    query.kind = StatementKind::Delete;
}

// CREATE, ALTER and DROP: the catalogue keeps nothing of their structure, so they are only checked for an
// object kind, a name and balanced parentheses.
void Parser::parseDataDefinition(Query& query) {
    const Keyword verb = peek().keyword;
    const QString message =
        verb == Keyword::Create  ? QStringLiteral("Syntax error in CREATE TABLE statement.")
        : verb == Keyword::Alter ? QStringLiteral("Syntax error in ALTER TABLE statement.")
                                 : QStringLiteral("Syntax error in DROP TABLE or DROP INDEX.");
    ++mPos;
    if (verb == Keyword::Create && peek().kind == TokenKind::Word &&
        textOf(mPos, mPos + 1).compare(QLatin1String("UNIQUE"), Qt::CaseInsensitive) == 0) {
        ++mPos;
    }
    if (peek().kind != TokenKind::Word || !atName(1)) {
        fail(message);
    }
    mPos += 2;
    int depth = 0;
    while (peek().kind != TokenKind::End && !(depth == 0 && atSymbol(u";"))) {
        if (peek().kind == TokenKind::Unterminated) {
            failUnterminated(mPos);
        }
        if (atSymbol(u"]")) {
            fail(message);
        }
        if (atSymbol(u"(")) {
            ++depth;
        } else if (atSymbol(u")") && --depth < 0) {
            fail(message);
        }
        ++mPos;
    }
    if (depth != 0) {
        fail(message);
    }
    query.kind = StatementKind::DataDefinition;
}

// ---------------------------------------------------------------------------------------------------------
// FROM clause

void Parser::parseFromList(Query& query, std::vector<FromNode>& items) {
    SourceNames names;
    do {
        items.emplace_back();
        const SourceNames item = parseFromItem(query, items.back());
        names.insert(names.end(), item.begin(), item.end());
    } while (acceptSymbol(u","));
    checkDistinctNames(names);
    if (!atClauseEnd({Keyword::Where, Keyword::Group, Keyword::Having, Keyword::Order, Keyword::Union,
                      Keyword::With, Keyword::Pivot, Keyword::Set})) {
        fail(kFromMessage);
    }
}

Parser::SourceNames Parser::parseFromItem(Query& query, FromNode& node) {
    SourceNames names = parseJoinOperand(query, node);
    size_t conditionStart = kNone;
    while (true) {
        int kind = 0;
        if (acceptKeyword(Keyword::Inner)) {
            kind = 1;
        } else if (acceptKeyword(Keyword::Left)) {
            kind = 2;
        } else if (acceptKeyword(Keyword::Right)) {
            kind = 3;
        } else {
            break;
        }
        if (conditionStart != kNone) {
            // A third source needs parentheses around the first join, as the engine demands.
            failChainedJoin(conditionStart);
        }
        if (kind != 1) {
            acceptKeyword(Keyword::Outer);
        }
        if (!acceptKeyword(Keyword::Join)) {
            fail(kJoinMessage);
        }
        FromNode join;
        join.kind = FromNode::Kind::Join;
        join.join = kind;
        join.left = std::make_shared<FromNode>(std::move(node));
        join.right = std::make_shared<FromNode>();
        SourceNames right = parseJoinOperand(query, *join.right);
        if (!acceptKeyword(Keyword::On)) {
            fail(kJoinMessage);
        }
        std::vector<QString> qualifiers;
        std::vector<QString>* const outer = mQualifiers;
        mQualifiers = &qualifiers;
        conditionStart = mPos;
        const QString condition = parseTopExpression();
        join.on = std::move(mExpression);
        node = std::move(join);
        mQualifiers = outer;
        query.joins.push_back({7, kind, pickJoinName(names, qualifiers, true),
                               pickJoinName(right, qualifiers, false), condition});
        names.insert(names.end(), right.begin(), right.end());
    }
    return names;
}

Parser::SourceNames Parser::parseJoinOperand(Query& query, FromNode& node) {
    Nesting nesting(*this);
    if (atSymbol(u"(")) {
        // A derived table, or a parenthesised part of the FROM clause; "((SELECT" may start either.
        if (startsParenthesisedQuery(mPos)) {
            const Context context = mContext;
            mContext = Context::DerivedTable;
            ++mPos;
            const size_t first = mPos;
            Query inner;
            node.kind = FromNode::Kind::Derived;
            node.query = std::make_shared<QueryNode>();
            parseQueryExpression(inner, *node.query);
            mContext = context;
            if (!atSymbol(u")")) {
                fail(kFromMessage);
            }
            const QString sql = textOf(first, mPos);
            ++mPos;
            return parseDerivedTable(query, sql, node);
        }
        ++mPos;
        SourceNames names = parseFromItem(query, node);
        if (!acceptSymbol(u")")) {
            fail(kFromMessage);
        }
        return names;
    }
    const Token& token = peek();
    if (token.kind == TokenKind::Bracketed && atSymbol(u".", 1)) {
        // [SELECT ...]. AS X: the host's own way of writing a derived table.
        const QString inner = nameText(token).trimmed();
        if (inner.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) && inner.size() > 6 &&
            inner[6].isSpace()) {
            StatementKind kind = StatementKind::Select;
            try {
                Query parsed = Parser(inner).parse();
                kind = parsed.kind;
                node.kind = FromNode::Kind::Derived;
                node.query = std::make_shared<QueryNode>(std::move(parsed.tree->query));
            } catch (const host::Error&) {
                fail(kFromMessage);
            }
            if (kind != StatementKind::Select && kind != StatementKind::Union) {
                fail(kFromMessage);
            }
            mPos += 2;
            return parseDerivedTable(query, inner, node);
        }
    }
    if (!atName()) {
        fail(kFromMessage);
    }
    QString name = takeName();
    while (atSymbol(u".") && atName(1)) {
        ++mPos;
        name += u'.' + takeName();
    }
    node.name = name;
    if (atKeyword(Keyword::In) && peek(1).kind == TokenKind::Text) {
        // A table of another database; the catalogue keeps only its name.
        node.external = true;
        mPos += 2;
        if (peek().kind == TokenKind::Text || peek().kind == TokenKind::Bracketed) {
            ++mPos;
        }
    }
    const QString alias = parseAlias();
    node.alias = alias;
    query.sources.push_back({5, {}, name, nullIfEmpty(alias), {}});
    return {alias.isEmpty() ? name : alias};
}

Parser::SourceNames Parser::parseDerivedTable(Query& query, QString sql, FromNode& node) {
    QString alias = parseAlias();
    if (alias.isEmpty()) {
        // The catalogue readers only follow derived tables that have a name.
        alias = generatedAlias();
    }
    node.alias = alias;
    query.sources.push_back({5, {}, {}, alias, std::move(sql)});
    return {alias};
}

// Whether the parenthesis at `open` encloses a query rather than a part of a FROM clause. Decided from the
// pairs of parentheses alone: after its first parenthesised group a query goes on with UNION, ORDER BY or
// its end, a FROM part with an alias or a join. Trying one reading and then the other would double the work
// at every level of nesting.
bool Parser::startsParenthesisedQuery(size_t open) const {
    // Offsets from the current token, as peek() takes them; `open` is never before it.
    for (size_t pos = open - mPos;; ++pos) {
        if (atKeyword(Keyword::Select, pos + 1) || atKeyword(Keyword::Table, pos + 1)) {
            return true;
        }
        if (!atSymbol(u"(", pos + 1)) {
            return false;
        }
        const size_t close = mMatch[mPos + pos + 1];
        if (close == kNone) {
            return false;
        }
        const size_t after = close - mPos + 1;
        if (atKeyword(Keyword::Union, after) || atKeyword(Keyword::Order, after)) {
            return true;
        }
        if (!atSymbol(u")", after) || mMatch[mPos + pos] != close + 1) {
            return false;
        }
    }
}

// The engine refuses two sources of one FROM clause under the same name.
void Parser::checkDistinctNames(const SourceNames& names) const {
    QSet<QString> seen;
    for (const QString& name : names) {
        const QString key = name.toCaseFolded();
        if (seen.contains(key)) {
            throw host::Error(3075, QStringLiteral("Can't repeat table name '%1' in FROM clause.").arg(name),
                              kSource);
        }
        seen.insert(key);
    }
}

// A join written after another without parentheses: the engine reads the rest of the clause as one broken
// ON condition, and says so.
void Parser::failChainedJoin(size_t conditionStart) const {
    size_t end = conditionStart;
    int depth = 0;
    for (; end + 1 < mTokens.size(); ++end) {
        const Token& token = mTokens[end];
        if (token.kind == TokenKind::Word && depth == 0) {
            const Keyword keyword = token.keyword;
            if (keyword == Keyword::Where || keyword == Keyword::Group || keyword == Keyword::Having ||
                keyword == Keyword::Order || keyword == Keyword::Union || keyword == Keyword::With ||
                keyword == Keyword::Pivot || keyword == Keyword::Set) {
                break;
            }
        }
        if (token.kind == TokenKind::Symbol) {
            const QChar c = mSql[token.start];
            if (c == u'(') {
                ++depth;
            } else if (c == u')' && depth-- == 0) {
                break;
            } else if ((c == u',' && depth == 0) || c == u';') {
                break;
            }
        }
    }
    throw host::Error(3075,
                      QStringLiteral("Syntax error (missing operator) in query expression '%1'.")
                          .arg(textOf(conditionStart, end)),
                      kSource);
}

QString Parser::parseAlias() {
    if (acceptKeyword(Keyword::As)) {
        if (!atName()) {
            fail(kFromMessage);
        }
        return takeName();
    }
    return atName() ? takeName() : QString();
}

// The source a join row names on one side: the one the ON condition qualifies its fields with, else the
// nearest one to the join.
QString Parser::pickJoinName(const SourceNames& names, const std::vector<QString>& qualifiers,
                             bool last) const {
    for (const QString& name : names) {
        for (const QString& qualifier : qualifiers) {
            if (name.compare(qualifier, Qt::CaseInsensitive) == 0) {
                return name;
            }
        }
    }
    return last ? names.back() : names.front();
}

QString Parser::generatedAlias() {
    const QString alias = QStringLiteral("%$##@_Alias");
    return ++mGeneratedAliases == 1 ? alias : alias + u'_' + QString::number(mGeneratedAliases);
}

// ---------------------------------------------------------------------------------------------------------
// Expressions, from the loosest operator to the tightest. Only their extent matters: the catalogue keeps
// them as written.

QString Parser::parseTopExpression() {
    const size_t start = mPos;
    mExpressionStart = start;
    mExpression = parseExpression();
    return textOf(start, mPos);
}

Expr Parser::binary(QString op, Expr left, Expr right) const {
    Expr node{Expr::Kind::Binary};
    node.op = std::move(op);
    node.operands.push_back(std::move(left));
    node.operands.push_back(std::move(right));
    return node;
}

Expr Parser::parseExpression() {
    Expr left = parseEqv();
    while (acceptKeyword(Keyword::Imp)) {
        left = binary(QStringLiteral("IMP"), std::move(left), parseEqv());
    }
    return left;
}

Expr Parser::parseEqv() {
    Expr left = parseXor();
    while (acceptKeyword(Keyword::Eqv)) {
        left = binary(QStringLiteral("EQV"), std::move(left), parseXor());
    }
    return left;
}

Expr Parser::parseXor() {
    Expr left = parseOr();
    while (acceptKeyword(Keyword::Xor)) {
        left = binary(QStringLiteral("XOR"), std::move(left), parseOr());
    }
    return left;
}

Expr Parser::parseOr() {
    Expr left = parseAnd();
    while (acceptKeyword(Keyword::Or)) {
        left = binary(QStringLiteral("OR"), std::move(left), parseAnd());
    }
    return left;
}

Expr Parser::parseAnd() {
    Expr left = parseNot();
    while (acceptKeyword(Keyword::And)) {
        left = binary(QStringLiteral("AND"), std::move(left), parseNot());
    }
    return left;
}

Expr Parser::parseNot() {
    int count = 0;
    while (acceptKeyword(Keyword::Not)) {
        ++count;
    }
    Expr operand = parseComparison();
    for (int i = 0; i < count; ++i) {
        Expr node{Expr::Kind::Unary};
        node.op = QStringLiteral("NOT");
        node.operands.push_back(std::move(operand));
        operand = std::move(node);
    }
    return operand;
}

Expr Parser::parseComparison() {
    Expr left = parseConcat();
    while (true) {
        if (peek().kind == TokenKind::Symbol) {
            const Token& token = peek();
            const QStringView op = QStringView(mSql).sliced(token.start, token.end - token.start);
            if (op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<=" || op == u">=") {
                ++mPos;
                left = binary(op.toString(), std::move(left), parseConcat());
                continue;
            }
            return left;
        }
        const size_t negated = atKeyword(Keyword::Not) ? 1 : 0;
        if (atKeyword(Keyword::Like, negated)) {
            mPos += negated + 1;
            left = binary(QStringLiteral("LIKE"), std::move(left), parseConcat());
            left.negated = negated != 0;
        } else if (atKeyword(Keyword::Between, negated)) {
            mPos += negated + 1;
            Expr node{Expr::Kind::Between};
            node.negated = negated != 0;
            node.operands.push_back(std::move(left));
            node.operands.push_back(parseConcat());
            if (!acceptKeyword(Keyword::And)) {
                failExpression();
            }
            node.operands.push_back(parseConcat());
            left = std::move(node);
        } else if (atKeyword(Keyword::In, negated)) {
            mPos += negated + 1;
            if (!acceptSymbol(u"(")) {
                failExpression();
            }
            Nesting nesting(*this);
            Expr node{Expr::Kind::In};
            node.negated = negated != 0;
            node.operands.push_back(std::move(left));
            if (atKeyword(Keyword::Select)) {
                node.query = parseSubquery(true);
            } else {
                do {
                    node.operands.push_back(parseExpression());
                } while (acceptSymbol(u","));
            }
            expectCloseParenthesis();
            left = std::move(node);
        } else if (negated == 0 && acceptKeyword(Keyword::Is)) {
            Expr node{Expr::Kind::IsNull};
            node.negated = acceptKeyword(Keyword::Not);
            if (!acceptKeyword(Keyword::Null)) {
                failExpression();
            }
            node.operands.push_back(std::move(left));
            left = std::move(node);
        } else {
            return left;
        }
    }
}

Expr Parser::parseConcat() {
    Expr left = parseAdditive();
    while (acceptSymbol(u"&")) {
        left = binary(QStringLiteral("&"), std::move(left), parseAdditive());
    }
    return left;
}

Expr Parser::parseAdditive() {
    Expr left = parseMod();
    while (atSymbol(u"+") || atSymbol(u"-")) {
        const QString op = atSymbol(u"+") ? QStringLiteral("+") : QStringLiteral("-");
        ++mPos;
        left = binary(op, std::move(left), parseMod());
    }
    return left;
}

Expr Parser::parseMod() {
    Expr left = parseIntegerDivision();
    while (acceptKeyword(Keyword::Mod)) {
        left = binary(QStringLiteral("MOD"), std::move(left), parseIntegerDivision());
    }
    return left;
}

Expr Parser::parseIntegerDivision() {
    Expr left = parseMultiplicative();
    while (acceptSymbol(u"\\")) {
        left = binary(QStringLiteral("\\"), std::move(left), parseMultiplicative());
    }
    return left;
}

Expr Parser::parseMultiplicative() {
    Expr left = parseUnary();
    while (atSymbol(u"*") || atSymbol(u"/")) {
        const QString op = atSymbol(u"*") ? QStringLiteral("*") : QStringLiteral("/");
        ++mPos;
        left = binary(op, std::move(left), parseUnary());
    }
    return left;
}

Expr Parser::parseUnary() {
    // Signs bind looser than ^: -2^2 is -(2^2).
    QStringList signs;
    while (atSymbol(u"-") || atSymbol(u"+")) {
        signs << (atSymbol(u"-") ? QStringLiteral("-") : QStringLiteral("+"));
        ++mPos;
    }
    Expr value = parsePrimary();
    while (acceptSymbol(u"^")) {
        QStringList exponentSigns;
        while (atSymbol(u"-") || atSymbol(u"+")) {
            exponentSigns << (atSymbol(u"-") ? QStringLiteral("-") : QStringLiteral("+"));
            ++mPos;
        }
        Expr exponent = parsePrimary();
        for (qsizetype i = exponentSigns.size() - 1; i >= 0; --i) {
            Expr node{Expr::Kind::Unary};
            node.op = exponentSigns[i];
            node.operands.push_back(std::move(exponent));
            exponent = std::move(node);
        }
        value = binary(QStringLiteral("^"), std::move(value), std::move(exponent));
    }
    for (qsizetype i = signs.size() - 1; i >= 0; --i) {
        Expr node{Expr::Kind::Unary};
        node.op = signs[i];
        node.operands.push_back(std::move(value));
        value = std::move(node);
    }
    return value;
}

Expr Parser::literal() {
    const Token& token = peek();
    Expr node{Expr::Kind::Literal};
    node.token = token.kind;
    const QStringView text = QStringView(mSql).sliced(token.start, token.end - token.start);
    if (token.kind == TokenKind::Text) {
        node.text = unquote(text);
    } else if (token.kind == TokenKind::Date) {
        node.text = text.sliced(1, text.size() - 2).trimmed().toString();
    } else {
        node.text = text.toString();
    }
    ++mPos;
    return node;
}

Expr Parser::parsePrimary() {
    Nesting nesting(*this);
    const Token& token = peek();
    switch (token.kind) {
        case TokenKind::Number:
        case TokenKind::Text:
            return literal();
        case TokenKind::Date:
            if (!isDateLiteral(QStringView(mSql).sliced(token.start + 1, token.end - token.start - 2))) {
                fail(QStringLiteral("Syntax error in date in query expression '%1'.").arg(expressionText()));
            }
            return literal();
        case TokenKind::Bracketed:
            return parseNameChain();
        case TokenKind::Symbol:
            if (acceptSymbol(u"(")) {
                Expr inner;
                if (atKeyword(Keyword::Select)) {
                    inner.kind = Expr::Kind::Subquery;
                    inner.query = parseSubquery(true);
                } else {
                    inner = parseExpression();
                }
                expectCloseParenthesis();
                return inner;
            }
            break;
        case TokenKind::Word:
            switch (token.keyword) {
                case Keyword::None:
                    if (atSymbol(u"(", 1)) {
                        Expr call{Expr::Kind::Call};
                        call.op = takeName();
                        call.operands = parseArguments();
                        return call;
                    }
                    return parseNameChain();
                case Keyword::Left:
                case Keyword::Right:
                case Keyword::Asc:
                    // Also the names of the host's text and character-code functions.
                    if (atSymbol(u"(", 1)) {
                        Expr call{Expr::Kind::Call};
                        call.op = takeName();
                        call.operands = parseArguments();
                        return call;
                    }
                    break;
                case Keyword::Null:
                    ++mPos;
                    return Expr{Expr::Kind::Null};
                case Keyword::Exists:
                case Keyword::Any:
                case Keyword::Some:
                case Keyword::All:
                    if (atSymbol(u"(", 1) && atKeyword(Keyword::Select, 2)) {
                        const bool oneColumn = token.keyword != Keyword::Exists;
                        Expr node{oneColumn ? Expr::Kind::Quantified : Expr::Kind::Exists};
                        node.op = textOf(mPos, mPos + 1).toUpper();
                        mPos += 2;
                        node.query = parseSubquery(oneColumn);
                        expectCloseParenthesis();
                        return node;
                    }
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    failExpression();
}

// A name, a qualified name (t.f, [t].[f], Forms!f!c) or a star of a source (t.*).
Expr Parser::parseNameChain() {
    const size_t first = mPos++;
    Expr node{Expr::Kind::Name};
    node.parts << nameText(mTokens[first]);
    bool qualified = false;
    while (atSymbol(u".") || atSymbol(u"!")) {
        const Token& next = peek(1);
        if (next.kind == TokenKind::Word || next.kind == TokenKind::Bracketed) {
            node.bang = node.bang || atSymbol(u"!");
            mPos += 2;
            node.parts << nameText(next);
            qualified = true;
        } else if (atSymbol(u".") && atSymbol(u"*", 1)) {
            mPos += 2;
            node.kind = Expr::Kind::Star;
            qualified = true;
            break;
        } else {
            ++mPos;
            failExpression();
        }
    }
    if (qualified && mQualifiers) {
        mQualifiers->push_back(nameText(mTokens[first]));
    }
    return node;
}

// The parenthesised arguments of a function call; Count(*) takes a star.
std::vector<Expr> Parser::parseArguments() {
    std::vector<Expr> arguments;
    ++mPos;  // (
    if (acceptSymbol(u")")) {
        return arguments;
    }
    do {
        if (atSymbol(u"*") && (atSymbol(u")", 1) || atSymbol(u",", 1))) {
            ++mPos;
            arguments.push_back(Expr{Expr::Kind::Star});
        } else {
            arguments.push_back(parseExpression());
        }
    } while (acceptSymbol(u","));
    expectCloseParenthesis();
    return arguments;
}

// A subquery inside an expression; one that stands for a value must give one column.
std::shared_ptr<QueryNode> Parser::parseSubquery(bool oneColumn) {
    const size_t expressionStart = mExpressionStart;
    const size_t subqueryStart = mSubqueryStart;
    const Context context = mContext;
    mSubqueryStart = expressionStart;
    mContext = Context::Subquery;
    Query ignored;
    auto node = std::make_shared<QueryNode>();
    parseQueryExpression(ignored, *node);
    if (oneColumn && mTermWidth > 1) {
        throw host::Error(kMultipleFieldsError, kMultipleFieldsMessage, kSource);
    }
    mContext = context;
    mSubqueryStart = subqueryStart;
    mExpressionStart = expressionStart;
    return node;
}

// Whether a query (SELECT, or a parenthesised one) starts here.
bool Parser::atQueryStart() const {
    size_t ahead = 0;
    while (atSymbol(u"(", ahead)) {
        ++ahead;
    }
    return atKeyword(Keyword::Select, ahead) || atKeyword(Keyword::Table, ahead);
}

void Parser::expectCloseParenthesis() {
    if (acceptSymbol(u")")) {
        return;
    }
    const Token& token = peek();
    if (token.kind == TokenKind::End || (token.kind == TokenKind::Symbol && atSymbol(u";"))) {
        fail(QStringLiteral("Missing ), ], or Item in query expression '%1'.").arg(expressionText()));
    }
    failExpression();
}

// ---------------------------------------------------------------------------------------------------------
// Tokens

const Token& Parser::peek(size_t ahead) const {
    return mTokens[std::min(mPos + ahead, mTokens.size() - 1)];
}

bool Parser::atKeyword(Keyword keyword, size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == TokenKind::Word && token.keyword == keyword;
}

bool Parser::acceptKeyword(Keyword keyword) {
    if (!atKeyword(keyword)) {
        return false;
    }
    ++mPos;
    return true;
}

bool Parser::atSymbol(QStringView symbol, size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == TokenKind::Symbol &&
           QStringView(mSql).sliced(token.start, token.end - token.start) == symbol;
}

bool Parser::acceptSymbol(QStringView symbol) {
    if (!atSymbol(symbol)) {
        return false;
    }
    ++mPos;
    return true;
}

bool Parser::atName(size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == TokenKind::Bracketed ||
           (token.kind == TokenKind::Word && token.keyword == Keyword::None);
}

// Whether the current clause may end here: at the end of the statement, before a closing parenthesis, or
// before one of the keywords that may follow it.
bool Parser::atClauseEnd(std::initializer_list<Keyword> followers) const {
    const Token& token = peek();
    if (token.kind == TokenKind::End || atSymbol(u";") || atSymbol(u")")) {
        return true;
    }
    return token.kind == TokenKind::Word &&
           std::find(followers.begin(), followers.end(), token.keyword) != followers.end();
}

QString Parser::nameText(const Token& token) const {
    if (token.kind == TokenKind::Bracketed) {
        return mSql.sliced(token.start + 1, token.end - token.start - 2);
    }
    return mSql.sliced(token.start, token.end - token.start);
}

QString Parser::takeName() {
    return nameText(mTokens[mPos++]);
}

// The text from the start of token `first` to the end of the token before `end`, as written.
QString Parser::textOf(size_t first, size_t end) const {
    if (end <= first) {
        return QString();
    }
    return mSql.sliced(mTokens[first].start, mTokens[end - 1].end - mTokens[first].start);
}

// The field named by the expression in tokens `first` to `end` when it is a plain reference (Field, t.Field,
// [t].[Field]); empty for any other expression.
QString Parser::referencedField(size_t first, size_t end) const {
    if (end <= first || (end - first) % 2 == 0) {
        return QString();
    }
    for (size_t i = first; i < end; i += 2) {
        const Token& name = mTokens[i];
        const bool keyword = name.kind == TokenKind::Word && name.keyword != Keyword::None && i == first;
        if ((name.kind != TokenKind::Bracketed && name.kind != TokenKind::Word) || keyword) {
            return QString();
        }
        if (i + 1 < end) {
            const Token& dot = mTokens[i + 1];
            if (dot.kind != TokenKind::Symbol || (mSql[dot.start] != u'.' && mSql[dot.start] != u'!')) {
                return QString();
            }
        }
    }
    return nameText(mTokens[end - 1]);
}

// ---------------------------------------------------------------------------------------------------------
// Failures

namespace {

// Keywords that start the next clause, where the text of a broken expression ends in a message.
bool startsClause(Keyword keyword) {
    switch (keyword) {
        case Keyword::From:
        case Keyword::Where:
        case Keyword::Group:
        case Keyword::Order:
        case Keyword::Having:
        case Keyword::Union:
        case Keyword::Into:
        case Keyword::Pivot:
        case Keyword::Set:
        case Keyword::On:
        case Keyword::Inner:
        case Keyword::Join:
        case Keyword::With:
        case Keyword::Values:
        case Keyword::Select:
        case Keyword::As:
            return true;
        default:
            return false;
    }
}

}  // namespace

// The expression being parsed, from its start to where its clause ends, for a message. The parentheses
// opened before the failure are counted too, so that a call or a subquery is shown whole.
QString Parser::expressionText() const {
    size_t end = mExpressionStart;
    int depth = 0;
    for (; end + 1 < mTokens.size(); ++end) {
        const Token& token = mTokens[end];
        const bool reached = end >= mPos;
        if (token.kind == TokenKind::Unterminated) {
            ++end;
            break;
        }
        if (reached && token.kind == TokenKind::Word && depth == 0 && startsClause(token.keyword)) {
            break;
        }
        if (token.kind != TokenKind::Symbol) {
            continue;
        }
        const QChar c = mSql[token.start];
        if (c == u'(') {
            // One never closed does not hold the expression open past its clause.
            depth += mMatch[end] != kNone ? 1 : 0;
        } else if (c == u')') {
            if (depth == 0 && reached) {
                break;
            }
            depth = std::max(depth - 1, 0);
        } else if (reached && ((c == u',' && depth == 0) || c == u';')) {
            break;
        }
    }
    return textOf(mExpressionStart, end);
}

void Parser::failStatement() const {
    throw host::Error(
        3129,
        QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', "
                       "or 'UPDATE'."),
        kSource);
}

void Parser::fail(const QString& description) const {
    if (peek().kind == TokenKind::Unterminated) {
        failUnterminated(mPos);
    }
    throw host::Error(3075, description, kSource);
}

void Parser::failExpression() const {
    if (peek().kind == TokenKind::Unterminated) {
        failUnterminated(mExpressionStart);
    }
    fail(QStringLiteral("Syntax error (missing operator) in query expression '%1'.").arg(expressionText()));
}

// A literal that is never closed; `from` is the first token of the expression it stands in.
void Parser::failUnterminated(size_t from) const {
    const Token& token = peek();
    const QChar opening = mSql[token.start];
    const QString expression = mSql.sliced(mTokens[std::min(from, mPos)].start).trimmed();
    QString description;
    if (opening == u'[') {
        description = QStringLiteral("Invalid bracketing of name '%1'.")
                          .arg(mSql.sliced(token.start, token.end - token.start).trimmed());
    } else if (opening == u'#') {
        description = QStringLiteral("Syntax error in date in query expression '%1'.").arg(expression);
    } else {
        description = QStringLiteral("Syntax error in string in query expression '%1'.").arg(expression);
    }
    throw host::Error(3075, description, kSource);
}

}  // namespace jet
