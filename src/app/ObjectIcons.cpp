#include "app/ObjectIcons.h"

#include "platform/DrawnPicture.h"

#include "hostapi/host.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace app {

namespace {

using namespace platform::drawn;

const QColor kLightBlue(0xa9, 0xc8, 0xf0);

void drawQueryBase(QPainter& p) {
    drawGrid(p, QRectF(5.5, 1.5, 9, 7.5), kLightBlue.darker(110));
    drawGrid(p, QRectF(1.5, 5.5, 9, 8.5), kBlue);
}

// The badge in the lower right corner that tells a query's type.
void drawBadge(QPainter& p, host::QueryType queryType) {
    const QRectF badge(8.5, 8.5, 7, 7);
    switch (queryType) {
        case host::QueryType::Crosstab:
            p.setPen(pen(kOrange.darker(130), 0.8));
            p.setBrush(Qt::white);
            p.drawRect(badge);
            p.setBrush(kOrange);
            p.drawRect(QRectF(badge.left(), badge.top(), badge.width(), 2.3));
            p.drawRect(QRectF(badge.left(), badge.top(), 2.3, badge.height()));
            break;
        case host::QueryType::MakeTable: {
            p.setPen(pen(kGreen.darker(130), 0.7));
            p.setBrush(QColor(0xff, 0xd2, 0x4a));
            QPainterPath star;
            const QPointF c = badge.center();
            for (int i = 0; i < 10; ++i) {
                const qreal radius = i % 2 ? 1.6 : 3.6;
                const qreal angle = -M_PI / 2 + i * M_PI / 5;
                const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
                i ? star.lineTo(point) : star.moveTo(point);
            }
            star.closeSubpath();
            p.drawPath(star);
            break;
        }
        case host::QueryType::Update:
            p.setPen(pen(QColor(0x8a, 0x5a, 0x1c), 2.2));
            p.drawLine(QPointF(10, 15), QPointF(15, 10));
            p.setPen(pen(QColor(0xf2, 0xc1, 0x4e), 1.4));
            p.drawLine(QPointF(10.6, 14.4), QPointF(14.4, 10.6));
            p.setPen(pen(Qt::black, 1));
            p.drawPoint(QPointF(9.6, 15.4));
            break;
        case host::QueryType::Append:
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawEllipse(badge);
            p.setPen(pen(Qt::white, 1.5));
            p.drawLine(QPointF(12, 9.9), QPointF(12, 14.1));
            p.drawLine(QPointF(9.9, 12), QPointF(14.1, 12));
            break;
        case host::QueryType::Delete:
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawEllipse(badge);
            p.setPen(pen(Qt::white, 1.5));
            p.drawLine(QPointF(10.5, 10.5), QPointF(13.5, 13.5));
            p.drawLine(QPointF(13.5, 10.5), QPointF(10.5, 13.5));
            break;
        case host::QueryType::Union:
            p.setPen(pen(kPurple.darker(120), 0.8));
            p.setBrush(QColor(kPurple.red(), kPurple.green(), kPurple.blue(), 170));
            p.drawEllipse(QRectF(8, 9, 5, 5));
            p.setBrush(QColor(kOrange.red(), kOrange.green(), kOrange.blue(), 170));
            p.drawEllipse(QRectF(10.8, 9, 5, 5));
            break;
        case host::QueryType::DataDefinition: {
            p.setPen(pen(kGrey.darker(130), 0.6));
            p.setBrush(kGrey);
            const QPointF c = badge.center();
            QPainterPath gear;
            for (int i = 0; i < 16; ++i) {
                const qreal radius = (i / 2) % 2 ? 2.6 : 3.6;
                const qreal angle = i * M_PI / 8;
                const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
                i ? gear.lineTo(point) : gear.moveTo(point);
            }
            gear.closeSubpath();
            p.drawPath(gear);
            p.setBrush(Qt::white);
            p.drawEllipse(c, 1.1, 1.1);
            break;
        }
        case host::QueryType::PassThrough:
        case host::QueryType::PassThroughBulk:
            p.setPen(pen(kBlue.darker(130), 0.8));
            p.setBrush(QColor(0xd6, 0xe8, 0xff));
            p.drawEllipse(badge);
            p.drawLine(QPointF(badge.left(), badge.center().y()), QPointF(badge.right(), badge.center().y()));
            p.drawEllipse(QRectF(badge.center().x() - 1.6, badge.top(), 3.2, badge.height()));
            break;
        default:
            break;
    }
}

void drawForm(QPainter& p) {
    p.setPen(pen(kBlue.darker(140), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1, 1);
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 2.5, 13, 2.6));
    for (int row = 0; row < 2; ++row) {
        const qreal y = 7 + row * 3.3;
        p.setPen(pen(kGrey, 1));
        p.drawLine(QPointF(3.2, y + 0.8), QPointF(5.8, y + 0.8));
        p.setPen(pen(kGrey.darker(110), 0.6));
        p.setBrush(QColor(0xf4, 0xf7, 0xfc));
        p.drawRect(QRectF(7, y - 0.3, 6, 2.2));
    }
}

