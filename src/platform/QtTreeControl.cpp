#include "platform/QtTreeControl.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>

#include <stdexcept>

namespace platform {

namespace {

// Data roles of an item: its number, image key and tag.
constexpr int numberRole = Qt::UserRole;
constexpr int imageKeyRole = Qt::UserRole + 1;
constexpr int tagRole = Qt::UserRole + 2;
constexpr int expandedRole = Qt::UserRole + 3;

QIcon drawIcon(const QString& key, const QString& tag) {
    QColor colour(0x2f, 0x6f, 0xb5);  // queries
    if (key == QLatin1String("Table")) {
        colour = QColor(0x3a, 0x8a, 0x3a);
    } else if (key == QLatin1String("Form")) {
        colour = QColor(0xc0, 0x7a, 0x1e);
    } else if (key == QLatin1String("Report")) {
        colour = QColor(0x80, 0x3c, 0x9c);
    }
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker());
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QString letter = tag.isEmpty() ? key.left(1) : tag.left(1);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter.toUpper());
    return QIcon(pixmap);
}

}  // namespace

QtTreeControl::QtTreeControl(QWidget* parent) : mTree(new QTreeWidget(parent)) {
    mTree->setHeaderHidden(true);
    mTree->setColumnCount(1);
    mTree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(mTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit nodeClicked(numberOf(item)); });
    connect(mTree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { emit nodeDoubleClicked(numberOf(item)); });
    connect(mTree, &QTreeWidget::itemExpanded, this,
            [](QTreeWidgetItem* item) { item->setData(0, expandedRole, true); });
    connect(mTree, &QTreeWidget::itemCollapsed, this,
            [](QTreeWidgetItem* item) { item->setData(0, expandedRole, false); });
}

QtTreeControl::~QtTreeControl() {
    if (!mTree->parent()) {
        delete mTree;
    }
}

void QtTreeControl::addImage(const QString& key, const QString& tag) {
    mImageTags.insert(key, tag);
    mIcons.insert(key, drawIcon(key, tag));
}

void QtTreeControl::setImagePicture(const QString& key, const QIcon& picture) {
    mIcons.insert(key, picture);
}

int QtTreeControl::nodeAt(const QPoint& position) const {
    QTreeWidgetItem* item = mTree->itemAt(position);
    return item ? numberOf(item) : noNode;
}

bool QtTreeControl::hasImage(const QString& key) const {
    return mImageTags.contains(key);
}

QString QtTreeControl::imageTag(const QString& key) const {
    return mImageTags.value(key);
}

void QtTreeControl::clear() {
    mTree->clear();
    mItems.clear();
}

int QtTreeControl::nodeCount() const {
    return static_cast<int>(mItems.size());
}

int QtTreeControl::addNode(int parent, const QString& text, const QString& imageKey) {
    QTreeWidgetItem* parentItem = parent == noNode ? nullptr : at(parent);
    auto* item = new QTreeWidgetItem(QStringList{text});
    const int number = nodeCount();
    item->setData(0, numberRole, number);
    item->setData(0, imageKeyRole, imageKey);
    item->setData(0, expandedRole, false);
    item->setIcon(0, mIcons.value(imageKey));
    if (parentItem) {
        parentItem->addChild(item);
    } else {
        mTree->addTopLevelItem(item);
    }
    mItems.push_back(item);
    return number;
}

QString QtTreeControl::text(int node) const {
    return at(node)->text(0);
}
QString QtTreeControl::imageKey(int node) const {
    return at(node)->data(0, imageKeyRole).toString();
}

int QtTreeControl::parent(int node) const {
    QTreeWidgetItem* parentItem = at(node)->parent();
    return parentItem ? numberOf(parentItem) : noNode;
}

QList<int> QtTreeControl::children(int node) const {
    QList<int> numbers;
    if (node == noNode) {
        for (int i = 0; i < mTree->topLevelItemCount(); ++i) {
            numbers.append(numberOf(mTree->topLevelItem(i)));
        }
        return numbers;
    }
    QTreeWidgetItem* item = at(node);
    for (int i = 0; i < item->childCount(); ++i) {
        numbers.append(numberOf(item->child(i)));
    }
    return numbers;
}

bool QtTreeControl::bold(int node) const {
    return at(node)->font(0).bold();
}

void QtTreeControl::setBold(int node, bool bold) {
    QTreeWidgetItem* item = at(node);
    QFont font = item->font(0);
    font.setBold(bold);
    item->setFont(0, font);
}

// A leaf keeps its expanded state too, so it shows unfolded once children arrive.
bool QtTreeControl::expanded(int node) const {
    return at(node)->data(0, expandedRole).toBool();
}

void QtTreeControl::setExpanded(int node, bool expanded) {
    QTreeWidgetItem* item = at(node);
    item->setData(0, expandedRole, expanded);
    item->setExpanded(expanded);
}

QString QtTreeControl::tag(int node) const {
    return at(node)->data(0, tagRole).toString();
}
void QtTreeControl::setTag(int node, const QString& tag) {
    at(node)->setData(0, tagRole, tag);
}

int QtTreeControl::selectedNode() const {
    QTreeWidgetItem* item = mTree->currentItem();
    return item ? numberOf(item) : noNode;
}

void QtTreeControl::setSelectedNode(int node) {
    if (node == noNode) {
        mTree->setCurrentItem(nullptr);
        return;
    }
    mTree->setCurrentItem(at(node));
}

QTreeWidgetItem* QtTreeControl::at(int node) const {
    if (node < 0 || node >= nodeCount()) {
        throw std::out_of_range("no such tree node");
    }
    return mItems[static_cast<std::size_t>(node)];
}

int QtTreeControl::numberOf(QTreeWidgetItem* item) const {
    return item->data(0, numberRole).toInt();
}

}  // namespace platform
