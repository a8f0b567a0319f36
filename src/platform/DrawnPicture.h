// Pictures drawn in code on a 16-unit grid. The host's icons and the add-in's window images share these
// strokes and colours, so both draw with one hand.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPen>

#include <functional>

class QPainter;
class QRectF;

namespace platform::drawn {

using Draw = std::function<void(QPainter&)>;

// The picture rendered at 16, 24, 32 and 48 pixels, so small and large buttons match.
QIcon render(const Draw& draw);

// Round joins and caps, as every stroke of these pictures has.
QPen pen(const QColor& colour, qreal width = 1.0);

// A small datasheet in r: a header band of the given colour over a three-by-three grid.
void drawGrid(QPainter& p, const QRectF& r, const QColor& header);

inline const QColor kBlue(0x3a, 0x6e, 0xc2);
inline const QColor kGreen(0x3c, 0x9a, 0x4a);
inline const QColor kRed(0xd0, 0x38, 0x2f);
inline const QColor kOrange(0xe8, 0x8a, 0x1a);
inline const QColor kPurple(0x8a, 0x4f, 0xc0);
inline const QColor kGrey(0x6b, 0x72, 0x80);

}  // namespace platform::drawn
