#include "host/jet/Tokenizer.h"

#include <QHash>
#include <QString>

namespace jet {

namespace {

Keyword keywordOf(QStringView word) {
    static const QHash<QString, Keyword> keywords = {
        {"ALL", Keyword::All},
        {"ALTER", Keyword::Alter},
        {"AND", Keyword::And},
        {"ANY", Keyword::Any},
        {"AS", Keyword::As},
        {"ASC", Keyword::Asc},
        {"BETWEEN", Keyword::Between},
        {"BY", Keyword::By},
        {"CREATE", Keyword::Create},
        {"DELETE", Keyword::Delete},
        {"DESC", Keyword::Desc},
        {"DISTINCT", Keyword::Distinct},
        {"DISTINCTROW", Keyword::DistinctRow},
        {"DROP", Keyword::Drop},
        {"EQV", Keyword::Eqv},
        {"EXISTS", Keyword::Exists},
        {"FROM", Keyword::From},
        {"GROUP", Keyword::Group},
        {"HAVING", Keyword::Having},
        {"IMP", Keyword::Imp},
        {"IN", Keyword::In},
        {"INNER", Keyword::Inner},
        {"INSERT", Keyword::Insert},
        {"INTO", Keyword::Into},
        {"IS", Keyword::Is},
        {"JOIN", Keyword::Join},
        {"LEFT", Keyword::Left},
        {"LIKE", Keyword::Like},
        {"MOD", Keyword::Mod},
        {"NOT", Keyword::Not},
        {"NULL", Keyword::Null},
        {"ON", Keyword::On},
        {"OPTION", Keyword::Option},
        {"OR", Keyword::Or},
        {"ORDER", Keyword::Order},
        {"OUTER", Keyword::Outer},
        {"OWNERACCESS", Keyword::OwnerAccess},
        {"PARAMETERS", Keyword::Parameters},
        {"PERCENT", Keyword::Percent},
        {"PIVOT", Keyword::Pivot},
        {"PROCEDURE", Keyword::Procedure},
        {"RIGHT", Keyword::Right},
        {"SELECT", Keyword::Select},
        {"SET", Keyword::Set},
        {"SOME", Keyword::Some},
        {"TABLE", Keyword::Table},
        {"TOP", Keyword::Top},
        {"TRANSFORM", Keyword::Transform},
        {"UNION", Keyword::Union},
        {"UPDATE", Keyword::Update},
        {"VALUES", Keyword::Values},
        {"WHERE", Keyword::Where},
        {"WITH", Keyword::With},
        {"XOR", Keyword::Xor},
    };
    // No keyword is longer than DISTINCTROW; skip the upper-case copy for longer names.
    if (word.size() > 11) {
        return Keyword::None;
    }
    return keywords.value(word.toString().toUpper(), Keyword::None);
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// End of a literal that starts at `start` and closes with `close`; a doubled closing character inside a
// quoted text stands for itself. -1 when the literal is never closed.
qsizetype literalEnd(QStringView sql, qsizetype start, QChar close, bool doubling) {
    qsizetype i = start + 1;
    while (true) {
        i = sql.indexOf(close, i);
        if (i < 0) {
            return -1;
        }
        if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
            i += 2;
            continue;
        }
        return i + 1;
    }
}

qsizetype numberEnd(QStringView sql, qsizetype i) {
    const qsizetype n = sql.size();
    while (i < n && isDigit(sql[i])) {
        ++i;
    }
    if (i < n && sql[i] == u'.') {
        ++i;
        while (i < n && isDigit(sql[i])) {
            ++i;
        }
    }
    if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (sql[j] == u'+' || sql[j] == u'-')) {
            ++j;
        }
        if (j < n && isDigit(sql[j])) {
            i = j;
            while (i < n && isDigit(sql[i])) {
                ++i;
            }
        }
    }
    return i;
}

}  // namespace

std::vector<Token> tokenize(QStringView sql) {
    std::vector<Token> tokens;
    tokens.reserve(sql.size() / 4 + 2);
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && sql[i].isSpace()) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        Token token;
        token.start = i;
        const QChar c = sql[i];
        if (c == u'[') {
            // A name may hold any character but the brackets themselves.
            qsizetype end = i + 1;
            while (end < n && sql[end] != u']' && sql[end] != u'[') {
                ++end;
            }
            if (end < n && sql[end] == u']') {
                token.kind = TokenKind::Bracketed;
                token.end = end + 1;
            } else {
                const qsizetype close = end < n ? sql.indexOf(u']', end) : -1;
                token.kind = TokenKind::Unterminated;
                token.end = close < 0 ? n : close + 1;
            }
        } else if (c == u'\'' || c == u'"' || c == u'#') {
            const qsizetype end = literalEnd(sql, i, c, c != u'#');
            token.kind = end < 0 ? TokenKind::Unterminated : c == u'#' ? TokenKind::Date : TokenKind::Text;
            token.end = end < 0 ? n : end;
        } else if (isDigit(c) || (c == u'.' && i + 1 < n && isDigit(sql[i + 1]) &&
                                  (tokens.empty() || (tokens.back().kind != TokenKind::Word &&
                                                      tokens.back().kind != TokenKind::Bracketed &&
                                                      sql[tokens.back().start] != u')')))) {
            token.kind = TokenKind::Number;
            token.end = numberEnd(sql, i);
        } else if (isWordChar(c)) {
            qsizetype end = i + 1;
            while (end < n && isWordChar(sql[end])) {
                ++end;
            }
            // Text functions of the host come in a variant ending in "$" (Left$, Mid$).
            if (end < n && sql[end] == u'$') {
                ++end;
            }
            token.kind = TokenKind::Word;
            token.end = end;
            token.keyword = keywordOf(sql.sliced(i, end - i));
        } else {
            token.kind = TokenKind::Symbol;
            token.end = i + 1;
            if (i + 1 < n && ((c == u'<' && (sql[i + 1] == u'=' || sql[i + 1] == u'>')) ||
                              (c == u'>' && sql[i + 1] == u'='))) {
                token.end = i + 2;
            }
        }
        i = token.end;
        tokens.push_back(token);
    }
    Token end;
    end.start = end.end = n;
    tokens.push_back(end);
    return tokens;
}

}  // namespace jet
