#include "host/RecordFilter.h"

#include "host/HostErrors.h"
#include "host/HostText.h"

#include <cmath>
#include <vector>

namespace qdb {

struct FilterNode {
    enum class Kind { Field, Constant, Compare, IsNull, Like, In, Between, And, Or, Not };
    Kind kind;
    int column = -1;
    QVariant constant;
    QString op;
    bool negated = false;
    std::unique_ptr<LikePattern> pattern;
    std::vector<std::unique_ptr<FilterNode>> children;
};

namespace {

using Node = FilterNode;
using NodePtr = std::unique_ptr<FilterNode>;

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double:
        case QMetaType::Bool:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

double numberOf(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool() ? -1.0 : 0.0;
    }
    return value.toDouble();
}

QString numberText(double number) {
    if (std::floor(number) == number && std::abs(number) < 9.0e15) {
        return QString::number(qlonglong(number));
    }
    return QString::number(number, 'g', 17);
}

// -2 when either side is Null.
int compareValues(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) {
        return -2;
    }
    if (isNumber(a) && isNumber(b)) {
        const double x = numberOf(a);
        const double y = numberOf(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const QString x = isNumber(a) ? numberText(numberOf(a)) : a.toString();
    const QString y = isNumber(b) ? numberText(numberOf(b)) : b.toString();
    const int c = compareText(x, y);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Three-valued truth of a value: nullopt for Null.
std::optional<bool> truth(const QVariant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    if (isNumber(value)) {
        return numberOf(value) != 0.0;
    }
    const QString text = value.toString();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && number != 0.0;
}

QVariant boolean(std::optional<bool> value) {
    return value ? QVariant(*value) : QVariant();
}

QVariant evaluate(const Node& node, const QVariant* row) {
    switch (node.kind) {
        case Node::Kind::Field:
            return row[node.column];
        case Node::Kind::Constant:
            return node.constant;
        case Node::Kind::Compare: {
            const int c = compareValues(evaluate(*node.children[0], row), evaluate(*node.children[1], row));
            if (c == -2) {
                return {};
            }
            if (node.op == QLatin1String("="))
                return c == 0;
            if (node.op == QLatin1String("<>"))
                return c != 0;
            if (node.op == QLatin1String("<"))
                return c < 0;
            if (node.op == QLatin1String(">"))
                return c > 0;
            if (node.op == QLatin1String("<="))
                return c <= 0;
            return c >= 0;
        }
        case Node::Kind::IsNull:
            return evaluate(*node.children[0], row).isNull() != node.negated;
        case Node::Kind::Like: {
            const QVariant value = evaluate(*node.children[0], row);
            if (value.isNull()) {
                return {};
            }
            const QString text = isNumber(value) ? numberText(numberOf(value)) : value.toString();
            return node.pattern->matches(text) != node.negated;
        }
        case Node::Kind::In: {
            const QVariant value = evaluate(*node.children[0], row);
            if (value.isNull()) {
                return {};
            }
            bool found = false;
            for (size_t i = 1; i < node.children.size() && !found; ++i) {
                found = compareValues(value, evaluate(*node.children[i], row)) == 0;
            }
            return found != node.negated;
        }
        case Node::Kind::Between: {
            const QVariant value = evaluate(*node.children[0], row);
            const int low = compareValues(value, evaluate(*node.children[1], row));
            const int high = compareValues(value, evaluate(*node.children[2], row));
            if (low == -2 || high == -2) {
                return {};
            }
            return (low >= 0 && high <= 0) != node.negated;
        }
        case Node::Kind::And: {
            const auto a = truth(evaluate(*node.children[0], row));
            if (a == false) {
                return false;
            }
            const auto b = truth(evaluate(*node.children[1], row));
            if (b == false) {
                return false;
            }
            return boolean(a && b ? std::optional<bool>(true) : std::nullopt);
        }
        case Node::Kind::Or: {
            const auto a = truth(evaluate(*node.children[0], row));
            if (a == true) {
                return true;
            }
            const auto b = truth(evaluate(*node.children[1], row));
            if (b == true) {
                return true;
            }
            return boolean(a && b ? std::optional<bool>(false) : std::nullopt);
        }
        case Node::Kind::Not: {
            const auto a = truth(evaluate(*node.children[0], row));
            return boolean(a ? std::optional<bool>(!*a) : std::nullopt);
        }
    }
    return {};
}

struct Token {
    enum class Type { Word, Name, Text, Number, Date, Symbol, End };
    Type type;
    QString text;
};

class Parser {
public:
    Parser(const QString& criteria, const QStringList& columns) : mCriteria(criteria), mColumns(columns) {
        tokenize();
    }

    NodePtr parse() {
        NodePtr node = parseOr();
        if (peek().type != Token::Type::End) {
            fail();
        }
        return node;
    }

private:
    // Each Not and each parenthesis is one level of the parse and of the evaluation; the analyser's limit
    // keeps a hostile filter from exhausting the stack.
    static constexpr int kMaxDepth = 200;
    class Nesting {
    public:
        explicit Nesting(Parser& parser) : mParser(parser) {
            if (++mParser.mDepth > kMaxDepth) {
                throw host::Error(3075, QStringLiteral("Query is too complex."), kSourceRecordset);
            }
        }
        ~Nesting() { --mParser.mDepth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& mParser;
    };

    [[noreturn]] void fail() const { throwSyntax(mCriteria, kSourceRecordset); }

    void tokenize() {
        const QString& s = mCriteria;
        qsizetype i = 0;
        while (i < s.size()) {
            const QChar c = s[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                QString text;
                ++i;
                for (;;) {
                    if (i >= s.size()) {
                        fail();
                    }
                    if (s[i] == c) {
                        if (i + 1 < s.size() && s[i + 1] == c) {
                            text += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    text += s[i++];
                }
                mTokens.push_back({Token::Type::Text, text});
            } else if (c == QLatin1Char('[')) {
                const qsizetype end = s.indexOf(QLatin1Char(']'), i + 1);
                if (end < 0) {
                    fail();
                }
                mTokens.push_back({Token::Type::Name, s.mid(i + 1, end - i - 1)});
                i = end + 1;
            } else if (c == QLatin1Char('#')) {
                const qsizetype end = s.indexOf(QLatin1Char('#'), i + 1);
                if (end < 0) {
                    fail();
                }
                mTokens.push_back({Token::Type::Date, s.mid(i + 1, end - i - 1)});
                i = end + 1;
            } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s[i + 1].isDigit())) {
                const qsizetype start = i;
                while (i < s.size() && (s[i].isDigit() || s[i] == QLatin1Char('.'))) {
                    ++i;
                }
                if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
                    ++i;
                    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
                        ++i;
                    }
                    while (i < s.size() && s[i].isDigit()) {
                        ++i;
                    }
                }
                mTokens.push_back({Token::Type::Number, s.mid(start, i - start)});
            } else if (c.isLetter() || c == QLatin1Char('_')) {
                const qsizetype start = i;
                while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_'))) {
                    ++i;
                }
                mTokens.push_back({Token::Type::Word, s.mid(start, i - start)});
            } else {
                static const QStringList twoCharacter = {QStringLiteral("<>"), QStringLiteral("<="),
                                                         QStringLiteral(">=")};
                const QString two = s.mid(i, 2);
                if (twoCharacter.contains(two)) {
                    mTokens.push_back({Token::Type::Symbol, two});
                    i += 2;
                } else if (QStringLiteral("=<>(),.-").contains(c)) {
                    mTokens.push_back({Token::Type::Symbol, QString(c)});
                    ++i;
                } else {
                    fail();
                }
            }
        }
        mTokens.push_back({Token::Type::End, {}});
    }

    const Token& peek(int ahead = 0) const {
        const size_t index = std::min(mPosition + ahead, mTokens.size() - 1);
        return mTokens[index];
    }
    bool isWord(const char* word, int ahead = 0) const {
        const Token& token = peek(ahead);
        return token.type == Token::Type::Word &&
               token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const {
        return peek().type == Token::Type::Symbol && peek().text == QLatin1String(symbol);
    }
    void expectSymbol(const char* symbol) {
        if (!isSymbol(symbol)) {
            fail();
        }
        ++mPosition;
    }
    void expectWord(const char* word) {
        if (!isWord(word)) {
            fail();
        }
        ++mPosition;
    }

    static NodePtr make(Node::Kind kind) {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        return node;
    }
    static NodePtr binary(Node::Kind kind, NodePtr a, NodePtr b) {
        NodePtr node = make(kind);
        node->children.push_back(std::move(a));
        node->children.push_back(std::move(b));
        return node;
    }

    NodePtr parseOr() {
        NodePtr node = parseAnd();
        while (isWord("or")) {
            ++mPosition;
            node = binary(Node::Kind::Or, std::move(node), parseAnd());
        }
        return node;
    }

    NodePtr parseAnd() {
        NodePtr node = parseNot();
        while (isWord("and")) {
            ++mPosition;
            node = binary(Node::Kind::And, std::move(node), parseNot());
        }
        return node;
    }

    NodePtr parseNot() {
        if (isWord("not")) {
            ++mPosition;
            const Nesting level(*this);
            NodePtr node = make(Node::Kind::Not);
            node->children.push_back(parseNot());
            return node;
        }
        return parseComparison();
    }

    NodePtr parseComparison() {
        NodePtr left = parsePrimary();
        const Token& token = peek();
        if (token.type == Token::Type::Symbol &&
            (token.text == QLatin1String("=") || token.text == QLatin1String("<>") ||
             token.text == QLatin1String("<") || token.text == QLatin1String(">") ||
             token.text == QLatin1String("<=") || token.text == QLatin1String(">="))) {
            const QString op = token.text;
            ++mPosition;
            NodePtr node = binary(Node::Kind::Compare, std::move(left), parsePrimary());
            node->op = op;
            return node;
        }
        if (isWord("is")) {
            ++mPosition;
            NodePtr node = make(Node::Kind::IsNull);
            if (isWord("not")) {
                ++mPosition;
                node->negated = true;
            }
            expectWord("null");
            node->children.push_back(std::move(left));
            return node;
        }
        bool negated = false;
        if (isWord("not") && (isWord("like", 1) || isWord("in", 1) || isWord("between", 1))) {
            ++mPosition;
            negated = true;
        }
        if (isWord("like")) {
            ++mPosition;
            const Token pattern = peek();
            if (pattern.type != Token::Type::Text) {
                fail();
            }
            ++mPosition;
            NodePtr node = make(Node::Kind::Like);
            node->negated = negated;
            node->pattern = std::make_unique<LikePattern>(pattern.text);
            node->children.push_back(std::move(left));
            return node;
        }
        if (isWord("in")) {
            ++mPosition;
            NodePtr node = make(Node::Kind::In);
            node->negated = negated;
            node->children.push_back(std::move(left));
            expectSymbol("(");
            node->children.push_back(parsePrimary());
            while (isSymbol(",")) {
                ++mPosition;
                node->children.push_back(parsePrimary());
            }
            expectSymbol(")");
            return node;
        }
        if (isWord("between")) {
            ++mPosition;
            NodePtr node = make(Node::Kind::Between);
            node->negated = negated;
            node->children.push_back(std::move(left));
            node->children.push_back(parsePrimary());
            expectWord("and");
            node->children.push_back(parsePrimary());
            return node;
        }
        if (negated) {
            fail();
        }
        return left;
    }

    NodePtr constant(QVariant value) {
        NodePtr node = make(Node::Kind::Constant);
        node->constant = std::move(value);
        return node;
    }

    NodePtr field(const QString& name) {
        for (int i = 0; i < mColumns.size(); ++i) {
            if (compareText(mColumns[i], name) == 0) {
                NodePtr node = make(Node::Kind::Field);
                node->column = i;
                return node;
            }
        }
        throw host::Error(
            errUnknownField,
            QStringLiteral("The Microsoft Access database engine does not recognize '%1' as a valid "
                           "field name or expression.")
                .arg(name),
            kSourceRecordset);
    }

    NodePtr parsePrimary() {
        const Token token = peek();
        ++mPosition;
        switch (token.type) {
            case Token::Type::Text:
            case Token::Type::Date:
                return constant(token.text);
            case Token::Type::Number: {
                bool ok = false;
                const double number = token.text.toDouble(&ok);
                if (!ok) {
                    fail();
                }
                return constant(number);
            }
            case Token::Type::Name:
            case Token::Type::Word: {
                if (token.type == Token::Type::Word) {
                    if (token.text.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
                        return constant(QVariant());
                    }
                    if (token.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
                        return constant(-1.0);
                    }
                    if (token.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
                        return constant(0.0);
                    }
                    static const QStringList reserved = {QStringLiteral("and"),    QStringLiteral("or"),
                                                         QStringLiteral("not"),    QStringLiteral("is"),
                                                         QStringLiteral("like"),   QStringLiteral("in"),
                                                         QStringLiteral("between")};
                    if (reserved.contains(token.text, Qt::CaseInsensitive)) {
                        fail();
                    }
                }
                // A qualified name (Table.Field or [Table].[Field]) names the field after the last dot.
                QString name = token.text;
                while (isSymbol(".")) {
                    ++mPosition;
                    const Token part = peek();
                    if (part.type != Token::Type::Name && part.type != Token::Type::Word) {
                        fail();
                    }
                    ++mPosition;
                    name = part.text;
                }
                return field(name);
            }
            case Token::Type::Symbol:
                if (token.text == QLatin1String("(")) {
                    const Nesting level(*this);
                    NodePtr node = parseOr();
                    expectSymbol(")");
                    return node;
                }
                if (token.text == QLatin1String("-") && peek().type == Token::Type::Number) {
                    const double number = peek().text.toDouble();
                    ++mPosition;
                    return constant(-number);
                }
                fail();
            case Token::Type::End:
                fail();
        }
        fail();
    }

    const QString& mCriteria;
    const QStringList& mColumns;
    std::vector<Token> mTokens;
    size_t mPosition = 0;
    int mDepth = 0;
};

std::optional<RecordFilter::Equality> equalityOf(const Node& node) {
    if (node.kind == Node::Kind::Compare && node.op == QLatin1String("=")) {
        const Node& a = *node.children[0];
        const Node& b = *node.children[1];
        const Node* fieldNode =
            a.kind == Node::Kind::Field ? &a : (b.kind == Node::Kind::Field ? &b : nullptr);
        const Node* constantNode =
            a.kind == Node::Kind::Constant ? &a : (b.kind == Node::Kind::Constant ? &b : nullptr);
        if (fieldNode && constantNode) {
            if (const auto key = equalityKey(constantNode->constant)) {
                return RecordFilter::Equality{fieldNode->column, *key};
            }
        }
    }
    if (node.kind == Node::Kind::And) {
        if (auto left = equalityOf(*node.children[0])) {
            return left;
        }
        return equalityOf(*node.children[1]);
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> equalityKey(const QVariant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    if (isNumber(value)) {
        return numberText(numberOf(value));
    }
    return foldCase(value.toString());
}

RecordFilter::RecordFilter(const QString& criteria, const QStringList& columns) {
    mRoot = Parser(criteria, columns).parse();
}

RecordFilter::~RecordFilter() = default;
RecordFilter::RecordFilter(RecordFilter&&) noexcept = default;
RecordFilter& RecordFilter::operator=(RecordFilter&&) noexcept = default;

bool RecordFilter::matches(const QVariant* row) const {
    return truth(evaluate(*mRoot, row)).value_or(false);
}

std::optional<RecordFilter::Equality> RecordFilter::indexableEquality() const {
    return equalityOf(*mRoot);
}

}  // namespace qdb
