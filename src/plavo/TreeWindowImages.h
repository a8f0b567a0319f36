// The tree window's pictures, drawn here so that they look the same on every desktop: the tree's images by
// key (a query's by its type code, "q0" select ... "q224" procedure; "Table", "Form", "Report") and the
// toolbar's images ("OpenDatasheet", "Design", "SQLEditor", "SQL", "Print", "Notepad", "bmp").
#pragma once

#include <QIcon>
#include <QString>

namespace treewindowimages {

// A null icon for a key the tree does not know.
QIcon treeImage(const QString& key);
QIcon toolbarImage(const QString& key);
// The window's icon by its tree: 1 Uses, 2 Used By, 3 and 4 the same with a field find; null for others.
QIcon windowIcon(int mode);

}  // namespace treewindowimages
