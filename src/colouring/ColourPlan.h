// The colours a colouring pass means to give the text, collected before anything is written: later
// paints overwrite earlier ones, as the pass's writes would. Compared with the control's colours, it
// yields only the writes that change something, so a pass over text that is already coloured, or over a
// control where every write moves the caret, stays cheap.
#pragma once

#include "platform/RichTextSnapshot.h"

#include <QList>

#include <cstdint>
#include <vector>

class ColourPlan {
public:
    explicit ColourPlan(int textLength = 0) { reset(textLength); }

    // Forgets every paint; keeps the memory for the next pass.
    void reset(int textLength);

    // Characters outside the text are ignored.
    void paint(int start, int length, quint32 colour);

    // For each maximal run of one planned colour, the stretch from its first to its last character whose
    // current colour differs. `current` covers the text in position order; characters it leaves out are
    // black.
    std::vector<platform::ColourRun> writesAgainst(const QList<platform::ColourRun>& current) const;

private:
    static constexpr std::uint8_t kUntouched = 0;
    // A pass uses a handful of colours: each character holds an index into the palette (0: untouched).
    std::vector<std::uint8_t> indices_;
    std::vector<quint32> palette_;
};
