#include "plavo/CCapture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

struct Row {
    const QTreeWidgetItem* item;
    int depth;
};

// The rows in the order the tree shows them: an item's children only while it is unfolded.
void collectRows(const QTreeWidgetItem* item, int depth, std::vector<Row>& rows) {
    rows.push_back({item, depth});
    if (!item->isExpanded()) {
        return;
    }
    for (int i = 0; i < item->childCount(); ++i) {
        collectRows(item->child(i), depth + 1, rows);
    }
}

constexpr int kMargin = 4;

}  // namespace

QImage CCapture::CaptureTree(const QTreeWidget& tree) {
    std::vector<Row> rows;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        collectRows(tree.topLevelItem(i), 0, rows);
    }
    const QSize iconSize = tree.iconSize().isValid() ? tree.iconSize() : QSize(16, 16);
    const int indentation = tree.indentation();
    QFont boldFont = tree.font();
    boldFont.setBold(true);
    const QFontMetrics plain(tree.font());
    const QFontMetrics bold(boldFont);
    const int rowHeight = std::max({plain.height(), bold.height(), iconSize.height()}) + 4;

    int width = 0;
    for (const Row& row : rows) {
        const QFontMetrics& metrics = row.item->font(0).bold() ? bold : plain;
        width = std::max(width, (row.depth + 1) * indentation + iconSize.width() + 4 +
                                    metrics.horizontalAdvance(row.item->text(0)));
    }
    const qint64 height = qint64(rows.size()) * rowHeight + 2 * kMargin;
    QImage image(width + 2 * kMargin, int(std::min<qint64>(height, 1 << 30)), QImage::Format_RGB32);
    if (image.isNull() || height != image.height()) {
        return QImage();
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor lineColour(0xa0, 0xa0, 0xa0);
    int y = kMargin;
    for (const Row& row : rows) {
        const int x = kMargin + (row.depth + 1) * indentation;
        // The branch: a short line from the parent's column to the picture.
        if (row.depth > 0) {
            painter.setPen(QPen(lineColour, 1, Qt::DotLine));
            const int middle = y + rowHeight / 2;
            painter.drawLine(x - indentation / 2, middle, x - 2, middle);
        }
        if (row.item->childCount() > 0) {
            // The fold mark: unfolded rows point down, folded ones right.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x60, 0x60, 0x60));
            const QPointF c(x - indentation / 2.0, y + rowHeight / 2.0);
            const QPolygonF mark =
                row.item->isExpanded()
                    ? QPolygonF{{c.x() - 3.5, c.y() - 2}, {c.x() + 3.5, c.y() - 2}, {c.x(), c.y() + 2.5}}
                    : QPolygonF{{c.x() - 2, c.y() - 3.5}, {c.x() - 2, c.y() + 3.5}, {c.x() + 2.5, c.y()}};
            painter.drawPolygon(mark);
        }
        const QIcon icon = row.item->icon(0);
        if (!icon.isNull()) {
            icon.paint(&painter, QRect(QPoint(x, y + (rowHeight - iconSize.height()) / 2), iconSize));
        }
        const bool isBold = row.item->font(0).bold();
        painter.setFont(isBold ? boldFont : tree.font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + iconSize.width() + 4, y, width, rowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, row.item->text(0));
        y += rowHeight;
    }
    return image;
}

bool CCapture::CaptureToFile(const QTreeWidget& tree, const QString& fileName) {
    if (fileName.isEmpty()) {
        return false;
    }
    const QImage image = CaptureTree(tree);
    return !image.isNull() && image.save(fileName, "PNG");
}
