// The rich-text control that holds an editor's SQL text. Positions are the host's: every line ends in
// CR LF and a CR LF counts as two characters. Colours are 24-bit RGB values with red in the low byte.
#pragma once

#include "platform/RichTextSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

namespace platform {

class RichTextControl : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~RichTextControl() override = default;

    // The plain text. Writing replaces the whole text and raises Change.
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;

    // An opaque snapshot of the text and its colours; writing restores both and raises Change.
    virtual QByteArray textRTF() const = 0;
    virtual void setTextRTF(const QByteArray& rtf) = 0;

    virtual int selStart() const = 0;
    virtual void setSelStart(int position) = 0;  // collapses the selection to a caret
    virtual int selLength() const = 0;
    virtual void setSelLength(int length) = 0;
    virtual QString selText() const = 0;
    // Replaces the selection (or inserts at the caret); the caret ends after the inserted text.
    virtual void setSelText(const QString& text) = 0;
    // Reading with no selection gives the colour of the character at the caret.
    virtual quint32 selColor() const = 0;
    virtual void setSelColor(quint32 rgb) = 0;
    // The colours of the whole text as contiguous runs in position order, read without moving the
    // selection (a colouring pass skips the writes that would change nothing). A control may answer
    // faster than this default, which reads its TextRTF.
    virtual QList<ColourRun> colourRuns() const {
        const auto snapshot = RichTextSnapshot::fromTextRTF(textRTF());
        return snapshot ? snapshot->runs : QList<ColourRun>();
    }

    // Drawing off and on (the window's redraw switch); text changes still raise Change while off.
    virtual void setRedraw(bool on) = 0;
    virtual bool redraw() const = 0;
    // Vertical scroll position, in the control's own units.
    virtual int scrollPosition() const = 0;
    virtual void setScrollPosition(int position) = 0;
    // Freezes all drawing of the window (during an undo step).
    virtual void lockWindowUpdate(bool locked) = 0;
    // The character index nearest to a point in the control's coordinates.
    virtual int charFromPos(const QPoint& point) const = 0;

    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void refresh() = 0;
    virtual void setFocus() = 0;

signals:
    void Change();
    void SelChange();
    // A handler may set the code to 0 to swallow the key.
    void KeyPress(int* keyAscii);
    void KeyDown(int* keyCode, int shift);
    void KeyUp(int* keyCode, int shift);
    void MouseUp(int button, int shift, int x, int y);
    // Data dragged over or dropped on the control (plain text here).
    void OLEDragOver(const QString& data, int x, int y, bool* accept);
    void OLEDragDrop(const QString& data, int x, int y);
};

// Shift state bits of the key events.
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

}  // namespace platform
