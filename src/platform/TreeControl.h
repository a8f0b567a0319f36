// The tree view with its image list, as the dependency explorer uses it. Nodes are added without a key and
// are addressed by the number the control gives them when they are added (0, 1, 2, ... in adding order,
// until the next clear()).
#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace platform {

class TreeControl : public QObject {
    Q_OBJECT

public:
    static constexpr int noNode = -1;

    using QObject::QObject;
    ~TreeControl() override = default;

    // The image list: images by key, each with a tag (its description).
    virtual void addImage(const QString& key, const QString& tag) = 0;
    virtual bool hasImage(const QString& key) const = 0;
    virtual QString imageTag(const QString& key) const = 0;  // empty for an unknown key

    virtual void clear() = 0;
    virtual int nodeCount() const = 0;
    // Adds a node as the last child of parent (noNode: a top-level node) and returns its number. An image
    // key that the image list lacks gives a node without a picture.
    virtual int addNode(int parent, const QString& text, const QString& imageKey) = 0;

    virtual QString text(int node) const = 0;
    virtual QString imageKey(int node) const = 0;
    virtual int parent(int node) const = 0;
    virtual QList<int> children(int node) const = 0;
    virtual bool bold(int node) const = 0;
    virtual void setBold(int node, bool bold) = 0;
    virtual bool expanded(int node) const = 0;
    virtual void setExpanded(int node, bool expanded) = 0;
    // Free text kept with the node (the tooltip cache).
    virtual QString tag(int node) const = 0;
    virtual void setTag(int node, const QString& tag) = 0;

    // The selected node, noNode when none; selecting from code raises no nodeClicked.
    virtual int selectedNode() const = 0;
    virtual void setSelectedNode(int node) = 0;

signals:
    // The user clicked a node; it is selected by then.
    void nodeClicked(int node);
    void nodeDoubleClicked(int node);
};

}  // namespace platform
