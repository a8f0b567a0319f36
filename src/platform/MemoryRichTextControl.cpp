#include "MemoryRichTextControl.h"

#include "VirtualKeys.h"

#include <algorithm>

namespace platform {

MemoryRichTextControl::MemoryRichTextControl(QObject* parent) : RichTextControl(parent) {}

void MemoryRichTextControl::setText(const QString& text) {
    RichTextSnapshot snapshot;
    snapshot.text = RichTextSnapshot::normalizeLineEnds(text);
    if (!snapshot.text.isEmpty())
        snapshot.runs.append({0, int(snapshot.text.size()), defaultTextColour});
    restore(snapshot);
}

QByteArray MemoryRichTextControl::textRTF() const {
    return RichTextSnapshot{m_text, colourRuns()}.encode();
}

void MemoryRichTextControl::setTextRTF(const QByteArray& rtf) {
    if (const auto snapshot = RichTextSnapshot::fromTextRTF(rtf))
        restore(*snapshot);
}

void MemoryRichTextControl::restore(const RichTextSnapshot& snapshot) {
    m_text = snapshot.text;
    m_runs.clear();
    m_runs.reserve(snapshot.runs.size());
    for (const ColourRun& run : snapshot.runs) {
        if (m_runs.empty() || m_runs.back().colour != run.colour)
            m_runs.push_back({run.start, run.colour});
    }
    select(0, 0);
    emit Change();
    notifySelection();
}

void MemoryRichTextControl::setSelStart(int position) {
    select(position, 0);
    notifySelection();
}

void MemoryRichTextControl::setSelLength(int length) {
    select(m_selStart, length);
    notifySelection();
}

void MemoryRichTextControl::setSelText(const QString& text) {
    const QString inserted = RichTextSnapshot::normalizeLineEnds(text);
    const bool changes = m_selLength > 0 || !inserted.isEmpty();
    replace(m_selStart, m_selLength, inserted, selColor());
    if (changes)
        emit Change();
    notifySelection();
}

quint32 MemoryRichTextControl::selColor() const {
    if (m_text.isEmpty())
        return defaultTextColour;
    if (m_selLength > 0)
        return colourAt(m_selStart);
    const int caret = m_selStart;
    const bool lineStart = caret == 0 || m_text[caret - 1] == u'\n';
    const bool lineHasText = caret < m_text.size() && m_text[caret] != u'\r';
    if (lineStart && lineHasText)
        return colourAt(caret);
    return colourAt(caret > 0 ? caret - 1 : caret);
}

void MemoryRichTextControl::setSelColor(quint32 rgb) {
    if (m_selLength > 0)
        paint(m_selStart, m_selStart + m_selLength, rgb & 0xFFFFFF);
}

void MemoryRichTextControl::setScrollPosition(int position) {
    const int lines = int(m_text.count(u'\n')) + 1;
    m_scrollPosition = std::clamp(position, 0, std::max(0, lines - visibleLines));
}

int MemoryRichTextControl::charFromPos(const QPoint& point) const {
    const int line = std::max(0, point.y()) / lineHeight + m_scrollPosition;
    const int column = std::max(0, point.x() + charWidth / 2) / charWidth;
    qsizetype lineStart = 0;
    for (int i = 0; i < line; ++i) {
        const qsizetype next = m_text.indexOf(u'\n', lineStart);
        if (next < 0)
            break;
        lineStart = next + 1;
    }
    qsizetype lineEnd = m_text.indexOf(u'\r', lineStart);
    if (lineEnd < 0)
        lineEnd = m_text.size();
    return int(std::min(lineStart + column, lineEnd));
}

void MemoryRichTextControl::typeText(const QString& text) {
    for (const QChar character : text)
        typeCharacter(character);
}

void MemoryRichTextControl::typeCharacter(QChar character) {
    const KeyStroke stroke = keyStrokeForCharacter(character);
    int keyCode = stroke.keyCode;
    emit KeyDown(&keyCode, stroke.shift);
    if (keyCode != 0) {
        int keyAscii = character == u'\n' ? vk::returnKey : character.unicode();
        emit KeyPress(&keyAscii);
        if (keyAscii == vk::back) {
            int start = m_selStart;
            int length = m_selLength;
            if (length == 0 && start > 0) {
                length = start >= 2 && m_text[start - 1] == u'\n' && m_text[start - 2] == u'\r' ? 2 : 1;
                start -= length;
            }
            if (length > 0) {
                replace(start, length, {}, defaultTextColour);
                emit Change();
            }
            notifySelection();
        } else if (keyAscii != 0) {
            replace(m_selStart, m_selLength,
                    keyAscii == vk::returnKey ? QStringLiteral("\r\n") : QString(QChar(keyAscii)),
                    selColor());
            emit Change();
            notifySelection();
        }
    }
    int upCode = stroke.keyCode;
    emit KeyUp(&upCode, stroke.shift);
}

int MemoryRichTextControl::pressKey(int keyCode, int shift) {
    int downCode = keyCode;
    emit KeyDown(&downCode, shift);
    int upCode = keyCode;
    emit KeyUp(&upCode, shift);
    return downCode;
}

void MemoryRichTextControl::paste(const QString& text) {
    setSelText(text);
}

bool MemoryRichTextControl::dragOver(const QString& data, int x, int y) {
    bool accept = true;
    emit OLEDragOver(data, x, y, &accept);
    return accept;
}

quint32 MemoryRichTextControl::colourAt(int position) const {
    if (position < 0 || position >= m_text.size())
        return defaultTextColour;
    const auto run = std::upper_bound(m_runs.begin(), m_runs.end(), position,
                                      [](int p, const Run& r) { return p < r.start; });
    return std::prev(run)->colour;
}

QList<ColourRun> MemoryRichTextControl::colourRuns() const {
    QList<ColourRun> runs;
    runs.reserve(qsizetype(m_runs.size()));
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        const int end = i + 1 < m_runs.size() ? m_runs[i + 1].start : int(m_text.size());
        runs.append({m_runs[i].start, end - m_runs[i].start, m_runs[i].colour});
    }
    return runs;
}

