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

}  // namespace treewindowimages
