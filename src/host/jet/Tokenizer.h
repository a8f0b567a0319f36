// Splits the text of a query into the tokens of the host's SQL dialect. Tokens keep their place in the text,
// so that clauses and expressions can be stored exactly as the user wrote them.
#pragma once

#include <QStringView>

#include <vector>

namespace jet {

// The words the grammar gives a meaning; every other word is a name.
enum class Keyword : unsigned char {
    None,
    All,
    Alter,
    And,
    Any,
    As,
    Asc,
    Between,
    By,
    Create,
    Delete,
    Desc,
    Distinct,
    DistinctRow,
    Drop,
    Eqv,
    Exists,
    From,
    Group,
    Having,
    Imp,
    In,
    Inner,
    Insert,
    Into,
    Is,
    Join,
    Left,
    Like,
    Mod,
    Not,
    Null,
    On,
    Option,
    Or,
    Order,
    Outer,
    OwnerAccess,
    Parameters,
    Percent,
    Pivot,
    Procedure,
    Right,
    Select,
    Set,
    Some,
    Table,
    Top,
    Transform,
    Union,
    Update,
    Values,
    Where,
    With,
    Xor,
};

enum class TokenKind : unsigned char {
    Word,          // a plain name or a keyword
    Bracketed,     // [a name]
    Text,          // 'text' or "text"
    Date,          // #date#
    Number,        // 12, 1.5, .5, 1E-3
    Symbol,        // an operator or punctuation: one character, or <= >= <>
    Unterminated,  // a quote or date never closed (runs to the end), or a name with a bracket inside
    End,           // after the last token
};

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;  // for a Word
    qsizetype start = 0;
    qsizetype end = 0;  // one past the last character
};

// The tokens of the text, always closed by one End token. Never fails: a literal without its closing
// character becomes an Unterminated token for the parser to report.
std::vector<Token> tokenize(QStringView sql);

}  // namespace jet
