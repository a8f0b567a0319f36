// The pop-ups stay on the screen wherever the caret is.
#include "completion/PopUpPlacement.h"

#include <gtest/gtest.h>

TEST(PopUpPlacement, BelowTheCaretAndAlwaysOnTheScreen) {
    const QRect screen(0, 0, 1024, 768);
    const QSize size(200, 150);
    // room below: under the caret line, at the caret
    EXPECT_EQ(PopUpPosition(QRect(100, 100, 1, 16), size, screen), QPoint(104, 120));
    // near the bottom: above the line
    EXPECT_EQ(PopUpPosition(QRect(100, 700, 1, 16), size, screen), QPoint(104, 546));
    // near the right edge: moved left to end at the edge
    EXPECT_EQ(PopUpPosition(QRect(1000, 100, 1, 16), size, screen), QPoint(824, 120));
    // a second screen to the right, and a pop-up taller than the room on either side
    const QRect right(1024, 0, 800, 300);
    EXPECT_EQ(PopUpPosition(QRect(1100, 120, 1, 16), QSize(200, 250), right), QPoint(1104, 50));
    // a pop-up larger than the screen keeps its top-left corner on it
    EXPECT_EQ(PopUpPosition(QRect(10, 10, 1, 16), QSize(2000, 1000), screen), QPoint(0, 0));
}