void drawReport(QPainter& p) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13.5, 5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(pen(kGreen.darker(150), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xdd, 0xee, 0xdd));
    QPainterPath fold;
    fold.moveTo(10, 1.5);
    fold.lineTo(10, 5);
    fold.lineTo(13.5, 5);
    p.drawPath(fold);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(4.5, 4, 4.5, 1.8));
    p.setPen(pen(kGrey, 0.9));
    for (qreal y : {8.0, 10.0, 12.0}) {
        p.drawLine(QPointF(4.5, y), QPointF(12, y));
    }
}

void drawFolder(QPainter& p, const QColor& colour) {
    QPainterPath folder;
    folder.moveTo(1.5, 4);
    folder.lineTo(6, 4);
    folder.lineTo(7.5, 5.5);
    folder.lineTo(14.5, 5.5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.setPen(pen(colour.darker(150), 0.8));
    p.setBrush(colour);
    p.drawPath(folder);
}

void drawWand(QPainter& p) {
    drawQueryBase(p);
    p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.6));
    p.drawLine(QPointF(9, 15), QPointF(14.5, 9.5));
    p.setPen(pen(QColor(0xff, 0xc8, 0x2e), 1.2));
    const QPointF tip(14.5, 9.5);
    for (int i = 0; i < 4; ++i) {
        const qreal angle = i * M_PI / 2 + M_PI / 4;
        p.drawLine(tip + QPointF(1.0 * std::cos(angle), 1.0 * std::sin(angle)),
                   tip + QPointF(2.2 * std::cos(angle), 2.2 * std::sin(angle)));
    }
}

void drawSqlEdit(QPainter& p) {
    p.setPen(pen(kGrey.darker(130), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 1.5, 11, 13), 1, 1);
    QFont font;
    font.setPixelSize(5);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kBlue);
    p.drawText(QRectF(1.5, 2, 11, 6), Qt::AlignCenter, QStringLiteral("SQL"));
    p.setPen(pen(kGrey, 0.8));
    p.drawLine(QPointF(3.5, 9.5), QPointF(10, 9.5));
    p.drawLine(QPointF(3.5, 11.8), QPointF(8, 11.8));
    p.setPen(pen(QColor(0x8a, 0x5a, 0x1c), 2.2));
    p.drawLine(QPointF(9.5, 15), QPointF(15, 9.5));
    p.setPen(pen(QColor(0xf2, 0xc1, 0x4e), 1.4));
    p.drawLine(QPointF(10.1, 14.4), QPointF(14.4, 10.1));
}

void drawDependencies(QPainter& p) {
    p.setPen(pen(kGrey.darker(120), 0.9));
    p.drawLine(QPointF(5, 5), QPointF(5, 12));
    p.drawLine(QPointF(5, 8.5), QPointF(10, 8.5));
    p.drawLine(QPointF(5, 12.5), QPointF(10, 12.5));
    p.setPen(pen(kBlue.darker(130), 0.7));
    p.setBrush(kBlue);
    p.drawRect(QRectF(2, 1.5, 6, 4));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(9.5, 6.5, 5.5, 4));
    p.setBrush(QColor(0xc8, 0xe6, 0xc9));
    p.setPen(pen(kGreen.darker(130), 0.7));
    p.drawRect(QRectF(9.5, 10.8, 5.5, 4));
}

void drawHelp(QPainter& p) {
    p.setPen(pen(kBlue.darker(130), 0.8));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

void drawInfo(QPainter& p) {
    p.setPen(pen(kBlue.darker(130), 0.8));
    p.setBrush(QColor(0xe8, 0xf0, 0xfc));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    font.setFamily(QStringLiteral("serif"));
    p.setFont(font);
    p.setPen(kBlue);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("i"));
}

void drawFind(QPainter& p, bool usedBy) {
    usedBy ? drawGrid(p, QRectF(1.5, 1.5, 10, 9), kBlue) : drawQueryBase(p);
    p.setPen(pen(QColor(0x40, 0x40, 0x40), 1.1));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(7.5, 7.5, 5.5, 5.5));
    p.setPen(pen(QColor(0x40, 0x40, 0x40), 1.8));
    p.drawLine(QPointF(12.3, 12.3), QPointF(15, 15));
}

void drawDatasheet(QPainter& p) {
    drawGrid(p, QRectF(1.5, 2.5, 13, 11), kBlue);
}

