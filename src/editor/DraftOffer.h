// The offer of the drafts a database has when it opens (left by a crash or a kill): for each, restore it
// into an editor marked changed, show how it differs from the saved query, discard it, or decide later.
// A draft is never written to the database by itself: only the user's Save in the restored editor does.
#pragma once

#include "catalogue/AddinContext.h"
#include "editor/DraftStore.h"

#include <QString>

#include <functional>

class DraftOffer {
public:
    enum class Choice { Restore, ShowDifference, Discard, Later };

    // Neither the context nor the store is owned.
    DraftOffer(AddinContext& context, const DraftStore& store);

    // The view: the question for one draft (its saved query's text alongside), and the difference shown.
    std::function<Choice(const Draft& draft, const QString& savedText)> ask;
    std::function<void(const Draft& draft, const QString& difference)> showDifference;
    // Opens an editor with the draft's text, marked changed, that goes on writing this draft; false when
    // none could be opened (the draft then stays).
    std::function<bool(const Draft& draft)> restore;

    // Offers every draft of the database in turn; returns how many were restored. A draft whose text is
    // the saved query's text is removed without a question.
    int Offer(const QString& database);

    // The saved query's text now: empty for a new query or one that no longer exists.
    QString SavedText(const Draft& draft) const;
    // A line-by-line difference: each line of the saved text and the draft, prefixed "  " (in both),
    // "- " (only saved) or "+ " (only in the draft), LF line ends.
    static QString Difference(const QString& savedText, const QString& draftText);

private:
    AddinContext& mContext;
    const DraftStore& mStore;
};
