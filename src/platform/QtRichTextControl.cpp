#include "QtRichTextControl.h"

#include "VirtualKeys.h"

#include <QAbstractTextDocumentLayout>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace platform {

namespace {

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= vbShiftMask;
    if (modifiers & Qt::ControlModifier)
        shift |= vbCtrlMask;
    if (modifiers & Qt::AltModifier)
        shift |= vbAltMask;
    return shift;
}

int mouseButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

QTextCharFormat colourFormat(quint32 rgb) {
    QTextCharFormat format;
    format.setForeground(QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)));
    return format;
}

quint32 colourOf(const QTextCharFormat& format) {
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return defaultTextColour;
    const QColor colour = format.foreground().color();
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

// Host text (CR LF line ends) as the document takes it: one LF per paragraph break.
QString documentText(const QString& hostText) {
    QString text = hostText;
    text.replace(u"\r\n"_qs, u"\n"_qs);
    return text;
}

// The character the host's KeyPress carries for a key, 0 when the key types nothing.
int keyAscii(const QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return vk::returnKey;
    if (key == Qt::Key_Backspace)
        return vk::back;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return vk::tab;
    if (key == Qt::Key_Escape)
        return vk::escape;
    if ((event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return 0;
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0].isPrint())
        return text[0].unicode();
    return 0;
}

}  // namespace