void drawDesign(QPainter& p) {
    p.setPen(pen(kGrey.darker(130), 0.8));
    p.setBrush(QColor(0xfa, 0xfa, 0xfa));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(pen(kGrey, 0.5));
    for (qreal x = 3.5; x < 14; x += 2) {
        for (qreal y = 4.5; y < 13; y += 2) {
            p.drawPoint(QPointF(x, y));
        }
    }
    p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.0));
    p.setBrush(QColor(0x7f, 0xb0, 0xef));
    QPainterPath triangle;
    triangle.moveTo(4, 12);
    triangle.lineTo(12, 12);
    triangle.lineTo(4, 5);
    triangle.closeSubpath();
    p.drawPath(triangle);
}

void drawNewQuery(QPainter& p) {
    drawQueryBase(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x2e));
    p.drawEllipse(QRectF(10, 10, 5.5, 5.5));
    p.setPen(pen(QColor(0x80, 0x55, 0x00), 1.2));
    p.drawLine(QPointF(12.75, 11.2), QPointF(12.75, 14.3));
    p.drawLine(QPointF(11.2, 12.75), QPointF(14.3, 12.75));
}

void drawImport(QPainter& p, const QColor& colour) {
    drawGrid(p, QRectF(5.5, 3.5, 9, 10), colour);
    p.setPen(pen(kGreen.darker(120), 1.6));
    p.drawLine(QPointF(1, 8.5), QPointF(6.5, 8.5));
    p.drawLine(QPointF(4.5, 6.5), QPointF(6.5, 8.5));
    p.drawLine(QPointF(4.5, 10.5), QPointF(6.5, 8.5));
}

void drawRelationships(QPainter& p) {
    drawGrid(p, QRectF(1, 1.5, 7, 6), kBlue);
    drawGrid(p, QRectF(8, 8.5, 7, 6), kBlue);
    p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.0));
    p.drawLine(QPointF(4.5, 7.5), QPointF(4.5, 11.5));
    p.drawLine(QPointF(4.5, 11.5), QPointF(8, 11.5));
}

void drawCompact(QPainter& p) {
    p.setPen(pen(kGrey.darker(130), 0.8));
    p.setBrush(QColor(0xe0, 0xe6, 0xef));
    p.drawEllipse(QRectF(3, 1.5, 10, 3.5));
    p.drawRect(QRectF(3, 3.2, 10, 9.5));
    p.drawEllipse(QRectF(3, 11, 10, 3.5));
    p.setPen(pen(kGreen.darker(110), 1.4));
    p.drawLine(QPointF(8, 5.5), QPointF(8, 10));
    p.drawLine(QPointF(6, 8), QPointF(8, 10));
    p.drawLine(QPointF(10, 8), QPointF(8, 10));
}

void drawClipboard(QPainter& p) {
    p.setPen(pen(QColor(0x7a, 0x55, 0x2e), 0.8));
    p.setBrush(QColor(0xc8, 0x96, 0x5a));
    p.drawRoundedRect(QRectF(2.5, 2, 11, 13), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 4, 8, 9.5));
    p.setBrush(kGrey);
    p.drawRect(QRectF(6, 1, 4, 2.4));
}

void drawSort(QPainter& p, bool ascending) {
    QFont font;
    font.setPixelSize(6);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kBlue);
    p.drawText(QRectF(1, 1, 7, 7), Qt::AlignCenter, ascending ? QStringLiteral("A") : QStringLiteral("Z"));
    p.setPen(kRed);
    p.drawText(QRectF(1, 8, 7, 7), Qt::AlignCenter, ascending ? QStringLiteral("Z") : QStringLiteral("A"));
    p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.2));
    p.drawLine(QPointF(11.5, 2.5), QPointF(11.5, 13.5));
    p.drawLine(QPointF(9.5, 11.5), QPointF(11.5, 13.5));
    p.drawLine(QPointF(13.5, 11.5), QPointF(11.5, 13.5));
}

void drawFilter(QPainter& p) {
    QPainterPath funnel;
    funnel.moveTo(1.5, 2.5);
    funnel.lineTo(14.5, 2.5);
    funnel.lineTo(9.5, 8.5);
    funnel.lineTo(9.5, 14);
    funnel.lineTo(6.5, 12.5);
    funnel.lineTo(6.5, 8.5);
    funnel.closeSubpath();
    p.setPen(pen(kBlue.darker(140), 0.8));
    p.setBrush(kLightBlue);
    p.drawPath(funnel);
}

void drawRefresh(QPainter& p) {
    p.setPen(pen(kGreen, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 300 * 16);
    p.setBrush(kGreen);
    p.setPen(Qt::NoPen);
    QPainterPath head;
    head.moveTo(12.5, 1.5);
    head.lineTo(14.8, 6.5);
    head.lineTo(9.8, 6);
    head.closeSubpath();
    p.drawPath(head);
}

}  // namespace

