#include "trees/TreeControlRenderer.h"

#include "hostapi/host.h"

QString ImageKey(const CQorvelItem& item, const platform::TreeControl& control) {
    switch (item.objectType) {
        case host::ObjectType::Table:
            return QStringLiteral("Table");
        case host::ObjectType::Form:
            return QStringLiteral("Form");
        case host::ObjectType::Report:
            return QStringLiteral("Report");
        default: {
            const QString key = QLatin1Char('q') + QString::number(static_cast<int>(item.queryType));
            return control.hasImage(key) ? key : QStringLiteral("q0");
        }
    }
}

void FillTreeControl(QorvelTree& tree, platform::TreeControl& control, std::vector<CQorvelItem*>& nodeItems,
                     const std::function<bool(qint64 done, qint64 total)>& afterItem) {
    control.clear();
    nodeItems.clear();
    if (tree.isEmpty()) {
        return;
    }
    const int root =
        control.addNode(platform::TreeControl::noNode, tree.root.name, ImageKey(tree.root, control));
    nodeItems.push_back(&tree.root);
    control.setExpanded(root, true);
    // The node of the last item seen at each depth: the parent of the next item one level deeper.
    std::vector<int> parents{root};
    const qint64 total = tree.nodeCount - 1;
    qint64 done = 0;
    ForEachItem(tree, [&](CQorvelItem& item, int depth) {
        parents.resize(depth);
        const int node = control.addNode(
            parents.back(), item.expandedElsewhere ? item.name + QStringLiteral(" (...)") : item.name,
            ImageKey(item, control));
        nodeItems.push_back(&item);
        parents.push_back(node);
        if (item.searched) {
            control.setBold(node, true);
        }
        control.setExpanded(node, true);
        return !afterItem || afterItem(++done, total);
    });
}
