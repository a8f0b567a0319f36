#include "editor/DraftOffer.h"

#include "catalogue/mMain.h"

#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace {

QStringList linesOf(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return text.isEmpty() ? QStringList() : text.split(lineEnd);
}

// Texts longer than this are shown whole rather than compared line by line (the table grows with the
// product of the line counts).
constexpr qsizetype kMaxComparedLines = 4000;

}  // namespace

DraftOffer::DraftOffer(AddinContext& context, const DraftStore& store) : mContext(context), mStore(store) {}

QString DraftOffer::SavedText(const Draft& draft) const {
    if (draft.query.isEmpty() || !mContext.application() || !IsQuery(mContext, draft.query)) {
        return QString();
    }
    try {
        return mContext.currentDatabase()->queryDef(draft.query)->sql();
    } catch (...) {
        return QString();
    }
}

int DraftOffer::Offer(const QString& database) {
    int restored = 0;
    for (const Draft& draft : mStore.draftsFor(database)) {
        const QString saved = SavedText(draft);
        if (draft.text == saved) {
            mStore.remove(draft.id);
            continue;
        }
        Choice choice = ask ? ask(draft, saved) : Choice::Later;
        while (choice == Choice::ShowDifference) {
            if (showDifference) {
                showDifference(draft, Difference(saved, draft.text));
            }
            choice = ask ? ask(draft, saved) : Choice::Later;
        }
        if (choice == Choice::Restore) {
            if (restore && restore(draft)) {
                ++restored;
            }
        } else if (choice == Choice::Discard) {
            mStore.remove(draft.id);
        }
    }
    return restored;
}

QString DraftOffer::Difference(const QString& savedText, const QString& draftText) {
    const QStringList a = linesOf(savedText);
    const QStringList b = linesOf(draftText);
    QStringList out;
    if (a.size() > kMaxComparedLines || b.size() > kMaxComparedLines) {
        for (const QString& line : a) {
            out << QStringLiteral("- ") + line;
        }
        for (const QString& line : b) {
            out << QStringLiteral("+ ") + line;
        }
        return out.join(QLatin1Char('\n'));
    }
    // Longest common subsequence of lines, from the ends.
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<int> common((n + 1) * (m + 1), 0);
    const auto at = [m, &common](qsizetype i, qsizetype j) -> int& { return common[i * (m + 1) + j]; };
    for (qsizetype i = n - 1; i >= 0; --i) {
        for (qsizetype j = m - 1; j >= 0; --j) {
            at(i, j) = a[i] == b[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        }
    }
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[i] == b[j]) {
            out << QStringLiteral("  ") + a[i++];
            ++j;
        } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
            out << QStringLiteral("- ") + a[i++];
        } else {
            out << QStringLiteral("+ ") + b[j++];
        }
    }
    return out.join(QLatin1Char('\n'));
}
