// The desktop's question about one draft of unsaved editor text: its query, when it was written and its
// text, with Restore, Show Differences, Discard and Later; and the window that shows the differences.
#pragma once

#include "editor/DraftOffer.h"

#include <QDialog>

class QPlainTextEdit;

class DraftOfferDialog : public QDialog {
    Q_OBJECT

public:
    DraftOfferDialog(const Draft& draft, QWidget* parent);

    // Modal; Later when the window is closed without an answer.
    DraftOffer::Choice ask();
    // Modal window with the line-by-line difference.
    static void showDifference(const Draft& draft, const QString& difference, QWidget* parent);

    static QString Question(const Draft& draft);

private:
    DraftOffer::Choice mChoice = DraftOffer::Choice::Later;
};
