// The plain-text rendering of a dependency tree: the root's name on the first line, then every node in tree
// order, four blanks per level of depth, its name, " (*)" when the field find marked it and " (...)" when it
// is shown as a leaf because its children appear elsewhere in the tree.
#pragma once

#include "trees/CQorvelItem.h"

#include <QString>
#include <QStringView>
#include <QTextStream>

// Writes the text line by line, so that the text of a large tree is never held whole.
void WriteTreeText(const QorvelTree& tree, QTextStream& out, QStringView lineBreak);
// The whole text with CR LF line ends, as the tree window keeps it for the text export.
QString TreeText(const QorvelTree& tree);
