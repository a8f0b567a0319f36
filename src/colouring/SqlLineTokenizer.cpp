#include "colouring/SqlLineTokenizer.h"

#include <QStringList>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>

namespace {

// Both lists are searched for the word with one blank on each side, so only whole words match.
const QString kKeywords = QStringLiteral(
    " ADD ALL ALTER ANY AS ASC BY COLUMN CREATE DELETE DESC DISALLOW DISTINCT DISTINCTROW DROP EXISTS "
    "FOREIGN "
    "FROM GRAND GROUP HAVING IGNORE IN INDEX INNER INSERT INTO JOIN KEY LEFT NULL ON OPTION ORDER "
    "OWNERACCESS "
    "PARAMETERS PERCENT PIVOT PRIMARY PROCEDURE REVOKE RIGHT SELECT SET SOME TABLE TEMPORARY TO TOP "
    "TRANSFORM "
    "UNION UNIQUE UPDATE USER VALUES VIEW WHERE WITH AND OR ");
const QString kOperatorWords = QStringLiteral(" And Between In Is Like Not ");

// Besides the tab and the blank.
const QString kSeparators = QStringLiteral(",(){}[]-+*%/='~!&|\\<>?:;.");

// One line's scan. Positions i and tokenStart are 1-based, as the colouring rules count them.
class LineScan {
public:
    explicit LineScan(QStringView line) : line_(line) {}

    std::vector<ColourWrite> run() {
        for (int i = 1; i <= line_.size(); ++i) {
            step(i, line_[i - 1]);
        }
        const int rest = int(line_.size()) - tokenStart_ + 1;
        if (inQuote_) {
            colour(TokenClass::Literal, tokenStart_, rest);
        } else if (inWord_) {
            colour(classify(), tokenStart_, rest);
        }
        return std::move(writes_);
    }

private:
    void step(int i, QChar c) {
        if (c == u'{' || (c == u'}' && !inQuote_)) {
            braceStep(i, c);
        } else if (SqlLineTokenizer::isQuote(c)) {
            quoteStep(i, c);
        } else {
            if (c == u'(') {
                markFunctionName(i);
            }
            if (SqlLineTokenizer::isSeparator(c)) {
                separatorStep(i, c);
            } else if (!inWord_ && !inQuote_) {
                startWord(i, c);
            } else {
                word_.append(c);
            }
        }
    }

    void braceStep(int i, QChar c) {
        if (inBrace_) {
            if (inWord_) {
                word_.append(c);
                colour(classify(), tokenStart_, i - tokenStart_ + 1);
                endWord();
                inBrace_ = false;
            }
            return;
        }
        if (inWord_) {
            colour(classify(), tokenStart_, i - tokenStart_);
            endWord();
        } else {
            inWord_ = true;
            setWord(c);
        }
        inBrace_ = true;
        tokenStart_ = i;
    }

    void quoteStep(int i, QChar c) {
        if (inQuote_) {
            colour(TokenClass::Literal, tokenStart_, i - tokenStart_ + 1);
            word_.clear();
            inQuote_ = false;
            return;
        }
        if (inWord_) {
            colour(classify(), tokenStart_, i - tokenStart_);
            endWord();
        }
        inQuote_ = true;
        setWord(c);
        tokenStart_ = i;
    }

    // A name written directly before "(" is a function name, even when it is a keyword.
    void markFunctionName(int i) {
        int n = 0;
        for (int k = i - 1; k >= 1 && line_[k - 1].isLetterOrNumber(); --k) {
            ++n;
        }
        if (n >= 1) {
            colour(TokenClass::Function, i - n, n);
            nameMarked_ = true;
        }
    }

    void separatorStep(int i, QChar c) {
        if (inWord_) {
            if (nameMarked_) {
                nameMarked_ = false;
            } else {
                colour(classify(), tokenStart_, i - tokenStart_);
            }
            endWord();
        }
        if (c == u' ') {
            colour(TokenClass::Plain, i, 1);
        } else if (c == u'{' || c == u'}') {
            colour(TokenClass::Brace, i, 1);
        } else {
            colour(TokenClass::Operator, i, 1);
        }
    }

