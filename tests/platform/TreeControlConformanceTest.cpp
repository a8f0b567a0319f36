// One suite for both tree controls, so the window and the headless one cannot drift apart.
#include "TreeControlTestApplication.h"
#include "platform/InMemoryTreeControl.h"
#include "platform/QtTreeControl.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using platform::TreeControl;

// What the user's click on the first child of the first top-level node does to each control.
void clickFirstChild(platform::InMemoryTreeControl& tree) {
    tree.click(tree.children(0).first());
}
void clickFirstChild(platform::QtTreeControl& tree) {
    QTreeWidgetItem* item = tree.widget()->topLevelItem(0)->child(0);
    tree.widget()->setCurrentItem(item);
    emit tree.widget()->itemClicked(item, 0);
}

template <typename Control>
class TreeControlConformance : public ::testing::Test {
protected:
    void SetUp() override {
        ensureTreesTestApplication();
        control = std::make_unique<Control>();
        control->addImage(QStringLiteral("q0"), QStringLiteral("Select"));
        control->addImage(QStringLiteral("Table"), QStringLiteral("Table"));
    }
    std::unique_ptr<TreeControl> control;
};

using TreeControls = ::testing::Types<platform::InMemoryTreeControl, platform::QtTreeControl>;
TYPED_TEST_SUITE(TreeControlConformance, TreeControls);

TYPED_TEST(TreeControlConformance, ImagesAreLookedUpByExactKey) {
    TreeControl& tree = *this->control;
    EXPECT_TRUE(tree.hasImage(QStringLiteral("q0")));
    EXPECT_FALSE(tree.hasImage(QStringLiteral("q16")));
    EXPECT_FALSE(tree.hasImage(QStringLiteral("table")));
    EXPECT_EQ(tree.imageTag(QStringLiteral("q0")), QStringLiteral("Select"));
    EXPECT_EQ(tree.imageTag(QStringLiteral("missing")), QString());
}

TYPED_TEST(TreeControlConformance, NodesKeepOrderParentsAndProperties) {
    TreeControl& tree = *this->control;
    const int root = tree.addNode(TreeControl::noNode, QStringLiteral("Root"), QStringLiteral("q0"));
    const int first = tree.addNode(root, QStringLiteral("A"), QStringLiteral("q0"));
    const int second =
        tree.addNode(root, QStringLiteral("A"), QStringLiteral("Table"));  // no keys: same text twice
    const int grandchild = tree.addNode(first, QStringLiteral("T"), QStringLiteral("Unknown"));
    EXPECT_EQ(tree.nodeCount(), 4);
    EXPECT_EQ(root, 0);
    EXPECT_EQ(tree.children(TreeControl::noNode), QList<int>{root});
    EXPECT_EQ(tree.children(root), (QList<int>{first, second}));
    EXPECT_EQ(tree.children(first), QList<int>{grandchild});
    EXPECT_EQ(tree.parent(grandchild), first);
    EXPECT_EQ(tree.parent(root), TreeControl::noNode);
    EXPECT_EQ(tree.text(second), QStringLiteral("A"));
    EXPECT_EQ(tree.imageKey(second), QStringLiteral("Table"));
    EXPECT_EQ(tree.imageKey(grandchild), QStringLiteral("Unknown"));

    EXPECT_FALSE(tree.bold(first));
    tree.setBold(first, true);
    EXPECT_TRUE(tree.bold(first));
    EXPECT_FALSE(tree.bold(second));

    EXPECT_FALSE(tree.expanded(grandchild));
    tree.setExpanded(root, true);
    tree.setExpanded(first, true);
    tree.setExpanded(grandchild, true);  // a leaf remembers it too
    EXPECT_TRUE(tree.expanded(root));
    EXPECT_TRUE(tree.expanded(grandchild));
    tree.setExpanded(first, false);
    EXPECT_FALSE(tree.expanded(first));

    tree.setTag(second, QStringLiteral("Orders of the year"));
    EXPECT_EQ(tree.tag(second), QStringLiteral("Orders of the year"));
    EXPECT_EQ(tree.tag(first), QString());
}

TYPED_TEST(TreeControlConformance, SelectionFromCodeRaisesNoClickAndClearForgetsEverything) {
    TreeControl& tree = *this->control;
    EmissionCount clicks(&tree, &TreeControl::nodeClicked);
    EXPECT_EQ(tree.selectedNode(), TreeControl::noNode);
    const int root = tree.addNode(TreeControl::noNode, QStringLiteral("Root"), QStringLiteral("q0"));
    const int child = tree.addNode(root, QStringLiteral("Child"), QStringLiteral("Table"));
    tree.setSelectedNode(child);
    EXPECT_EQ(tree.selectedNode(), child);
    tree.setSelectedNode(root);
    EXPECT_EQ(tree.selectedNode(), root);
    EXPECT_EQ(clicks.count(), 0);

    tree.clear();
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(tree.selectedNode(), TreeControl::noNode);
    EXPECT_EQ(tree.addNode(TreeControl::noNode, QStringLiteral("Again"), QStringLiteral("q0")), 0);
    EXPECT_TRUE(tree.hasImage(QStringLiteral("q0")));  // the image list outlives the nodes
}

TYPED_TEST(TreeControlConformance, UnknownNodesAreRefused) {
    TreeControl& tree = *this->control;
    EXPECT_THROW(tree.text(0), std::out_of_range);
    EXPECT_THROW(tree.addNode(3, QStringLiteral("Orphan"), QStringLiteral("q0")), std::out_of_range);
    EXPECT_EQ(tree.nodeCount(), 0);
}

TYPED_TEST(TreeControlConformance, AClickSelectsTheNodeAndIsAnnounced) {
    auto& tree = static_cast<TypeParam&>(*this->control);
    const int root = tree.addNode(TreeControl::noNode, QStringLiteral("Root"), QStringLiteral("q0"));
    const int child = tree.addNode(root, QStringLiteral("Child"), QStringLiteral("Table"));
    int clicked = TreeControl::noNode;
    QObject::connect(&tree, &TreeControl::nodeClicked, [&](int node) { clicked = node; });
    clickFirstChild(tree);
    EXPECT_EQ(clicked, child);
    EXPECT_EQ(tree.selectedNode(), child);
}
