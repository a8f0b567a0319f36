#include "colouring/ColourPlan.h"

#include <algorithm>

ColourPlan::ColourPlan(int textLength) : colours_(std::size_t(std::max(textLength, 0)), kUntouched) {}

void ColourPlan::paint(int start, int length, quint32 colour) {
    const int size = int(colours_.size());
    const int from = std::clamp(start, 0, size);
    const int to = std::clamp(start + std::max(length, 0), from, size);
    std::fill(colours_.begin() + from, colours_.begin() + to, colour);
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
    const int size = int(colours_.size());
    for (int i = 0; i < size;) {
        const quint32 planned = colours_[std::size_t(i)];
        int end = i + 1;
        while (end < size && colours_[std::size_t(end)] == planned) {
            ++end;
        }
        if (planned != kUntouched) {
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