class QtRichTextControl::Editor : public QTextEdit {
public:
    Editor(QtRichTextControl* control, QWidget* parent) : QTextEdit(parent), mControl(control) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        const bool typesText = !typed.isEmpty() && typed[0].isPrint();
        int code = virtualKeyFromQtKey(event->key());
        if (code == 0 && typesText)
            code = vk::packet;  // a character off the US layout
        if (code != 0) {
            int keyCode = code;
            emit mControl->KeyDown(&keyCode, shiftState(event->modifiers()));
            if (keyCode == 0) {
                event->accept();
                return;
            }
        }
        const int ascii = keyAscii(event);
        if (ascii == 0) {
            if (typesText)  // beyond one UTF-16 unit, which KeyPress cannot carry
                mControl->insertPlain(typed);
            else
                baseKeyPress(event);
            return;
        }
        int keyAsciiValue = ascii;
        emit mControl->KeyPress(&keyAsciiValue);
        event->accept();
        if (keyAsciiValue == 0)
            return;
        if (keyAsciiValue == vk::returnKey)
            mControl->insertPlain(u"\r\n"_qs);
        else if (keyAsciiValue == vk::tab || keyAsciiValue >= 32)
            mControl->insertPlain(QString(QChar(keyAsciiValue)));
        else
            baseKeyPress(event);  // backspace, escape, the Ctrl+letter commands
    }

    void keyReleaseEvent(QKeyEvent* event) override {
        int code = virtualKeyFromQtKey(event->key());
        if (code == 0 && !event->text().isEmpty() && event->text()[0].isPrint())
            code = vk::packet;
        if (code != 0 && !event->isAutoRepeat()) {
            int keyCode = code;
            emit mControl->KeyUp(&keyCode, shiftState(event->modifiers()));
        }
        QTextEdit::keyReleaseEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QTextEdit::mouseReleaseEvent(event);
        const QPoint at = event->position().toPoint();
        emit mControl->MouseUp(mouseButton(event->button()), shiftState(event->modifiers()), at.x(), at.y());
    }

    // The add-in shows its own menu on MouseUp.
    void contextMenuEvent(QContextMenuEvent* event) override { event->ignore(); }

    void dragEnterEvent(QDragEnterEvent* event) override { dragOver(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { dragOver(event); }
    void dropEvent(QDropEvent* event) override {
        if (!event->mimeData()->hasText()) {
            event->ignore();
            return;
        }
        const QPoint at = event->position().toPoint();
        // A copy, so that a drag started here never deletes its source text afterwards.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit mControl->OLEDragDrop(event->mimeData()->text(), at.x(), at.y());
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        const bool batched = mControl->mBatch != nullptr;
        mControl->closeBatch();
        QTextEdit::inputMethodEvent(event);
        if (batched)
            mControl->openBatch();
    }

    bool canInsertFromMimeData(const QMimeData* source) const override { return source->hasText(); }
    void insertFromMimeData(const QMimeData* source) override {
        if (source->hasText())
            mControl->insertPlain(source->text());
    }

private:
    // Edits of the text box's own (deleting, cutting) announce their change through the document, which
    // must not be holding its notifications back in the batch meanwhile.
    void baseKeyPress(QKeyEvent* event) {
        const bool batched = mControl->mBatch != nullptr;
        mControl->closeBatch();
        QTextEdit::keyPressEvent(event);
        if (batched)
            mControl->openBatch();
    }

    void dragOver(QDropEvent* event) {
        bool accept = event->mimeData()->hasText();
        if (accept) {
            const QPoint at = event->position().toPoint();
            emit mControl->OLEDragOver(event->mimeData()->text(), at.x(), at.y(), &accept);
        }
        if (accept) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

    QtRichTextControl* mControl;
};

// Marks the control's own document edits, whose Change the control raises itself.
class ProgramEdit {
public:
    explicit ProgramEdit(int& depth) : mDepth(depth) { ++mDepth; }
    ~ProgramEdit() { --mDepth; }
    ProgramEdit(const ProgramEdit&) = delete;
    ProgramEdit& operator=(const ProgramEdit&) = delete;

private:
    int& mDepth;
};

QtRichTextControl::QtRichTextControl(QWidget* parentWidget, QObject* parent)
    : RichTextControl(parent), mEditor(new Editor(this, parentWidget)) {
    QFont font(u"Courier New"_qs);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    mEditor->setFont(font);
    mEditor->setAcceptRichText(false);
    mEditor->setUndoRedoEnabled(false);
    mEditor->document()->setUndoRedoEnabled(false);
    mEditor->setLineWrapMode(QTextEdit::NoWrap);

    QTextDocument* document = mEditor->document();
    connect(document, &QTextDocument::contentsChange, this, &QtRichTextControl::onContentsChange);
    connect(document, &QTextDocument::contentsChanged, this, &QtRichTextControl::onContentsChanged);
    connect(mEditor, &QTextEdit::cursorPositionChanged, this, &QtRichTextControl::onCursorMoved);
    connect(mEditor, &QTextEdit::selectionChanged, this, &QtRichTextControl::onCursorMoved);
}

QtRichTextControl::~QtRichTextControl() {
    mBatch.reset();
    if (mEditor) {
        mEditor->document()->disconnect(this);
        mEditor->disconnect(this);
        delete mEditor;
    }
}

QTextEdit* QtRichTextControl::widget() const {
    return mEditor;
}

// Positions ----------------------------------------------------------------------------------------------

int QtRichTextControl::hostLength() const {
    const QTextDocument* document = mEditor->document();
    return document->characterCount() - 1 + document->blockCount() - 1;
}

int QtRichTextControl::toHost(int documentPosition) const {
    return documentPosition + mEditor->document()->findBlock(documentPosition).blockNumber();
}

QtRichTextControl::DocumentPosition QtRichTextControl::toDocument(int hostPosition) const {
    const QTextDocument* document = mEditor->document();
    hostPosition = std::clamp(hostPosition, 0, hostLength());
    // A block covers its text, its CR and its LF in host positions.
    auto covers = [hostPosition](const BlockSpan& span) {
        const int hostStart = span.position + span.number;
        return hostPosition >= hostStart && hostPosition <= hostStart + span.length + 1;
    };
    auto spanOf = [](const QTextBlock& block) {
        return BlockSpan{block.blockNumber(), block.position(), block.length() - 1};
    };
    // Colouring walks the text line by line, so the last block or the next one is most often the one.
    if (!mLastBlock || !covers(*mLastBlock)) {
        const QTextBlock next =
            mLastBlock ? document->findBlockByNumber(mLastBlock->number + 1) : QTextBlock();
        if (next.isValid() && covers(spanOf(next))) {
            mLastBlock = spanOf(next);
        } else {
            // The last block whose host start (its document position plus one more character per earlier
            // line end) is at or before the position.
            int low = 0;
            int high = document->blockCount() - 1;
            while (low < high) {
                const int middle = (low + high + 1) / 2;
                if (document->findBlockByNumber(middle).position() + middle <= hostPosition)
                    low = middle;
                else
                    high = middle - 1;
            }
            mLastBlock = spanOf(document->findBlockByNumber(low));
        }
    }
    const BlockSpan& span = *mLastBlock;
    const int offset = hostPosition - (span.position + span.number);
    if (offset <= span.length)
        return {span.position + offset, false};
    return {span.position + span.length, true};
}

QTextCursor QtRichTextControl::selection() const {
    return mBatch ? mBatchSelection : mEditor->textCursor();
}

void QtRichTextControl::setSelection(const QTextCursor& cursor) {
    if (mBatch)
        mBatchSelection = cursor;
    else
        mEditor->setTextCursor(cursor);
}

void QtRichTextControl::selectDocument(int anchor, int position) {
    QTextCursor cursor = selection();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setSelection(cursor);
    notifySelection();
}

int QtRichTextControl::selStart() const {
    return toHost(selection().selectionStart());
}

int QtRichTextControl::selLength() const {
    const QTextCursor cursor = selection();
    return toHost(cursor.selectionEnd()) - toHost(cursor.selectionStart());
}

void QtRichTextControl::setSelStart(int position) {
    const int start = toDocument(position).position;
    selectDocument(start, start);
}

void QtRichTextControl::setSelLength(int length) {
    const int hostStart = selStart();
    const int start = toDocument(hostStart).position;
    if (length <= 0) {
        selectDocument(start, start);
        return;
    }
    const DocumentPosition end = toDocument(int(std::min<qint64>(qint64(hostStart) + length, hostLength())));
    selectDocument(start, end.position + (end.insideLineEnd ? 1 : 0));
}

QString QtRichTextControl::selText() const {
    // Text put in never holds a paragraph separator, so each one in the selection is a line end.
    return selection().selectedText().replace(QChar::ParagraphSeparator, u"\r\n"_qs);
}

// Text ---------------------------------------------------------------------------------------------------

QString QtRichTextControl::text() const {
    QString text;
    const QTextDocument* document = mEditor->document();
    text.reserve(hostLength());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            text += u"\r\n"_qs;
        text += block.text();
    }
    return text;
}

void QtRichTextControl::setText(const QString& text) {
    RichTextSnapshot snapshot;
    snapshot.text = RichTextSnapshot::normalizeLineEnds(text);
    if (!snapshot.text.isEmpty())
        snapshot.runs.append({0, int(snapshot.text.size()), defaultTextColour});
    restore(snapshot);
}

RichTextSnapshot QtRichTextControl::snapshot() const {
    RichTextSnapshot snapshot;
    auto append = [&snapshot](const QString& text, quint32 colour) {
        if (text.isEmpty())
            return;
        if (!snapshot.runs.isEmpty() && snapshot.runs.last().colour == colour)
            snapshot.runs.last().length += int(text.size());
        else
            snapshot.runs.append({int(snapshot.text.size()), int(text.size()), colour});
        snapshot.text += text;
    };
    const QTextDocument* document = mEditor->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            append(u"\r\n"_qs, colourOf(block.charFormat()));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            append(it.fragment().text(), colourOf(it.fragment().charFormat()));
    }
    return snapshot;
}

