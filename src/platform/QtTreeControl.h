// The tree control on a QTreeWidget. Images are drawn from their key and tag, so no image files are needed.
#pragma once

#include "platform/TreeControl.h"

#include <QHash>
#include <QIcon>

#include <vector>

class QPoint;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace platform {

class QtTreeControl : public TreeControl {
    Q_OBJECT

public:
    explicit QtTreeControl(QWidget* parent = nullptr);
    ~QtTreeControl() override;

    QTreeWidget* widget() const { return mTree; }
    // Replaces the drawn picture of an image of the list; nodes added later show it.
    void setImagePicture(const QString& key, const QIcon& picture);
    // The node at a point of the tree's viewport, noNode for empty space.
    int nodeAt(const QPoint& position) const;

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

private:
    QTreeWidgetItem* at(int node) const;
    int numberOf(QTreeWidgetItem* item) const;

    QTreeWidget* mTree;
    QHash<QString, QString> mImageTags;
    QHash<QString, QIcon> mIcons;
    std::vector<QTreeWidgetItem*> mItems;
};

}  // namespace platform
