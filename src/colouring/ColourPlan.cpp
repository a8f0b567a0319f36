#include "colouring/ColourPlan.h"

#include <algorithm>
#include <stdexcept>

void ColourPlan::reset(int textLength) {
    indices_.assign(std::size_t(std::max(textLength, 0)), kUntouched);
    palette_.assign(1, 0);
}

void ColourPlan::paint(int start, int length, quint32 colour) {
    const int size = int(indices_.size());
    const int from = std::clamp(start, 0, size);
    const int to = std::clamp(start + std::max(length, 0), from, size);
    if (from == to) {
        return;
    }
    auto slot = std::find(palette_.begin() + 1, palette_.end(), colour);
    if (slot == palette_.end()) {
        if (palette_.size() > 255) {
            throw std::length_error("too many colours in one colouring pass");
        }
        slot = palette_.insert(palette_.end(), colour);
    }
    std::fill(indices_.begin() + from, indices_.begin() + to, std::uint8_t(slot - palette_.begin()));
}

std::vector<platform::ColourRun> ColourPlan::writesAgainst(const QList<platform::ColourRun>& current) const {
    std::vector<platform::ColourRun> writes;
    qsizetype run = 0;
    const auto currentAt = [&](int position) {
        while (run < current.size() && current[run].start + current[run].length <= position) {
            ++run;
        }
        return run < current.size() && current[run].start <= position ? current[run].colour
                                                                      : platform::defaultTextColour;
    };
    const int size = int(indices_.size());
    for (int i = 0; i < size;) {
        const std::uint8_t index = indices_[std::size_t(i)];
        int end = i + 1;
        while (end < size && indices_[std::size_t(end)] == index) {
            ++end;
        }
        if (index != kUntouched) {
            const quint32 planned = palette_[index];
            int first = -1;
            int last = -1;
            for (int k = i; k < end; ++k) {
                if (currentAt(k) != planned) {
                    if (first < 0) {
                        first = k;
                    }
                    last = k;
                }
            }
            if (first >= 0) {
                writes.push_back({first, last - first + 1, planned});
            }
        }
        i = end;
    }
    return writes;
}
