// The tree control without a window, for the command-line tool and the tests.
#pragma once

#include "platform/TreeControl.h"

#include <QHash>

#include <vector>

namespace platform {

class InMemoryTreeControl : public TreeControl {
    Q_OBJECT

public:
    using TreeControl::TreeControl;

    void addImage(const QString& key, const QString& tag) override;
    bool hasImage(const QString& key) const override;
    QString imageTag(const QString& key) const override;

    void clear() override;
    int nodeCount() const override;
    int addNode(int parent, const QString& text, const QString& imageKey) override;

    QString text(int node) const override;
    QString imageKey(int node) const override;
    int parent(int node) const override;
    QList<int> children(int node) const override;
    bool bold(int node) const override;
    void setBold(int node, bool bold) override;
    bool expanded(int node) const override;
    void setExpanded(int node, bool expanded) override;
    QString tag(int node) const override;
    void setTag(int node, const QString& tag) override;

    int selectedNode() const override;
    void setSelectedNode(int node) override;

    // What a user's click and double click do.
    void click(int node);
    void doubleClick(int node);

private:
    struct Node {
        QString text;
        QString imageKey;
        QString tag;
        int parent = noNode;
        QList<int> children;
        bool bold = false;
        bool expanded = false;
    };

    const Node& at(int node) const;
    Node& at(int node);

    QHash<QString, QString> mImages;  // case-sensitive keys, as the image list's
    std::vector<Node> mNodes;
    int mSelected = noNode;
};

}  // namespace platform
