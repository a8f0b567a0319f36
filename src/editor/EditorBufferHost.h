// What the editor window offers to the two helpers that work on its text box: the colouriser reads the
// text as it was before the latest change, and the undo buffer asks whether it may record, switches the
// toolbar buttons and reads the clipboard for its plain-text paste. The editor window implements it;
// HeadlessEditor is the one the command-line tool and the tests use.
#pragma once

#include "colouring/ColouringOwner.h"

#include <QString>

namespace platform {
class RichTextControl;
}

// PreviousText, for the colouriser, comes from the undo buffer's lists.
class EditorBufferHost : public ColouringOwner {
public:
    // The text box of the window.
    virtual platform::RichTextControl* rtbSQLEditor() const = 0;
    // False while the window loads and while its colouriser recolours, or when it has no colouriser.
    virtual bool TrapUndo() const = 0;
    // Toolbar buttons by key ("Undo", "Redo", "Save").
    virtual void setToolbarButtonEnabled(const QString& key, bool enabled) = 0;
    virtual bool toolbarButtonEnabled(const QString& key) const = 0;
    // The plain text on the system clipboard.
    virtual QString clipboardText() const = 0;
};
