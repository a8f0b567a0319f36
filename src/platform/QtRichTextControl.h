// The rich-text control on a QTextEdit. The document holds one paragraph break where the host counts
// CR LF as two characters, so every position is mapped both ways (the host's CR and LF both stand for the
// break). Behaviour matches InMemoryRichTextControl, whose header lists the rules both follow; in addition:
// - The control inserts typed characters and pasted text itself (plain text only), so that both take the
//   colour that SelColor reads, and it never inserts dropped data: OLEDragDrop's handler does that.
// - Redraw off and lockWindowUpdate both switch the widget's updates off; the scroll position is the
//   vertical scroll bar's value in pixels; charFromPos and the mouse events use viewport pixels.
// - The control owns its widget and deletes it; when a parent widget deletes the widget first, the
//   control must not be used any more.
// - Host positions map to the document in O(log n) and back in O(log^2 n) (a search over the blocks).
#pragma once

#include "RichTextControl.h"
#include "RichTextSnapshot.h"

#include <QPointer>
#include <QTextCursor>

#include <memory>
#include <optional>

class QTextEdit;
class QWidget;

namespace platform {

class QtRichTextControl : public RichTextControl {
    Q_OBJECT

public:
    explicit QtRichTextControl(QWidget* parentWidget = nullptr, QObject* parent = nullptr);
    ~QtRichTextControl() override;

    QTextEdit* widget() const;

    QString text() const override;
    void setText(const QString& text) override;
    QByteArray textRTF() const override;
    void setTextRTF(const QByteArray& rtf) override;
    int selStart() const override;
    void setSelStart(int position) override;
    int selLength() const override;
    void setSelLength(int length) override;
    QString selText() const override;
    void setSelText(const QString& text) override;
    quint32 selColor() const override;
    void setSelColor(quint32 rgb) override;
    void setRedraw(bool on) override;
    bool redraw() const override { return mRedraw; }
    int scrollPosition() const override;
    void setScrollPosition(int position) override;
    void lockWindowUpdate(bool locked) override;
    int charFromPos(const QPoint& point) const override;
    bool visible() const override;
    void setVisible(bool visible) override;
    void refresh() override;
    void setFocus() override;

    QList<ColourRun> colourRuns() const override { return snapshot().runs; }

    RichTextSnapshot snapshot() const;

private:
    class Editor;
    friend class Editor;
    struct BlockSpan {
        int number;
        int position;
        int length;  // without the paragraph break
    };
    struct DocumentPosition {
        int position;
        bool insideLineEnd;  // the host position is the LF of a CR LF
    };

    int hostLength() const;
    int toHost(int documentPosition) const;
    DocumentPosition toDocument(int hostPosition) const;
    quint32 documentCharacterColour(int documentPosition) const;
    void restore(const RichTextSnapshot& snapshot);
    // Replaces the selection with plain text in the colour SelColor reads; raises Change when it alters
    // the text.
    void insertPlain(const QString& text);
    // The selection, which the widget shows except while drawing is off.
    QTextCursor selection() const;
    void setSelection(const QTextCursor& cursor);
    void selectDocument(int anchor, int position);
    void onContentsChange(int position, int removed, int added);
    void onContentsChanged();
    void onCursorMoved();
    void notifySelection();
    void applyUpdates();
    void openBatch();
    void closeBatch();

    QPointer<Editor> mEditor;
    mutable std::optional<BlockSpan> mLastBlock;  // the block of the last position mapped; reset on edits
    int mProgramEdit = 0;                         // own edits raise Change themselves
    bool mPendingChange = false;
    int mNotifiedStart = 0;
    int mNotifiedLength = 0;
    bool mRedraw = true;
    bool mLocked = false;
    bool mFocusBeforeHide = false;
    // While drawing is off the document's notifications, and so its layout, wait in one edit block: a
    // colouring pass writes thousands of colours and each would lay out the document again.
    // The caret stays off the widget meanwhile too: every move of the widget's caret lays out its line.
    std::unique_ptr<QTextCursor> mBatch;
    QTextCursor mBatchSelection;
};

}  // namespace platform
