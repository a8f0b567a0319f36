#include "InMemoryRichTextControl.h"

#include "VirtualKeys.h"

#include <algorithm>

namespace platform {

InMemoryRichTextControl::InMemoryRichTextControl(QObject* parent) : RichTextControl(parent) {}

void InMemoryRichTextControl::setText(const QString& text) {
    RichTextSnapshot snapshot;
    snapshot.text = RichTextSnapshot::normalizeLineEnds(text);
    if (!snapshot.text.isEmpty())
        snapshot.runs.append({0, int(snapshot.text.size()), defaultTextColour});
    restore(snapshot);
}

QByteArray InMemoryRichTextControl::textRTF() const {
    return RichTextSnapshot{mText, colourRuns()}.encode();
}

void InMemoryRichTextControl::setTextRTF(const QByteArray& rtf) {
    if (const auto snapshot = RichTextSnapshot::fromTextRTF(rtf))
        restore(*snapshot);
}

void InMemoryRichTextControl::restore(const RichTextSnapshot& snapshot) {
    mText = snapshot.text;
    mRuns.clear();
    mRuns.reserve(snapshot.runs.size());
    for (const ColourRun& run : snapshot.runs) {
        if (mRuns.empty() || mRuns.back().colour != run.colour)
            mRuns.push_back({run.start, run.colour});
    }
    select(0, 0);
    emit Change();
    notifySelection();
}

void InMemoryRichTextControl::setSelStart(int position) {
    select(position, 0);
    notifySelection();
}

void InMemoryRichTextControl::setSelLength(int length) {
    select(mSelStart, length);
    notifySelection();
}

void InMemoryRichTextControl::setSelText(const QString& text) {
    const QString inserted = RichTextSnapshot::normalizeLineEnds(text);
    const bool changes = mSelLength > 0 || !inserted.isEmpty();
    replace(mSelStart, mSelLength, inserted, selColor());
    if (changes)
        emit Change();
    notifySelection();
}

quint32 InMemoryRichTextControl::selColor() const {
    if (mText.isEmpty())
        return defaultTextColour;
    if (mSelLength > 0)
        return colourAt(mSelStart);
    const int caret = mSelStart;
    const bool lineStart = caret == 0 || mText[caret - 1] == u'\n';
    const bool lineHasText = caret < mText.size() && mText[caret] != u'\r';
    if (lineStart && lineHasText)
        return colourAt(caret);
    return colourAt(caret > 0 ? caret - 1 : caret);
}

void InMemoryRichTextControl::setSelColor(quint32 rgb) {
    if (mSelLength > 0)
        paint(mSelStart, mSelStart + mSelLength, rgb & 0xFFFFFF);
}

void InMemoryRichTextControl::setScrollPosition(int position) {
    const int lines = int(mText.count(u'\n')) + 1;
    mScrollPosition = std::clamp(position, 0, std::max(0, lines - visibleLines));
}

int InMemoryRichTextControl::charFromPos(const QPoint& point) const {
    const int line = std::max(0, point.y()) / lineHeight + mScrollPosition;
    const int column = std::max(0, point.x() + charWidth / 2) / charWidth;
    qsizetype lineStart = 0;
    for (int i = 0; i < line; ++i) {
        const qsizetype next = mText.indexOf(u'\n', lineStart);
        if (next < 0)
            return int(mText.size());  // below the last line
        lineStart = next + 1;
    }
    qsizetype lineEnd = mText.indexOf(u'\r', lineStart);
    if (lineEnd < 0)
        lineEnd = mText.size();
    return int(std::min(lineStart + column, lineEnd));
}

void InMemoryRichTextControl::typeText(const QString& text) {
    for (const QChar character : text)
        typeCharacter(character);
}

void InMemoryRichTextControl::typeCharacter(QChar character) {
    const KeyStroke stroke = keyStrokeForCharacter(character);
    int keyCode = stroke.keyCode;
    emit KeyDown(&keyCode, stroke.shift);
    if (keyCode != 0) {
        int keyAscii = character == u'\n' ? vk::returnKey : character.unicode();
        emit KeyPress(&keyAscii);
        if (keyAscii == vk::back) {
            int start = mSelStart;
            int length = mSelLength;
            if (length == 0 && start > 0) {
                length = start >= 2 && mText[start - 1] == u'\n' && mText[start - 2] == u'\r' ? 2 : 1;
                start -= length;
            }
            if (length > 0) {
                replace(start, length, {}, defaultTextColour);
                emit Change();
            }
            notifySelection();
        } else if (keyAscii != 0) {
            replace(mSelStart, mSelLength,
                    keyAscii == vk::returnKey ? QStringLiteral("\r\n") : QString(QChar(keyAscii)),
                    selColor());
            emit Change();
            notifySelection();
        }
    }
    int upCode = stroke.keyCode;
    emit KeyUp(&upCode, stroke.shift);
}

int InMemoryRichTextControl::pressKey(int keyCode, int shift) {
    int downCode = keyCode;
    emit KeyDown(&downCode, shift);
    int upCode = keyCode;
    emit KeyUp(&upCode, shift);
    return downCode;
}

void InMemoryRichTextControl::paste(const QString& text) {
    setSelText(text);
}

bool InMemoryRichTextControl::dragOver(const QString& data, int x, int y) {
    bool accept = true;
    emit OLEDragOver(data, x, y, &accept);
    return accept;
}

quint32 InMemoryRichTextControl::colourAt(int position) const {
    if (position < 0 || position >= mText.size())
        return defaultTextColour;
    const auto run = std::upper_bound(mRuns.begin(), mRuns.end(), position,
                                      [](int p, const Run& r) { return p < r.start; });
    return std::prev(run)->colour;
}

QList<ColourRun> InMemoryRichTextControl::colourRuns() const {
    QList<ColourRun> runs(qsizetype(mRuns.size()));
    ColourRun* out = runs.data();
    for (std::size_t i = 0; i < mRuns.size(); ++i) {
        const int end = i + 1 < mRuns.size() ? mRuns[i + 1].start : int(mText.size());
        out[i] = {mRuns[i].start, end - mRuns[i].start, mRuns[i].colour};
    }
    return runs;
}

bool InMemoryRichTextControl::insideLineEnd(int position) const {
    return position > 0 && position < mText.size() && mText[position - 1] == u'\r' &&
           mText[position] == u'\n';
}

void InMemoryRichTextControl::select(int start, int length) {
    const int size = int(mText.size());
    start = std::clamp(start, 0, size);
    if (insideLineEnd(start))
        --start;
    int end = length <= 0 ? start : int(std::min<qint64>(size, qint64(start) + length));
    if (end > start && insideLineEnd(end))
        ++end;
    mSelStart = start;
    mSelLength = end - start;
}

void InMemoryRichTextControl::notifySelection() {
    if (mSelStart == mNotifiedStart && mSelLength == mNotifiedLength)
        return;
    mNotifiedStart = mSelStart;
    mNotifiedLength = mSelLength;
    emit SelChange();
}

namespace {

// Index of the first run that starts after the position.
template <typename Runs>
std::size_t firstRunAfter(const Runs& runs, int position) {
    return std::size_t(std::upper_bound(runs.begin(), runs.end(), position,
                                        [](int p, const auto& r) { return p < r.start; }) -
                       runs.begin());
}

}  // namespace

void InMemoryRichTextControl::replace(int start, int length, const QString& text, quint32 colour) {
    if (length > 0) {
        const int end = start + length;
        const bool toEnd = end >= mText.size();
        const std::size_t containing = firstRunAfter(mRuns, start) - 1;
        const quint32 colourAfter = toEnd ? 0 : mRuns[firstRunAfter(mRuns, end) - 1].colour;
        mRuns.erase(mRuns.begin() + std::ptrdiff_t(containing + 1),
                    mRuns.begin() + std::ptrdiff_t(firstRunAfter(mRuns, end)));
        // What follows the removed range now starts at its start.
        std::size_t following = containing + 1;
        if (mRuns[containing].start == start) {
            if (toEnd)
                mRuns.erase(mRuns.begin() + std::ptrdiff_t(containing));
            else
                mRuns[containing].colour = colourAfter;
        } else if (!toEnd) {
            mRuns.insert(mRuns.begin() + std::ptrdiff_t(following++), {start, colourAfter});
        }
        for (std::size_t i = following; i < mRuns.size(); ++i)
            mRuns[i].start -= length;
        mText.remove(start, length);
        mergeRuns(containing, containing + 1);
    }
    if (!text.isEmpty()) {
        const int inserted = int(text.size());
        if (mText.isEmpty()) {
            mRuns.assign(1, {0, colour});
        } else {
            std::size_t at = firstRunAfter(mRuns, start);
            if (start < mText.size() && mRuns[at - 1].start < start)
                mRuns.insert(mRuns.begin() + std::ptrdiff_t(at), {start, mRuns[at - 1].colour});
            at = std::size_t(std::lower_bound(mRuns.begin(), mRuns.end(), start,
                                              [](const Run& r, int p) { return r.start < p; }) -
                             mRuns.begin());
            for (std::size_t i = at; i < mRuns.size(); ++i)
                mRuns[i].start += inserted;
            mRuns.insert(mRuns.begin() + std::ptrdiff_t(at), {start, colour});
            mergeRuns(at == 0 ? 0 : at - 1, at + 1);
        }
        mText.insert(start, text);
    }
    mSelStart = start + int(text.size());
    mSelLength = 0;
}

void InMemoryRichTextControl::paint(int start, int end, quint32 colour) {
    const std::size_t containing = firstRunAfter(mRuns, start) - 1;
    const std::size_t after = firstRunAfter(mRuns, end);
    if (mRuns[containing].colour == colour &&
        (containing + 1 == mRuns.size() || mRuns[containing + 1].start >= end))
        return;
    const bool toEnd = end >= mText.size();
    const quint32 colourAfter = mRuns[after - 1].colour;
    mRuns.erase(mRuns.begin() + std::ptrdiff_t(containing + 1), mRuns.begin() + std::ptrdiff_t(after));
    if (!toEnd)
        mRuns.insert(mRuns.begin() + std::ptrdiff_t(containing + 1), {end, colourAfter});
    if (mRuns[containing].start == start)
        mRuns[containing].colour = colour;
    else
        mRuns.insert(mRuns.begin() + std::ptrdiff_t(containing + 1), {start, colour});
    mergeRuns(containing, containing + 2);
}

void InMemoryRichTextControl::mergeRuns(std::size_t from, std::size_t to) {
    if (mRuns.size() < 2)
        return;
    to = std::min(to, mRuns.size() - 1);
    for (std::size_t i = to; i >= std::max<std::size_t>(from, 1) && i < mRuns.size(); --i) {
        if (mRuns[i].colour == mRuns[i - 1].colour)
            mRuns.erase(mRuns.begin() + std::ptrdiff_t(i));
    }
}

}  // namespace platform
