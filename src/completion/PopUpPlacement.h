// Where the pop-up list and the text input go: just below the caret, their left edge at it, and always
// wholly on the screen: above the caret line when there is no room below it, moved left when they would
// pass the screen's right edge.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// caret: the caret's rectangle on the screen (its height the line's); screen: the screen's available area.
QPoint PopUpPosition(const QRect& caret, const QSize& size, const QRect& screen);
