// The in-memory rich-text control: the host's text model without a window, for the command-line tool and
// the tests. Behaviour shared with the Qt control (both are held to it by one conformance suite):
// - Line ends are always CR LF; text written with lone CR or LF (or U+2029) is normalised to CR LF.
// - Positions are clamped to the text and a negative SelLength counts as 0. A position or selection end
//   that falls between the CR and the LF of a line end moves to cover the whole line end: a start moves
//   back to the CR, a non-empty selection's end moves on past the LF.
// - SelColor reads the colour of the first selected character; with no selection, that of the character
//   before the caret, except at the start of a line that has text, where the character after the caret
//   counts (so the caret on a coloured word's first character reads that word's colour); on an empty line
//   the line end before it counts (after it, on an empty first line). An empty text reads the default
//   colour, black. Writing SelColor with no selection changes nothing.
// - Text typed, pasted or written to SelText takes the colour that SelColor reads at that moment; Text
//   written as a whole is black.
// - Writing Text or TextRTF moves the caret to 0. Every write of Text or TextRTF raises one Change; SelText,
//   typing and pasting raise one Change each when they alter the text; colour writes raise none. Change
//   comes before SelChange, and SelChange is raised whenever SelStart or SelLength ends up different.
// - TextRTF bytes without the snapshot header are taken as plain UTF-8 text; a damaged snapshot is
//   ignored (nothing changes, no Change).
// - KeyDown setting the key code to 0 swallows the key: no KeyPress and no effect. KeyPress setting the
//   character to 0 swallows the character, setting another character types that one instead. KeyUp is
//   raised in every case. Characters off the US layout come with the key code vk::packet.
// - charFromPos gives the nearest character boundary on the line under the point, clamped to the line's
//   text; a point below the last line gives the end of the text.
#pragma once

#include "RichTextControl.h"
#include "RichTextSnapshot.h"

#include <vector>

namespace platform {

class InMemoryRichTextControl : public RichTextControl {
    Q_OBJECT

public:
    // The fixed character grid of charFromPos; the scroll position counts lines.
    static constexpr int charWidth = 8;
    static constexpr int lineHeight = 16;
    static constexpr int visibleLines = 25;

    explicit InMemoryRichTextControl(QObject* parent = nullptr);

    QString text() const override { return mText; }
    void setText(const QString& text) override;
    QByteArray textRTF() const override;
    void setTextRTF(const QByteArray& rtf) override;
    int selStart() const override { return mSelStart; }
    void setSelStart(int position) override;
    int selLength() const override { return mSelLength; }
    void setSelLength(int length) override;
    QString selText() const override { return mText.mid(mSelStart, mSelLength); }
    void setSelText(const QString& text) override;
    quint32 selColor() const override;
    void setSelColor(quint32 rgb) override;
    void setRedraw(bool on) override { mRedraw = on; }
    bool redraw() const override { return mRedraw; }
    int scrollPosition() const override { return mScrollPosition; }
    void setScrollPosition(int position) override;
    void lockWindowUpdate(bool locked) override { mWindowLocked = locked; }
    int charFromPos(const QPoint& point) const override;
    bool visible() const override { return mVisible; }
    void setVisible(bool visible) override { mVisible = visible; }
    void refresh() override { ++mRefreshCount; }
    void setFocus() override { mFocused = true; }

    // The user's side, for tests and headless runs.
    // Types each character: KeyDown, KeyPress, the insertion (CR or LF makes a line end, backspace deletes)
    // with its Change, KeyUp.
    void typeText(const QString& text);
    // A key without a character (KeyDown and KeyUp only); returns the code KeyDown left.
    int pressKey(int keyCode, int shift = 0);
    // The control's own paste of plain text over the selection.
    void paste(const QString& text);
    void mouseUp(int button, int shift, int x, int y) { emit MouseUp(button, shift, x, y); }
    // Returns whether a handler accepted the data (accepted unless one says otherwise).
    bool dragOver(const QString& data, int x, int y);
    void dragDrop(const QString& data, int x, int y) { emit OLEDragDrop(data, x, y); }

    bool windowLocked() const { return mWindowLocked; }
    bool hasFocus() const { return mFocused; }
    int refreshCount() const { return mRefreshCount; }
    // The colour of the character at a position (the default colour outside the text).
    quint32 colourAt(int position) const;
    QList<ColourRun> colourRuns() const override;

private:
    struct Run {
        int start;
        quint32 colour;
    };

    bool insideLineEnd(int position) const;
    void restore(const RichTextSnapshot& snapshot);
    // Replaces [start, start + length) with normalised text in one colour; the caret ends after it.
    void replace(int start, int length, const QString& text, quint32 colour);
    void paint(int start, int end, quint32 colour);
    void mergeRuns(std::size_t from, std::size_t to);
    void typeCharacter(QChar character);
    void select(int start, int length);
    void notifySelection();

    QString mText;
    std::vector<Run> mRuns;  // sorted by start, first at 0, neighbours differ in colour
    int mSelStart = 0;
    int mSelLength = 0;
    int mNotifiedStart = 0;
    int mNotifiedLength = 0;
    bool mRedraw = true;
    int mScrollPosition = 0;
    bool mWindowLocked = false;
    bool mVisible = true;
    bool mFocused = false;
    int mRefreshCount = 0;
};

}  // namespace platform