bool MemoryRichTextControl::insideLineEnd(int position) const {
    return position > 0 && position < m_text.size() && m_text[position - 1] == u'\r' &&
           m_text[position] == u'\n';
}

void MemoryRichTextControl::select(int start, int length) {
    const int size = int(m_text.size());
    start = std::clamp(start, 0, size);
    if (insideLineEnd(start))
        --start;
    int end = length <= 0 ? start : int(std::min<qint64>(size, qint64(start) + length));
    if (end > start && insideLineEnd(end))
        ++end;
    m_selStart = start;
    m_selLength = end - start;
}

void MemoryRichTextControl::notifySelection() {
    if (m_selStart == m_notifiedStart && m_selLength == m_notifiedLength)
        return;
    m_notifiedStart = m_selStart;
    m_notifiedLength = m_selLength;
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

void MemoryRichTextControl::replace(int start, int length, const QString& text, quint32 colour) {
    if (length > 0) {
        const int end = start + length;
        const bool toEnd = end >= m_text.size();
        const std::size_t containing = firstRunAfter(m_runs, start) - 1;
        const quint32 colourAfter = toEnd ? 0 : m_runs[firstRunAfter(m_runs, end) - 1].colour;
        m_runs.erase(m_runs.begin() + std::ptrdiff_t(containing + 1),
                     m_runs.begin() + std::ptrdiff_t(firstRunAfter(m_runs, end)));
        // What follows the removed range now starts at its start.
        std::size_t following = containing + 1;
        if (m_runs[containing].start == start) {
            if (toEnd)
                m_runs.erase(m_runs.begin() + std::ptrdiff_t(containing));
            else
                m_runs[containing].colour = colourAfter;
        } else if (!toEnd) {
            m_runs.insert(m_runs.begin() + std::ptrdiff_t(following++), {start, colourAfter});
        }
        for (std::size_t i = following; i < m_runs.size(); ++i)
            m_runs[i].start -= length;
        m_text.remove(start, length);
        mergeRuns(containing, containing + 1);
    }
    if (!text.isEmpty()) {
        const int inserted = int(text.size());
        if (m_text.isEmpty()) {
            m_runs.assign(1, {0, colour});
        } else {
            std::size_t at = firstRunAfter(m_runs, start);
            if (start < m_text.size() && m_runs[at - 1].start < start)
                m_runs.insert(m_runs.begin() + std::ptrdiff_t(at), {start, m_runs[at - 1].colour});
            at = std::size_t(std::lower_bound(m_runs.begin(), m_runs.end(), start,
                                              [](const Run& r, int p) { return r.start < p; }) -
                             m_runs.begin());
            for (std::size_t i = at; i < m_runs.size(); ++i)
                m_runs[i].start += inserted;
            m_runs.insert(m_runs.begin() + std::ptrdiff_t(at), {start, colour});
            mergeRuns(at == 0 ? 0 : at - 1, at + 1);
        }
        m_text.insert(start, text);
    }
    m_selStart = start + int(text.size());
    m_selLength = 0;
}

void MemoryRichTextControl::paint(int start, int end, quint32 colour) {
    const std::size_t containing = firstRunAfter(m_runs, start) - 1;
    const std::size_t after = firstRunAfter(m_runs, end);
    if (m_runs[containing].colour == colour &&
        (containing + 1 == m_runs.size() || m_runs[containing + 1].start >= end))
        return;
    const bool toEnd = end >= m_text.size();
    const quint32 colourAfter = m_runs[after - 1].colour;
    m_runs.erase(m_runs.begin() + std::ptrdiff_t(containing + 1), m_runs.begin() + std::ptrdiff_t(after));
    if (!toEnd)
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(containing + 1), {end, colourAfter});
    if (m_runs[containing].start == start)
        m_runs[containing].colour = colour;
    else
        m_runs.insert(m_runs.begin() + std::ptrdiff_t(containing + 1), {start, colour});
    mergeRuns(containing, containing + 2);
}

void MemoryRichTextControl::mergeRuns(std::size_t from, std::size_t to) {
    if (m_runs.size() < 2)
        return;
    to = std::min(to, m_runs.size() - 1);
    for (std::size_t i = to; i >= std::max<std::size_t>(from, 1) && i < m_runs.size(); --i) {
        if (m_runs[i].colour == m_runs[i - 1].colour)
            m_runs.erase(m_runs.begin() + std::ptrdiff_t(i));
    }
}

}  // namespace platform
