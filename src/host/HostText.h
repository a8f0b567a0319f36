// The host's text semantics: comparisons that ignore case for every letter, the host's Like wildcards, and
// its rules for object names. Registered on every SQLite connection of the engine.
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

struct sqlite3;

namespace qdb {

// The collation that text columns of the engine declare.
inline constexpr char kTextCollation[] = "HOSTTEXT";

// Folds case for comparison (every letter, not only ASCII).
QString foldCase(QStringView text);
// Compares text as the host does: <0, 0 or >0, ignoring case.
int compareText(QStringView a, QStringView b);

// A compiled Like pattern: `*` any run, `?` one character, `#` one digit, `[abc]`, `[a-z]`, `[!...]`;
// letters match ignoring case. An unclosed `[` stands for itself.
class LikePattern {
public:
    explicit LikePattern(QStringView pattern);
    bool matches(QStringView text) const;

private:
    enum class Kind { Literal, AnyRun, AnyOne, Digit, Set };
    struct Element {
        Kind kind;
        QString chars;                                // folded literal run, or the set's single characters
        std::vector<std::pair<QChar, QChar>> ranges;  // the set's ranges, folded
        bool negated = false;
    };
    bool matchFrom(size_t element, QStringView text) const;
    bool matchesOne(const Element& element, QChar c) const;
    std::vector<Element> mElements;
};

bool likeMatch(QStringView text, QStringView pattern);

// The host's object-naming rules: 1 to 64 characters, no leading blank, none of . ! ` [ ], no control
// characters. An empty result is a valid name; otherwise the reason it is not.
QString objectNameProblem(const QString& name, int maximumLength = 64);

// Registers the collation and the host's like() on a connection.
void registerHostText(sqlite3* db);

}  // namespace qdb