QIcon objectIcon(host::ObjectType objectType, host::QueryType queryType) {
    static QHash<int, QIcon> cache;
    const int key = static_cast<int>(objectType) * 1000 + static_cast<int>(queryType);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) {
        return *found;
    }
    QIcon icon;
    switch (objectType) {
        case host::ObjectType::Table:
            icon = render([](QPainter& p) { drawGrid(p, QRectF(1.5, 2.5, 13, 11), kBlue); });
            break;
        case host::ObjectType::Query:
            icon = render([queryType](QPainter& p) {
                drawQueryBase(p);
                drawBadge(p, queryType);
            });
            break;
        case host::ObjectType::Form:
            icon = render(drawForm);
            break;
        case host::ObjectType::Report:
            icon = render(drawReport);
            break;
        default:
            icon = render([](QPainter& p) { drawFolder(p, QColor(0xf3, 0xd0, 0x6b)); });
            break;
    }
    cache.insert(key, icon);
    return icon;
}

QIcon groupIcon(host::ObjectType objectType) {
    Q_UNUSED(objectType)
    static const QIcon icon = render([](QPainter& p) { drawFolder(p, QColor(0xf3, 0xd0, 0x6b)); });
    return icon;
}

QIcon imageMso(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) {
        return *found;
    }
    static const QHash<QString, Draw> pictures{
        {QStringLiteral("CreateQueryFromWizard"), drawWand},
        {QStringLiteral("AdpStoredProcedureEditSql"), drawSqlEdit},
        {QStringLiteral("DatabaseObjectDependencies"), drawDependencies},
        {QStringLiteral("FunctionsLogicalInsertGallery"), drawHelp},
        {QStringLiteral("Help"), drawHelp},
        {QStringLiteral("About"), drawInfo},
        {QStringLiteral("CreateTable"), [](QPainter& p) { drawGrid(p, QRectF(1.5, 2.5, 13, 11), kBlue); }},
        {QStringLiteral("CreateTableInDesignView"), drawDesign},
        {QStringLiteral("CreateQueryInDesignView"),
         [](QPainter& p) {
             drawQueryBase(p);
             p.setPen(pen(QColor(0x30, 0x30, 0x30), 1.0));
             p.setBrush(QColor(0x7f, 0xb0, 0xef));
             QPainterPath triangle;
             triangle.moveTo(9, 15);
             triangle.lineTo(15, 15);
             triangle.lineTo(9, 9.5);
             triangle.closeSubpath();
             p.drawPath(triangle);
         }},
        {QStringLiteral("CreateForm"), drawForm},
        {QStringLiteral("CreateReport"), drawReport},
        {QStringLiteral("ViewsDatasheetView"), drawDatasheet},
        {QStringLiteral("ViewsDesignView"), drawDesign},
        {QStringLiteral("QueryRunQuery"),
         [](QPainter& p) {
             // The host's red exclamation mark.
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0xd0, 0x2b, 0x2b));
             QPainterPath bar;
             bar.moveTo(5.5, 1);
             bar.lineTo(10.5, 1);
             bar.lineTo(9, 10.5);
             bar.lineTo(7, 10.5);
             bar.closeSubpath();
             p.drawPath(bar);
             p.drawEllipse(QRectF(6, 12, 4, 3.5));
         }},
        {QStringLiteral("NewQuery"), drawNewQuery},
        {QStringLiteral("QorvelUses"), [](QPainter& p) { drawDependencies(p); }},
        {QStringLiteral("QorvelUsedBy"),
         [](QPainter& p) {
             p.translate(16, 0);
             p.scale(-1, 1);
             drawDependencies(p);
         }},
        {QStringLiteral("QorvelUsesFind"), [](QPainter& p) { drawFind(p, false); }},
        {QStringLiteral("QorvelUsedByFind"), [](QPainter& p) { drawFind(p, true); }},
        {QStringLiteral("ImportAccess"), [](QPainter& p) { drawImport(p, kRed); }},
        {QStringLiteral("ImportExcel"), [](QPainter& p) { drawImport(p, kGreen); }},
        {QStringLiteral("ImportTextFile"), [](QPainter& p) { drawImport(p, kGrey); }},
        {QStringLiteral("DatabaseRelationships"), drawRelationships},
        {QStringLiteral("CompactAndRepair"), drawCompact},
        {QStringLiteral("Paste"), drawClipboard},
        {QStringLiteral("SortUp"), [](QPainter& p) { drawSort(p, true); }},
        {QStringLiteral("SortDown"), [](QPainter& p) { drawSort(p, false); }},
        {QStringLiteral("FilterBySelection"), drawFilter},
        {QStringLiteral("Refresh"), drawRefresh},
    };
    QIcon icon;
    const auto picture = pictures.constFind(name);
    if (picture != pictures.constEnd()) {
        icon = render(*picture);
    }
    cache.insert(name, icon);
    return icon;
}

}  // namespace app
