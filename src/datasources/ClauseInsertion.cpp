#include "datasources/ClauseInsertion.h"

#include "datasources/mQueryDataSourceList.h"
#include "support/ErrorBoundary.h"

#include <QStringList>

#include <array>

namespace {

const std::array<QString, 5> kClauses = {QStringLiteral("Select"), QStringLiteral("Where"),
                                         QStringLiteral("Having"), QStringLiteral("Group By"),
                                         QStringLiteral("Order By")};

bool IsListClause(const QString& clause) {
    return clause.compare(QLatin1String("Select"), Qt::CaseInsensitive) == 0 ||
           clause.compare(QLatin1String("Group By"), Qt::CaseInsensitive) == 0 ||
           clause.compare(QLatin1String("Order By"), Qt::CaseInsensitive) == 0;
}

// The colour of the character at a 0-based position, read without moving the selection.
quint32 ColourAt(const platform::RichTextControl& rtb, int position) {
    for (const platform::ColourRun& run : rtb.colourRuns()) {
        if (position >= run.start && position < run.start + run.length) {
            return run.colour;
        }
    }
    return 0;
}

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// 0-based index of the keyword at or after from that is not inside a bracketed name; -1 when none.
qsizetype FindKeyword(const QString& text, const QString& keyword, qsizetype from) {
    for (qsizetype at = text.indexOf(keyword, from, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(keyword, at + 1, Qt::CaseInsensitive)) {
        if (!rIsNotReservedWord(text, int(at) + 1)) {
            return at;
        }
    }
    return -1;
}

}  // namespace

QString GetSQLPart(const platform::RichTextControl& rtb, int& end) {
    const QString text = rtb.text();
    qsizetype caret = rtb.selStart();
    if (caret >= text.size()) {
        caret = 0;  // at the very end the first SELECT decides
    }
    QString clause;
    qsizetype best = -1;
    if (caret == 0) {
        best = FindKeyword(text, kClauses[0], 0);
        if (best >= 0) {
            clause = kClauses[0];
        }
    } else if (text.at(caret - 1) != u'\n') {
        // The keyword that starts nearest before the caret.
        for (const QString& keyword : kClauses) {
            for (qsizetype at = text.indexOf(keyword, 0, Qt::CaseInsensitive); at >= 0 && at < caret;
                 at = text.indexOf(keyword, at + 1, Qt::CaseInsensitive)) {
                if (at > best && !rIsNotReservedWord(text, int(at) + 1)) {
                    best = at;
                    clause = keyword;
                }
            }
        }
    } else {
        // At the start of a line: the clause that the line (or a later one) begins.
        for (const QString& keyword : kClauses) {
            const qsizetype at = FindKeyword(text, keyword, caret);
            if (at >= 0 && (best < 0 || at <= best)) {
                best = at;
                clause = keyword;
            }
        }
    }
    end = clause.isEmpty() ? 0 : int(best + 1 + clause.size());
    return clause;
}

QString FieldPrefix(const platform::RichTextControl& rtb, bool inList) {
    const QString text = rtb.text();
    qsizetype at = std::min<qsizetype>(rtb.selStart(), text.size()) - 1;
    if (at < 0) {
        return QString();
    }
    bool passedBlank = false;
    while (at >= 0 && text.at(at) == u' ') {
        passedBlank = true;
        --at;
    }
    if (at < 0) {
        return QString();  // only blanks before the caret
    }
    const QChar ch = text.at(at);
    if (ch.unicode() < 32 || QStringLiteral("!.[('\"").contains(ch)) {
        return QString();
    }
    const QString blank = passedBlank ? QString() : QStringLiteral(" ");
    // AND and OR count only as whole words, so that a name ending in "or" (Color) is no operator.
    const auto endsWithWord = [&](QLatin1String word) {
        const qsizetype start = at - word.size() + 1;
        return start >= 0 &&
               QStringView(text).mid(start, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
               (start == 0 || !IsWordCharacter(text.at(start - 1)));
    };
    const bool afterOperator = endsWithWord(QLatin1String("AND")) || endsWithWord(QLatin1String("OR")) ||
                               QStringLiteral("+-*/&=").contains(ch);
    if (afterOperator) {
        return blank;
    }
    if (inList && ch != u',' && ColourAt(rtb, int(at)) != kKeywordColour) {
        return QStringLiteral(", ");
    }
    // Outside a list the name is only kept apart from the word before it.
    return blank;
}

QString FieldSuffix(const platform::RichTextControl& rtb, bool inList) {
    const QString text = rtb.text();
    const qsizetype after = qsizetype(rtb.selStart()) + rtb.selLength();
    if (after >= text.size()) {
        return QString();
    }
    const QChar ch = text.at(after);
    if (QStringLiteral(";,])'\"").contains(ch) || ch.unicode() < 32) {
        return QString();  // a line end keeps the name apart already
    }
    if (ch != u' ') {
        if ((ch.isLetterOrNumber() || ch == u'[') && inList && ColourAt(rtb, int(after)) != kKeywordColour) {
            return QStringLiteral(", ");
        }
        return QStringLiteral(" ");
    }
    if (inList && after + 1 < text.size()) {
        const QChar next = text.at(after + 1);
        if (next != u',' && next != u' ' && next.unicode() >= 32 &&
            ColourAt(rtb, int(after + 1)) != kKeywordColour) {
            return QStringLiteral(",");
        }
    }
    return QString();
}

bool AddFields(const platform::Services& services, platform::RichTextControl& rtb, const QString& name) {
    return ErrorBoundary(services, QStringLiteral("AddFields"), QStringLiteral("frmEditor"), false, [&] {
        int end = 0;
        const bool inList = IsListClause(GetSQLPart(rtb, end));
        const QString inserted = FieldPrefix(rtb, inList) + name + FieldSuffix(rtb, inList);
        const int caret = rtb.selStart();
        rtb.setSelText(inserted);
        rtb.setSelStart(caret + int(inserted.size()));
        return true;
    });
}

bool DropField(const platform::Services& services, platform::RichTextControl& rtb, const QPoint& point,
               const QString& name) {
    rtb.setSelStart(rtb.charFromPos(point));
    return AddFields(services, rtb, name);
}
