#include "plavo/TreeWindowImages.h"

#include "platform/DrawnPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace treewindowimages {

namespace {

using namespace platform::drawn;

const QColor kLightBlue(0x9c, 0xbd, 0xea);

// A badge in the lower right corner: its colour and sign tell the query type.
void drawBadge(QPainter& p, const QColor& colour, const QString& sign) {
    const QRectF badge(8, 8, 8, 8);
    p.setPen(pen(colour.darker(140), 0.7));
    p.setBrush(colour);
    p.drawEllipse(badge);
    QFont font = p.font();
    font.setPixelSize(7);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, sign);
}

void drawQuery(QPainter& p, int queryType) {
    drawGrid(p, QRectF(5.5, 1.5, 9, 7.5), kLightBlue);
    drawGrid(p, QRectF(1.5, 5.5, 9, 8.5), kBlue);
    struct Badge {
        int type;
        QColor colour;
        const char* sign;
    };
    static const Badge badges[] = {
        {16, kOrange, "X"}, {32, kRed, "-"},     {48, QColor(0xb0, 0x7a, 0x1c), "U"},
        {64, kGreen, "+"},  {80, kGreen, "M"},   {96, kGrey, "D"},
        {112, kGrey, "P"},  {128, kPurple, "U"}, {144, kGrey, "B"},
        {224, kGrey, "S"},
    };
    for (const Badge& badge : badges) {
        if (badge.type == queryType) {
            drawBadge(p, badge.colour, QString::fromLatin1(badge.sign));
        }
    }
}

void drawForm(QPainter& p) {
    p.setPen(pen(kOrange.darker(150), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1, 1);
    p.setBrush(kOrange);
    p.drawRect(QRectF(1.5, 2.5, 13, 2.6));
    for (int row = 0; row < 2; ++row) {
        const qreal y = 7 + row * 3.3;
        p.setPen(pen(kGrey, 1));
        p.drawLine(QPointF(3.2, y + 0.8), QPointF(5.8, y + 0.8));
        p.setPen(pen(kGrey.darker(110), 0.6));
        p.setBrush(QColor(0xfd, 0xf3, 0xe6));
        p.drawRect(QRectF(7, y - 0.3, 6, 2.2));
    }
}

void drawPage(QPainter& p, const QColor& colour) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13.5, 5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(pen(colour.darker(150), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(colour.lighter(170));
    QPainterPath fold;
    fold.moveTo(10, 1.5);
    fold.lineTo(10, 5);
    fold.lineTo(13.5, 5);
    p.drawPath(fold);
}

void drawReport(QPainter& p) {
    drawPage(p, kPurple);
    p.setPen(Qt::NoPen);
    p.setBrush(kPurple);
    p.drawRect(QRectF(4.5, 4, 4.5, 1.8));
    p.setPen(pen(kGrey, 0.9));
    for (qreal y : {8.0, 10.0, 12.0}) {
        p.drawLine(QPointF(4.5, y), QPointF(12, y));
    }
}

void drawPencil(QPainter& p) {
    p.setPen(pen(QColor(0x8a, 0x5a, 0x1c), 2.4));
    p.drawLine(QPointF(9, 15), QPointF(15, 9));
    p.setPen(pen(QColor(0xf2, 0xc1, 0x4e), 1.5));
    p.drawLine(QPointF(9.7, 14.3), QPointF(14.3, 9.7));
}

void drawDesign(QPainter& p) {
    p.setPen(pen(kBlue.darker(140), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 11, 11));
    p.setPen(pen(kLightBlue, 0.6));
    for (qreal x : {4.5, 7.5, 10.5}) {
        p.drawLine(QPointF(x, 1.5), QPointF(x, 12.5));
        p.drawLine(QPointF(1.5, x), QPointF(12.5, x));
    }
    drawPencil(p);
}

void drawSqlText(QPainter& p, const QColor& colour) {
    p.setPen(pen(colour.darker(130), 0.8));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(0.5, 2.5, 13, 7), 1.5, 1.5);
    QFont font = p.font();
    font.setPixelSize(6);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0.5, 2.5, 13, 7), Qt::AlignCenter, QStringLiteral("SQL"));
}

