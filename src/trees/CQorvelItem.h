// A dependency tree as a value: nodes with the object's name as shown, its kind, its query type, the field
// find's mark and their children in order. The builder makes it; one renderer writes it as text, another
// fills a tree control; the tree window reads its node data.
#pragma once

#include "hostapi/host.h"

#include <QString>

#include <optional>
#include <type_traits>
#include <vector>

class CQorvelItem {
public:
    CQorvelItem() = default;
    CQorvelItem(QString name, host::ObjectType objectType,
                host::QueryType queryType = host::QueryType::Select)
        : name(std::move(name)), objectType(objectType), queryType(queryType) {}
    // Releases a chain of any depth without recursion.
    ~CQorvelItem();
    CQorvelItem(const CQorvelItem&) = default;
    CQorvelItem(CQorvelItem&&) noexcept = default;
    CQorvelItem& operator=(const CQorvelItem&) = default;
    CQorvelItem& operator=(CQorvelItem&&) noexcept = default;

    // The name as the tree shows it: a hidden record-source or row-source query is shown as its owner
    // ("Form", "Report", "Form.Control", "Report.Control").
    QString name;
    // Table, query, form or report (controls count as their form or report).
    host::ObjectType objectType = host::ObjectType::Table;
    // For a query, its kind.
    host::QueryType queryType = host::QueryType::Select;
    // Matched by the field find.
    bool searched = false;
    // Shown as a leaf because the tree outgrew its node budget: its children are shown under an earlier
    // node of the same name.
    bool expandedElsewhere = false;
    std::vector<CQorvelItem> children;
    // The object's description, read when the tree window first needs it.
    std::optional<QString> description;
};

struct QorvelTree {
    // The object whose tree it is; a tree without a root name was not built.
    CQorvelItem root;
    // Every node, the root included.
    qint64 nodeCount = 0;
    // Some queries are shown as leaves marked expandedElsewhere because the tree outgrew its budget.
    bool shortened = false;

    bool isEmpty() const { return root.name.isEmpty(); }
};

// Calls visit(item, depth) for every node below the root of a QorvelTree (const or not), depth first, each
// before its children (depth 1 for the root's children); stops when visit returns false. No recursion, so a
// chain of any depth is safe.
template <typename Tree, typename Visit>
void ForEachItem(Tree& tree, Visit&& visit) {
    using Items =
        std::conditional_t<std::is_const_v<Tree>, const std::vector<CQorvelItem>, std::vector<CQorvelItem>>;
    struct Level {
        Items* items;
        std::size_t next;
    };
    std::vector<Level> levels{{&tree.root.children, 0}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.items->size()) {
            levels.pop_back();
            continue;
        }
        auto& item = (*level.items)[level.next++];
        if (!visit(item, static_cast<int>(levels.size()))) {
            return;
        }
        if (!item.children.empty()) {
            levels.push_back({&item.children, 0});
        }
    }
}
