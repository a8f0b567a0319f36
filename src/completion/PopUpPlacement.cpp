#include "completion/PopUpPlacement.h"

#include <algorithm>

namespace {
// Keeps the pop-up clear of the caret and the characters beside it.
constexpr int kGap = 4;
}  // namespace

QPoint PopUpPosition(const QRect& caret, const QSize& size, const QRect& screen) {
    int x = caret.left() + kGap;
    int y = caret.bottom() + 1 + kGap;
    if (y + size.height() > screen.bottom() + 1) {
        const int above = caret.top() - kGap - size.height();
        // Above the line when it fits there; otherwise as low as the screen allows.
        y = above >= screen.top() ? above : screen.bottom() + 1 - size.height();
    }
    x = std::min(x, screen.right() + 1 - size.width());
    x = std::max(x, screen.left());
    y = std::max(y, screen.top());
    return {x, y};
}
