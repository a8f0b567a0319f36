// The picture of a tree: every row that is unfolded, not only the part the window shows, drawn as the tree
// draws it (indentation, picture, text, bold), so a tree taller than the screen still fits in one picture.
#pragma once

#include <QImage>
#include <QString>

class QTreeWidget;

class CCapture {
public:
    static QImage CaptureTree(const QTreeWidget& tree);
    // False when the file could not be written (or the picture is too large to make).
    static bool CaptureToFile(const QTreeWidget& tree, const QString& fileName);
};
