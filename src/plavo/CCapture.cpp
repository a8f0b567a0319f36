#include "plavo/CCapture.h"

#include "platform/Clipboard.h"
#include "platform/TreeControl.h"
#include "plavo/TreeWindowImages.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

using platform::TreeControl;

struct Row {
    int node;
    int depth;
};

// The rows in the order the tree shows them: a node's children only while it is unfolded. Iterative, so a
// tree thousands of levels deep does not exhaust the stack.
std::vector<Row> visibleRows(const TreeControl& tree) {
    std::vector<Row> rows;
    std::vector<Row> pending;
    const QList<int> roots = tree.children(TreeControl::noNode);
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        pending.push_back({*it, 0});
    }
    while (!pending.empty()) {
        const Row row = pending.back();
        pending.pop_back();
        rows.push_back(row);
        if (tree.expanded(row.node)) {
            const QList<int> children = tree.children(row.node);
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                pending.push_back({*it, row.depth + 1});
            }
        }
    }
    return rows;
}

QFont boldOf(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

}  // namespace

QString TreeExportFileName(const QString& folder, const QString& objectName, const QString& extension) {
    QString name = objectName;
    for (const QChar refused : QStringLiteral("\\/:*?<>\"|")) {
        name.replace(refused, QLatin1Char('_'));
    }
    return QDir(folder).filePath(name + extension);
}

int CCapture::RowHeight(const TreePictureLook& look) {
    return std::max({QFontMetrics(look.font).height(), QFontMetrics(boldOf(look.font)).height(),
                     look.iconSize.height()}) +
           4;
}

QImage CCapture::CaptureTree(const TreeControl& tree, const TreePictureLook& look) {
    const std::vector<Row> rows = visibleRows(tree);
    if (rows.empty()) {
        return QImage();
    }
    const QFont boldFont = boldOf(look.font);
    const QFontMetrics plain(look.font);
    const QFontMetrics bold(boldFont);
    const int rowHeight = RowHeight(look);
    const int indentation = look.indentation;
    const QSize iconSize = look.iconSize;

    qint64 width = 0;
    for (const Row& row : rows) {
        const QFontMetrics& metrics = tree.bold(row.node) ? bold : plain;
        width = std::max(width, qint64(row.depth + 1) * indentation + iconSize.width() + 4 +
                                    metrics.horizontalAdvance(tree.text(row.node)));
    }
    width += 2 * kMargin;
    const qint64 height = qint64(rows.size()) * rowHeight + 2 * kMargin;
    // QImage holds at most 2^31 bytes; beyond that (or a side beyond what int holds) there is no picture.
    if (width > (1 << 30) || height > (1 << 30) || width * height * 4 >= (qint64(1) << 31)) {
        return QImage();
    }
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull()) {
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
        if (!tree.children(row.node).isEmpty()) {
            // The fold mark: unfolded rows point down, folded ones right.
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x60, 0x60, 0x60));
            const QPointF c(x - indentation / 2.0, y + rowHeight / 2.0);
            const QPolygonF mark =
                tree.expanded(row.node)
                    ? QPolygonF{{c.x() - 3.5, c.y() - 2}, {c.x() + 3.5, c.y() - 2}, {c.x(), c.y() + 2.5}}
                    : QPolygonF{{c.x() - 2, c.y() - 3.5}, {c.x() - 2, c.y() + 3.5}, {c.x() + 2.5, c.y()}};
            painter.drawPolygon(mark);
        }
        const QIcon icon = treewindowimages::treeImage(tree.imageKey(row.node));
        if (!icon.isNull()) {
            icon.paint(&painter, QRect(QPoint(x, y + (rowHeight - iconSize.height()) / 2), iconSize));
        }
        painter.setFont(tree.bold(row.node) ? boldFont : look.font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + iconSize.width() + 4, y, int(width), rowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, tree.text(row.node));
        y += rowHeight;
    }
    return image;
}

bool CCapture::CaptureToClipboard(const TreeControl& tree, const TreePictureLook& look,
                                  platform::Clipboard& clipboard) {
    const QImage image = CaptureTree(tree, look);
    if (image.isNull()) {
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return false;
    }
    clipboard.clear();
    clipboard.setData(platform::kMimePng, png);
    return true;
}

bool CCapture::CaptureToFile(const TreeControl& tree, const TreePictureLook& look, const QString& fileName,
                             platform::Clipboard* clipboard) {
    if (fileName.isEmpty()) {
        return false;
    }
    QImage image;
    if (clipboard) {
        // The picture goes onto the clipboard and is read back from there into the file.
        if (!CaptureToClipboard(tree, look, *clipboard)) {
            return false;
        }
        image = QImage::fromData(clipboard->data(platform::kMimePng), "PNG");
    } else {
        image = CaptureTree(tree, look);
    }
    if (image.isNull()) {
        return false;
    }
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
