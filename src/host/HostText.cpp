#include "host/HostText.h"

#include <sqlite3.h>

#include <algorithm>

namespace qdb {

QString foldCase(QStringView text) {
    return text.toString().toCaseFolded();
}

int compareText(QStringView a, QStringView b) {
    // Fast path: plain ASCII text folds by itself.
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = a[i].unicode();
        const char16_t cb = b[i].unicode();
        if (ca >= 0x80 || cb >= 0x80) {
            return foldCase(a.mid(i)).compare(foldCase(b.mid(i)), Qt::CaseSensitive);
        }
        const char16_t la = (ca >= 'A' && ca <= 'Z') ? char16_t(ca + 32) : ca;
        const char16_t lb = (cb >= 'A' && cb <= 'Z') ? char16_t(cb + 32) : cb;
        if (la != lb) {
            return la < lb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    // The longer text may still hold non-ASCII letters that fold to nothing shorter; compare folded.
    const QStringView rest = a.size() > b.size() ? a.mid(n) : b.mid(n);
    for (QChar c : rest) {
        if (c.unicode() >= 0x80) {
            return foldCase(a).compare(foldCase(b), Qt::CaseSensitive);
        }
    }
    return a.size() < b.size() ? -1 : 1;
}

LikePattern::LikePattern(QStringView pattern) {
    const QString folded = foldCase(pattern);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded[i];
        if (c == QLatin1Char('*')) {
            if (mElements.empty() || mElements.back().kind != Kind::AnyRun) {
                mElements.push_back({Kind::AnyRun, {}, {}});
            }
        } else if (c == QLatin1Char('?')) {
            mElements.push_back({Kind::AnyOne, {}, {}});
        } else if (c == QLatin1Char('#')) {
            mElements.push_back({Kind::Digit, {}, {}});
        } else if (c == QLatin1Char('[') && folded.indexOf(QLatin1Char(']'), i + 1) > i) {
            Element set{Kind::Set, {}, {}};
            qsizetype j = i + 1;
            if (folded[j] == QLatin1Char('!') && folded.indexOf(QLatin1Char(']'), j + 1) > j) {
                set.negated = true;
                ++j;
            }
            // The first character after [ or [! is taken as it is, so []] and [!]] work.
            const qsizetype start = j;
            while (j < folded.size() && (folded[j] != QLatin1Char(']') || j == start)) {
                if (j + 2 < folded.size() && folded[j + 1] == QLatin1Char('-') &&
                    folded[j + 2] != QLatin1Char(']')) {
                    set.ranges.emplace_back(folded[j], folded[j + 2]);
                    j += 3;
                } else {
                    set.chars += folded[j];
                    ++j;
                }
            }
            if (j >= folded.size()) {
                // No closing bracket after all: the [ is a literal.
                mElements.push_back({Kind::Literal, QString(c), {}});
                continue;
            }
            mElements.push_back(std::move(set));
            i = j;
        } else if (!mElements.empty() && mElements.back().kind == Kind::Literal) {
            mElements.back().chars += c;
        } else {
            mElements.push_back({Kind::Literal, QString(c), {}});
        }
    }
}

bool LikePattern::matchesOne(const Element& element, QChar c) const {
    switch (element.kind) {
        case Kind::AnyOne:
            return true;
        case Kind::Digit:
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        case Kind::Set: {
            bool found = element.chars.contains(c);
            for (const auto& [low, high] : element.ranges) {
                found = found || (c >= low && c <= high);
            }
            return found != element.negated;
        }
        default:
            return false;
    }
}

bool LikePattern::matchFrom(size_t index, QStringView text) const {
    while (index < mElements.size()) {
        const Element& element = mElements[index];
        if (element.kind == Kind::AnyRun) {
            if (index + 1 == mElements.size()) {
                return true;
            }
            for (qsizetype skip = 0; skip <= text.size(); ++skip) {
                if (matchFrom(index + 1, text.mid(skip))) {
                    return true;
                }
            }
            return false;
        }
        if (element.kind == Kind::Literal) {
            if (!text.startsWith(element.chars)) {
                return false;
            }
            text = text.mid(element.chars.size());
        } else {
            if (text.isEmpty() || !matchesOne(element, text.front())) {
                return false;
            }
            text = text.mid(1);
        }
        ++index;
    }
    return text.isEmpty();
}

bool LikePattern::matches(QStringView text) const {
    return matchFrom(0, foldCase(text));
}

bool likeMatch(QStringView text, QStringView pattern) {
    return LikePattern(pattern).matches(text);
}

QString objectNameProblem(const QString& name, int maximumLength) {
    if (name.isEmpty()) {
        return QStringLiteral("the name is empty");
    }
    if (maximumLength > 0 && name.size() > maximumLength) {
        return QStringLiteral("the name is longer than %1 characters").arg(maximumLength);
    }
    if (name.front() == QLatin1Char(' ')) {
        return QStringLiteral("the name begins with a blank");
    }
    for (QChar c : name) {
        if (c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('`') ||
            c == QLatin1Char('[') || c == QLatin1Char(']')) {
            return QStringLiteral("the name contains '%1'").arg(c);
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return QStringLiteral("the name contains a control character");
        }
    }
    return {};
}

namespace {

QStringView utf8View(const void* data, int bytes, QString& storage) {
    storage = QString::fromUtf8(static_cast<const char*>(data), bytes);
    return storage;
}

int collate(void*, int lengthA, const void* a, int lengthB, const void* b) {
    // Fast path: ASCII text compares byte by byte as compareText folds it, without decoding it first.
    const auto* bytesA = static_cast<const unsigned char*>(a);
    const auto* bytesB = static_cast<const unsigned char*>(b);
    const int common = std::min(lengthA, lengthB);
    bool ascii = true;
    for (int i = 0; i < common && ascii; ++i) {
        const unsigned char ca = bytesA[i];
        const unsigned char cb = bytesB[i];
        ascii = ca < 0x80 && cb < 0x80;
        const unsigned char la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
        const unsigned char lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
        if (ascii && la != lb) {
            return la < lb ? -1 : 1;
        }
    }
    const unsigned char* rest = lengthA > lengthB ? bytesA : bytesB;
    for (int i = common; i < std::max(lengthA, lengthB) && ascii; ++i) {
        ascii = rest[i] < 0x80;
    }
    if (ascii) {
        return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
    }
    QString sa, sb;
    return compareText(utf8View(a, lengthA, sa), utf8View(b, lengthB, sb));
}

QString argumentText(sqlite3_value* value) {
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(data, sqlite3_value_bytes(value));
}

void deletePattern(void* pattern) {
    delete static_cast<LikePattern*>(pattern);
}

// like(pattern, text[, escape]): SQLite's "text LIKE pattern". The escape character of the three-argument
// form is not part of the host's dialect; a pattern that uses one is matched with the escape taken out.
void like(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    if (argc == 2) {
        if (const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0))) {
            sqlite3_result_int(context, cached->matches(argumentText(argv[1])) ? 1 : 0);
            return;
        }
    }
    QString text = argumentText(argv[0]);
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const QString escape = argumentText(argv[2]);
        if (!escape.isEmpty()) {
            QString plain;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i] == escape[0] && i + 1 < text.size()) {
                    plain += QLatin1Char('[') + text[++i] + QLatin1Char(']');
                } else {
                    plain += text[i];
                }
            }
            text = plain;
        }
    }
    auto* pattern = new LikePattern(text);
    sqlite3_result_int(context, pattern->matches(argumentText(argv[1])) ? 1 : 0);
    if (argc == 2) {
        // The compiled pattern is kept for the next rows of the same statement.
        sqlite3_set_auxdata(context, 0, pattern, deletePattern);
    } else {
        delete pattern;
    }
}

}  // namespace

void registerHostText(sqlite3* db) {
    sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, collate, nullptr);
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, like, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, like, nullptr,
                               nullptr, nullptr);
}

}  // namespace qdb