QByteArray QtRichTextControl::textRTF() const {
    return snapshot().encode();
}

void QtRichTextControl::setTextRTF(const QByteArray& rtf) {
    if (const auto snapshot = RichTextSnapshot::fromTextRTF(rtf))
        restore(*snapshot);
}

void QtRichTextControl::restore(const RichTextSnapshot& snapshot) {
    {
        ProgramEdit edit(mProgramEdit);
        QTextCursor cursor(mEditor->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        cursor.setBlockCharFormat(colourFormat(defaultTextColour));
        bool skipLineFeed = false;  // a run that ended between CR and LF took the line end already
        for (const ColourRun& run : snapshot.runs) {
            QString part = snapshot.text.mid(run.start, run.length);
            if (skipLineFeed && part.startsWith(u'\n'))
                part.remove(0, 1);
            skipLineFeed = part.endsWith(u'\r');
            part = documentText(part);
            if (skipLineFeed)
                part.back() = u'\n';
            cursor.insertText(part, colourFormat(run.colour));
        }
        cursor.endEditBlock();
        mLastBlock.reset();
        QTextCursor caret(mEditor->document());
        setSelection(caret);
    }
    emit Change();
    notifySelection();
}

void QtRichTextControl::setSelText(const QString& text) {
    insertPlain(text);
}

void QtRichTextControl::insertPlain(const QString& text) {
    const QString inserted = RichTextSnapshot::normalizeLineEnds(text);
    QTextCursor cursor = selection();
    const bool changes = cursor.hasSelection() || !inserted.isEmpty();
    {
        ProgramEdit edit(mProgramEdit);
        const QTextCharFormat format = colourFormat(selColor());
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        cursor.insertText(documentText(inserted), format);
        cursor.endEditBlock();
        mLastBlock.reset();
        setSelection(cursor);
    }
    if (changes)
        emit Change();
    notifySelection();
}

// Colour -------------------------------------------------------------------------------------------------

quint32 QtRichTextControl::documentCharacterColour(int documentPosition) const {
    const QTextBlock block = mEditor->document()->findBlock(documentPosition);
    if (documentPosition == block.position() + block.length() - 1) {  // a paragraph break
        const QTextBlock next = block.next();
        return next.isValid() ? colourOf(next.charFormat()) : defaultTextColour;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (documentPosition < fragment.position() + fragment.length())
            return colourOf(fragment.charFormat());
    }
    return defaultTextColour;
}

quint32 QtRichTextControl::selColor() const {
    if (hostLength() == 0)
        return defaultTextColour;
    const QTextCursor cursor = selection();
    if (cursor.hasSelection())
        return documentCharacterColour(cursor.selectionStart());
    const int caret = cursor.position();
    const QTextBlock block = mEditor->document()->findBlock(caret);
    const bool lineStart = caret == block.position();
    if (lineStart && block.length() > 1)
        return documentCharacterColour(caret);
    if (lineStart)  // an empty line: the line end before it, or for the first line the one after it
        return block.blockNumber() > 0 ? colourOf(block.charFormat()) : documentCharacterColour(caret);
    return documentCharacterColour(caret - 1);
}

void QtRichTextControl::setSelColor(quint32 rgb) {
    QTextCursor cursor = selection();
    if (!cursor.hasSelection())
        return;
    ProgramEdit edit(mProgramEdit);
    cursor.mergeCharFormat(colourFormat(rgb & 0xFFFFFF));
}

// Change and SelChange -----------------------------------------------------------------------------------

void QtRichTextControl::onContentsChange(int, int, int) {
    mLastBlock.reset();
    if (mProgramEdit == 0)
        mPendingChange = true;
}

void QtRichTextControl::onContentsChanged() {
    if (!mPendingChange)
        return;
    mPendingChange = false;
    emit Change();
    notifySelection();
}

void QtRichTextControl::onCursorMoved() {
    // During an edit SelChange waits until Change has been raised.
    if (mProgramEdit == 0 && !mPendingChange)
        notifySelection();
}

void QtRichTextControl::notifySelection() {
    const int start = selStart();
    const int length = selLength();
    if (start == mNotifiedStart && length == mNotifiedLength)
        return;
    mNotifiedStart = start;
    mNotifiedLength = length;
    emit SelChange();
}

// Window -------------------------------------------------------------------------------------------------

void QtRichTextControl::applyUpdates() {
    const bool on = mRedraw && !mLocked;
    if (mEditor->updatesEnabled() != on)
        mEditor->setUpdatesEnabled(on);
    if (on)
        closeBatch();
    else
        openBatch();
}

void QtRichTextControl::openBatch() {
    if (mBatch)
        return;
    mBatchSelection = mEditor->textCursor();
    mBatch = std::make_unique<QTextCursor>(mEditor->document());
    mBatch->beginEditBlock();
}

void QtRichTextControl::closeBatch() {
    if (!mBatch)
        return;
    // What the document announces now has been reported already (the control's own edits) or is colour.
    {
        ProgramEdit edit(mProgramEdit);
        mBatch->endEditBlock();
        mBatch.reset();
    }
    mEditor->setTextCursor(mBatchSelection);
    mBatchSelection = QTextCursor();
}

void QtRichTextControl::setRedraw(bool on) {
    mRedraw = on;
    applyUpdates();
}

void QtRichTextControl::lockWindowUpdate(bool locked) {
    mLocked = locked;
    applyUpdates();
}

int QtRichTextControl::scrollPosition() const {
    return mEditor->verticalScrollBar()->value();
}

void QtRichTextControl::setScrollPosition(int position) {
    mEditor->verticalScrollBar()->setValue(position);
}

int QtRichTextControl::charFromPos(const QPoint& point) const {
    // The layout's hit test gives up on points outside the text's area (the document margin included),
    // so bring the point inside it; below the last line means the end of the text.
    const QTextDocument* document = mEditor->document();
    const QSizeF size = document->documentLayout()->documentSize();
    const qreal margin = document->documentMargin();
    const qreal x = point.x() + mEditor->horizontalScrollBar()->value();
    const qreal y = point.y() + mEditor->verticalScrollBar()->value();
    if (y >= size.height() - margin)
        return hostLength();
    const QPointF at(std::clamp(x, margin, std::max(margin, size.width() - margin - 1)), std::max(y, margin));
    const int position = document->documentLayout()->hitTest(at, Qt::FuzzyHit);
    return position < 0 ? 0 : toHost(position);
}

bool QtRichTextControl::visible() const {
    return !mEditor->isHidden();
}

void QtRichTextControl::setVisible(bool visible) {
    // Hiding moves the focus away; the colouriser hides and shows the box after every pass.
    if (!visible && !mEditor->isHidden())
        mFocusBeforeHide = mEditor->hasFocus();
    mEditor->setVisible(visible);
    if (visible && mFocusBeforeHide) {
        mFocusBeforeHide = false;
        mEditor->setFocus();
    }
}

void QtRichTextControl::refresh() {
    mEditor->viewport()->update();
}

void QtRichTextControl::setFocus() {
    mEditor->setFocus();
}

}  // namespace platform