    void startWord(int i, QChar c) {
        inWord_ = true;
        setWord(c);
        tokenStart_ = i;
    }

    void setWord(QChar c) {
        word_.clear();
        word_.append(c);
    }

    TokenClass classify() const {
        return SqlLineTokenizer::classifyWord(QStringView(word_.data(), word_.size()));
    }

    void endWord() {
        word_.clear();
        inWord_ = false;
    }

    void colour(TokenClass tokenClass, int start, int length) {
        if (length > 0) {
            writes_.push_back({start - 1, length, tokenClass});
        }
    }

    QStringView line_;
    std::vector<ColourWrite> writes_;
    QVarLengthArray<QChar, 32> word_;
    int tokenStart_ = 0;
    bool inWord_ = false;
    bool inQuote_ = false;
    bool inBrace_ = false;
    bool nameMarked_ = false;
};

}  // namespace

std::vector<ColourWrite> SqlLineTokenizer::tokenize(QStringView line) {
    return LineScan(line).run();
}

std::vector<ColourWrite> SqlLineTokenizer::flatten(const std::vector<ColourWrite>& writes, int lineLength) {
    constexpr int untouched = 0;
    std::vector<int> classOf(std::size_t(std::max(lineLength, 0)), untouched);
    for (const auto& write : writes) {
        const int from = std::max(write.start, 0);
        const int to = std::min(write.start + write.length, lineLength);
        std::fill(classOf.begin() + std::min(from, lineLength), classOf.begin() + std::max(to, from),
                  int(write.tokenClass));
    }
    std::vector<ColourWrite> runs;
    for (int i = 0; i < lineLength;) {
        int j = i + 1;
        while (j < lineLength && classOf[j] == classOf[i]) {
            ++j;
        }
        if (classOf[i] != untouched) {
            runs.push_back({i, j - i, TokenClass(classOf[i])});
        }
        i = j;
    }
    return runs;
}

TokenClass SqlLineTokenizer::classifyWord(QStringView word) {
    // A word never holds a blank, so finding it with a blank on each side in a list is a whole-word lookup.
    static const auto words = [](const QString& list) {
        std::unordered_set<std::string> set;
        for (const QString& entry : list.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            set.insert(entry.toStdString());
        }
        return set;
    };
    static const std::unordered_set<std::string> operatorWords = words(kOperatorWords);
    static const std::unordered_set<std::string> keywords = words(kKeywords);
    constexpr qsizetype kLongest = 11;  // DISTINCTROW, OWNERACCESS

    if (word.isEmpty()) {
        return TokenClass::Plain;
    }
    const bool ascii = std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        // Every word of both lists is ASCII; only case folding can bring another word to one of them.
        const QString folded = word.toString().toCaseFolded();
        const bool asciiFolded =
            std::all_of(folded.begin(), folded.end(), [](QChar c) { return c.unicode() < 0x80; });
        return asciiFolded && keywords.contains(folded.toUpper().toStdString()) ? TokenClass::Keyword
                                                                                : TokenClass::Plain;
    }
    if (word.size() > kLongest) {
        return TokenClass::Plain;
    }
    std::string text(std::size_t(word.size()), ' ');
    std::transform(word.begin(), word.end(), text.begin(), [](QChar c) { return char(c.unicode()); });
    if (operatorWords.contains(text)) {
        return TokenClass::Function;
    }
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return keywords.contains(text) ? TokenClass::Keyword : TokenClass::Plain;
}

bool SqlLineTokenizer::isSeparator(QChar c) {
    static const auto table = [] {
        std::array<bool, 128> separators{};
        separators['\t'] = true;
        separators[' '] = true;
        for (const QChar s : kSeparators) {
            separators[s.unicode()] = true;
        }
        return separators;
    }();
    return c.unicode() < 128 && table[c.unicode()];
}

bool SqlLineTokenizer::isQuote(QChar c) {
    return c == u'\'' || c == u'"' || c == u'[' || c == u']';
}