void drawNotepad(QPainter& p) {
    drawPage(p, kBlue);
    p.setPen(pen(kGrey, 0.9));
    for (qreal y : {6.0, 8.5, 11.0}) {
        p.drawLine(QPointF(4.5, y), QPointF(12, y));
    }
    p.setPen(pen(kBlue, 0.9));
    p.drawLine(QPointF(4.5, 3.5), QPointF(8.5, 3.5));
}

void drawPicture(QPainter& p) {
    p.setPen(pen(kGrey.darker(130), 0.8));
    p.setBrush(QColor(0xd6, 0xe8, 0xff));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x3a));
    p.drawEllipse(QRectF(9.5, 4, 3, 3));
    p.setBrush(kGreen);
    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 7);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 13);
    hills.closeSubpath();
    p.drawPath(hills);
}

void drawPrinter(QPainter& p) {
    p.setPen(pen(kGrey.darker(140), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(kGrey.lighter(150));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 4.5));
}

// A small tree of three boxes with an arrow: down the branches for Uses (what the object reads), up them for
// Used By (what reads it); a magnifier for the field find.
void drawTreeIcon(QPainter& p, bool usedBy, bool find) {
    p.setPen(pen(kGrey, 0.8));
    p.drawLine(QPointF(3.5, 5), QPointF(3.5, 12.5));
    p.drawLine(QPointF(3.5, 8.5), QPointF(6.5, 8.5));
    p.drawLine(QPointF(3.5, 12.5), QPointF(6.5, 12.5));
    p.setPen(pen(kBlue.darker(140), 0.7));
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 1.5, 4, 3.5));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(6.5, 7, 4, 3));
    p.drawRect(QRectF(6.5, 11, 4, 3));
    // The arrow beside the tree.
    p.setPen(pen(kGreen.darker(120), 1.3));
    const qreal x = 13;
    p.drawLine(QPointF(x, 2.5), QPointF(x, 9.5));
    const QPointF tip = usedBy ? QPointF(x, 2.5) : QPointF(x, 9.5);
    const qreal back = usedBy ? 2.5 : -2.5;
    p.drawLine(tip, QPointF(x - 2, tip.y() + back));
    p.drawLine(tip, QPointF(x + 2, tip.y() + back));
    if (find) {
        p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.2));
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(QRectF(10, 10, 4.2, 4.2));
        p.drawLine(QPointF(13.6, 13.6), QPointF(15.5, 15.5));
    }
}

}  // namespace

QIcon treeImage(const QString& key) {
    if (key == QLatin1String("Table")) {
        return render([](QPainter& p) { drawGrid(p, QRectF(1.5, 2.5, 13, 11), kGreen); });
    }
    if (key == QLatin1String("Form")) {
        return render(drawForm);
    }
    if (key == QLatin1String("Report")) {
        return render(drawReport);
    }
    if (key.startsWith(QLatin1Char('q'))) {
        bool ok = false;
        const int queryType = key.mid(1).toInt(&ok);
        if (ok) {
            return render([queryType](QPainter& p) { drawQuery(p, queryType); });
        }
    }
    return QIcon();
}

QIcon toolbarImage(const QString& key) {
    if (key == QLatin1String("OpenDatasheet")) {
        return render([](QPainter& p) { drawGrid(p, QRectF(1.5, 2.5, 13, 11), kBlue); });
    }
    if (key == QLatin1String("Design")) {
        return render(drawDesign);
    }
    if (key == QLatin1String("SQLEditor")) {
        return render([](QPainter& p) {
            drawSqlText(p, kBlue);
            drawPencil(p);
        });
    }
    if (key == QLatin1String("SQL")) {
        return render([](QPainter& p) { drawSqlText(p, kBlue); });
    }
    if (key == QLatin1String("Print")) {
        return render(drawPrinter);
    }
    if (key == QLatin1String("Notepad")) {
        return render(drawNotepad);
    }
    if (key == QLatin1String("bmp")) {
        return render(drawPicture);
    }
    return QIcon();
}

QIcon windowIcon(int mode) {
    if (mode < 1 || mode > 4) {
        return QIcon();
    }
    const bool usedBy = mode == 2 || mode == 4;
    const bool find = mode >= 3;
    return render([usedBy, find](QPainter& p) { drawTreeIcon(p, usedBy, find); });
}

}  // namespace treewindowimages
