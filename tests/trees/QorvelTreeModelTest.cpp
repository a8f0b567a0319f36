// The tree as a value: what the builder puts in its nodes, and the two renderings of one tree (text and tree
// control) including the marks of the field find and of a shortened tree.
#include "TreesTestSupport.h"
#include "platform/InMemoryTreeControl.h"
#include "trees/TreeControlRenderer.h"
#include "trees/TreeTextRenderer.h"
#include "trees/frmQorvel.h"

namespace {

class TreeModel : public ScenarioTest {
protected:
    TreeModel() : ScenarioTest(QStringLiteral("shop.json")) {}
};

TEST_F(TreeModel, NodesCarryKindQueryTypeAndOwnerNamesAndTheWindowReadsThem) {
    frmQorvel window(context());
    ASSERT_TRUE(window.Initialize(frmQorvel::ModeUsedBy, QStringLiteral("Customers")));
    const QorvelTree& tree = window.Tree();
    EXPECT_EQ(tree.root.objectType, host::ObjectType::Table);
    EXPECT_EQ(tree.nodeCount, 11);
    EXPECT_FALSE(tree.shortened);
    QStringList seen;
    ForEachItem(tree, [&](const CQorvelItem& item, int depth) {
        seen << QStringLiteral("%1 %2 %3 %4")
                    .arg(depth)
                    .arg(item.name)
                    .arg(static_cast<int>(item.objectType))
                    .arg(static_cast<int>(item.queryType));
        return true;
    });
    EXPECT_EQ(seen,
              (QStringList{"1 Add Orders 1 64", "1 Gone Reader 1 0", "1 Order List 1 0", "2 Big Orders 1 0",
                           "2 Order Form 2 0", "2 All Names 1 128", "1 Order Form.Customer 2 0",
                           "1 Invoice.Buyer 3 0", "1 All Names 1 128", "1 Deep Orders 1 0"}));
    // Node numbers of the control lead to the same items; the description is kept with the item, not in
    // the node's tag.
    for (int node = 0; node < window.tvQorvel().nodeCount(); ++node) {
        EXPECT_EQ(window.NodeItem(node)->name, window.tvQorvel().text(node));
    }
    EXPECT_EQ(window.NodeItem(-1), nullptr);
    EXPECT_EQ(window.NodeDescription(0), QStringLiteral("Who buys"));
    EXPECT_EQ(window.tvQorvel().tag(0), QString());
}

TEST(TreeRenderers, TextAndControlShowTheSameTreeWithItsMarks) {
    QorvelTree tree;
    tree.root = CQorvelItem(QStringLiteral("Top"), host::ObjectType::Query, host::QueryType::Union);
    CQorvelItem middle(QStringLiteral("Middle"), host::ObjectType::Query, host::QueryType::Append);
    middle.searched = true;
    middle.children.emplace_back(QStringLiteral("T"), host::ObjectType::Table);
    tree.root.children.push_back(std::move(middle));
    CQorvelItem again(QStringLiteral("Middle"), host::ObjectType::Query, host::QueryType::Append);
    again.expandedElsewhere = true;
    tree.root.children.push_back(std::move(again));
    tree.root.children.emplace_back(QStringLiteral("F.Combo"), host::ObjectType::Form);
    tree.nodeCount = 5;

    EXPECT_EQ(TreeText(tree), QStringLiteral("Top\r\n    Middle (*)\r\n        T\r\n    Middle (...)\r\n"
                                             "    F.Combo\r\n"));

    platform::InMemoryTreeControl control;
    for (const char* key : {"q0", "q128", "Table", "Form"}) {  // no image of its own for append queries
        control.addImage(QString::fromLatin1(key), QString());
    }
    std::vector<CQorvelItem*> items;
    int steps = 0;
    FillTreeControl(tree, control, items, [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 4);
        return ++steps == done && done < 3;  // stops after the third item
    });
    ASSERT_EQ(control.nodeCount(), 4);
    EXPECT_EQ(control.imageKey(0), QStringLiteral("q128"));
    EXPECT_EQ(control.imageKey(1), QStringLiteral("q0"));
    EXPECT_TRUE(control.bold(1));
    EXPECT_EQ(control.parent(2), 1);
    EXPECT_EQ(control.imageKey(2), QStringLiteral("Table"));
    EXPECT_EQ(control.text(3), QStringLiteral("Middle (...)"));
    EXPECT_EQ(control.parent(3), 0);
    EXPECT_EQ(items.size(), 4u);
    EXPECT_EQ(items[3]->name, QStringLiteral("Middle"));
}

}  // namespace
