// The two pop-up windows that placeholders are filled in with, shown at the caret of an editor's text box
// and modal until the user accepts or cancels: the list of what may replace a placeholder, and the
// one-line input of a number or a text. The desktop shows real windows, the tests and the command-line
// tool answer from a script.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class PopUpWindows {
public:
    virtual ~PopUpWindows() = default;
    // frmList with these rows (the first selected): the accepted row's text with blanks trimmed; empty
    // when the list was cancelled.
    virtual QString ShowList(const QStringList& rows) = 0;
    // frmTextInput, digits only when asked: the accepted text, untrimmed; nothing when cancelled.
    virtual std::optional<QString> InputText(bool numbersOnly) = 0;
};
