#include "platform/InMemoryTreeControl.h"

#include <stdexcept>

namespace platform {

void InMemoryTreeControl::addImage(const QString& key, const QString& tag) {
    mImages.insert(key, tag);
}

bool InMemoryTreeControl::hasImage(const QString& key) const {
    return mImages.contains(key);
}

QString InMemoryTreeControl::imageTag(const QString& key) const {
    return mImages.value(key);
}

void InMemoryTreeControl::clear() {
    mNodes.clear();
    mSelected = noNode;
}

int InMemoryTreeControl::nodeCount() const {
    return static_cast<int>(mNodes.size());
}

int InMemoryTreeControl::addNode(int parent, const QString& text, const QString& imageKey) {
    if (parent != noNode) {
        at(parent);
    }
    const int number = nodeCount();
    mNodes.push_back(Node{text, imageKey, QString(), parent, {}, false, false});
    if (parent != noNode) {
        at(parent).children.append(number);
    }
    return number;
}

QString InMemoryTreeControl::text(int node) const {
    return at(node).text;
}
QString InMemoryTreeControl::imageKey(int node) const {
    return at(node).imageKey;
}
int InMemoryTreeControl::parent(int node) const {
    return at(node).parent;
}

QList<int> InMemoryTreeControl::children(int node) const {
    if (node == noNode) {
        QList<int> top;
        for (int i = 0; i < nodeCount(); ++i) {
            if (mNodes[static_cast<std::size_t>(i)].parent == noNode) {
                top.append(i);
            }
        }
        return top;
    }
    return at(node).children;
}

bool InMemoryTreeControl::bold(int node) const {
    return at(node).bold;
}
void InMemoryTreeControl::setBold(int node, bool bold) {
    at(node).bold = bold;
}
bool InMemoryTreeControl::expanded(int node) const {
    return at(node).expanded;
}
void InMemoryTreeControl::setExpanded(int node, bool expanded) {
    at(node).expanded = expanded;
}
QString InMemoryTreeControl::tag(int node) const {
    return at(node).tag;
}
void InMemoryTreeControl::setTag(int node, const QString& tag) {
    at(node).tag = tag;
}

int InMemoryTreeControl::selectedNode() const {
    return mSelected;
}

void InMemoryTreeControl::setSelectedNode(int node) {
    if (node != noNode) {
        at(node);
    }
    mSelected = node;
}

void InMemoryTreeControl::click(int node) {
    setSelectedNode(node);
    emit nodeClicked(node);
}

void InMemoryTreeControl::doubleClick(int node) {
    setSelectedNode(node);
    emit nodeDoubleClicked(node);
}

const InMemoryTreeControl::Node& InMemoryTreeControl::at(int node) const {
    if (node < 0 || node >= nodeCount()) {
        throw std::out_of_range("no such tree node");
    }
    return mNodes[static_cast<std::size_t>(node)];
}

InMemoryTreeControl::Node& InMemoryTreeControl::at(int node) {
    return const_cast<Node&>(std::as_const(*this).at(node));
}

}  // namespace platform
