// One snapshot of the undo history: the whole plain text and the whole rich text of the box.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {
class RichTextControl;
}

struct CUndoElement {
    QString Text;
    QByteArray TextRTF;

    // The control's content now.
    static CUndoElement of(const platform::RichTextControl& control);
};
