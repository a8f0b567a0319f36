// The picture of a dependency tree: every row whose parents are unfolded, not only the part a window shows,
// drawn as the tree window draws it (indentation, fold marks, pictures, text, bold), so a tree taller than
// the screen still fits in one picture. The tree window's Bitmap export and `qorvel --png` both draw with it.
#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

namespace platform {
class Clipboard;
class TreeControl;
}  // namespace platform

// How the rows look: the tree's font, its indentation per level and the size of its pictures.
struct TreePictureLook {
    QFont font;
    int indentation = 17;
    QSize iconSize{16, 16};
};

// An export's file: the folder, then the object name with the characters a file name cannot hold
// (\ / : * ? < > " |) made "_", then the extension (with its dot).
QString TreeExportFileName(const QString& folder, const QString& objectName, const QString& extension);

class CCapture {
public:
    // Rows are drawn at one height each: the picture is rows × RowHeight(look) + 2 × kMargin high.
    static constexpr int kMargin = 4;
    static int RowHeight(const TreePictureLook& look);

    // A null image when the tree is empty or the picture too large to make.
    static QImage CaptureTree(const platform::TreeControl& tree, const TreePictureLook& look);
    // Puts the picture on the clipboard (as PNG); false when there is none.
    static bool CaptureToClipboard(const platform::TreeControl& tree, const TreePictureLook& look,
                                   platform::Clipboard& clipboard);
    // Writes the picture to a PNG file, whole or not at all: through the clipboard when one is given (the
    // window's export), else straight. False when nothing was written.
    static bool CaptureToFile(const platform::TreeControl& tree, const TreePictureLook& look,
                              const QString& fileName, platform::Clipboard* clipboard = nullptr);
};
