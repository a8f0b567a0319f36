// One node of a dependency tree: the object's name, its type and icon, its own children and the field-find
// mark.
#pragma once

#include "support/KeyedCollection.h"

#include <QString>

#include <memory>

class CQorvelItem;

// A level of a tree: items in the order they were added, keyed by name so that a duplicate is dropped.
using QorvelItems = KeyedCollection<std::unique_ptr<CQorvelItem>>;

class CQorvelItem {
public:
    explicit CQorvelItem(QString itemName = QString()) : ItemName(std::move(itemName)) {}

    QString ItemName;
    // The query type code for a query, -1 for a table.
    qint32 ItemType = 0;
    QorvelItems Childs;
    QString IconKey;
    bool SearchedItem = false;
};
