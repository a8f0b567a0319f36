// Fills the tree window's tree control from a dependency tree: the root first, then every item in tree
// order as the last child of its parent, with the image of its kind, bold when the field find marked it,
// every node expanded. An item whose children are shown elsewhere in the tree reads "Name (...)".
#pragma once

#include "platform/TreeControl.h"
#include "trees/CQorvelItem.h"

#include <QString>

#include <functional>
#include <vector>

// The image of an item: "q" and the query type when the control's image list has it, else "q0"; "Table",
// "Form" or "Report" for the other kinds.
QString ImageKey(const CQorvelItem& item, const platform::TreeControl& control);

// Adds the tree to the control (cleared first). nodeItems receives the item of each node, by node number,
// as the nodes are added. afterItem(done, total) runs after each item below the root; when it returns false
// the filling stops there.
void FillTreeControl(QorvelTree& tree, platform::TreeControl& control, std::vector<CQorvelItem*>& nodeItems,
                     const std::function<bool(qint64 done, qint64 total)>& afterItem);
