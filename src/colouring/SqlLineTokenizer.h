// The line tokenizer of the SQL colouriser: a pure function from one line of text to the colour writes
// the colouring rules make on it, in the order they are made. Later writes overwrite earlier ones (a
// quoted token first colours its separators, then the whole token), and some characters are never
// written and keep whatever colour they had.
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Token classes; their numbers are the colouriser's colour slots.
enum class TokenClass { Literal = 1, Keyword = 2, Function = 3, Operator = 4, Plain = 5, Brace = 6 };

// One colour write: characters [start, start + length) of the line, 0-based.
struct ColourWrite {
    int start = 0;
    int length = 0;
    TokenClass tokenClass = TokenClass::Plain;

    friend bool operator==(const ColourWrite&, const ColourWrite&) = default;
};

class SqlLineTokenizer {
public:
    // The writes for one line (no line break in it), in order.
    static std::vector<ColourWrite> tokenize(QStringView line);

    // The net effect of writes applied in order to a line of the given length: non-overlapping runs in
    // position order, untouched characters left out, adjacent runs of one class merged.
    static std::vector<ColourWrite> flatten(const std::vector<ColourWrite>& writes, int lineLength);

    // Operator words (case-sensitive) are Function, keywords (any case) Keyword, anything else Plain.
    static TokenClass classifyWord(QStringView word);

    static bool isSeparator(QChar c);
    static bool isQuote(QChar c);
};
