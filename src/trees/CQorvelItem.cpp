#include "trees/CQorvelItem.h"

CQorvelItem::~CQorvelItem() {
    // The default would release the children recursively, one stack frame per level of a deep chain.
    if (children.empty()) {
        return;
    }
    std::vector<CQorvelItem> pending = std::move(children);
    while (!pending.empty()) {
        CQorvelItem last = std::move(pending.back());
        pending.pop_back();
        for (CQorvelItem& child : last.children) {
            pending.push_back(std::move(child));
        }
        last.children.clear();
    }
}
