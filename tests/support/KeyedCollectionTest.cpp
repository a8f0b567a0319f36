// Keys of the add-in's collections compare without regard to case, also beyond ASCII, and the index stays
// right when entries are removed.
#include "support/KeyedCollection.h"

#include <gtest/gtest.h>

TEST(KeyedCollection, KeysIgnoreCaseBeyondAscii) {
    KeyedCollection<int> items;
    items.add(1, QStringLiteral("[Orders].[OrderID]"));
    items.add(2, QStringLiteral("Straße"));
    items.add(3, QStringLiteral("Ärger"));
    EXPECT_TRUE(items.contains(QStringLiteral("[ORDERS].[orderid]")));
    EXPECT_FALSE(items.contains(QStringLiteral("[Orders].[OrderID2]")));
    EXPECT_FALSE(items.contains(QStringLiteral("[Orders].[OrderI]")));
    EXPECT_EQ(items.item(QStringLiteral("STRAßE")), 2);
    EXPECT_EQ(items.item(QStringLiteral("äRGER")), 3);
    // The Kelvin sign folds to the ASCII letter k: one key, however it is written.
    items.add(4, QStringLiteral("k"));
    EXPECT_FALSE(items.addUnique(5, QStringLiteral("\u212A")));
    EXPECT_EQ(items.item(QStringLiteral("K")), 4);
    EXPECT_EQ(qHash(CaseBlindKey(QStringLiteral("\u212A")), 7), qHash(CaseBlindKey(QStringLiteral("K")), 7));

    try {
        items.add(6, QStringLiteral("[orders].[ORDERID]"));
        FAIL() << "a key added twice";
    } catch (const host::Error& error) {
        EXPECT_EQ(error.number(), errDuplicateKey);
    }
    EXPECT_EQ(items.count(), 4);

    items.remove(QStringLiteral("straße"));
    EXPECT_EQ(items.item(QStringLiteral("ärger")), 3);
    EXPECT_EQ(items.item(QStringLiteral("K")), 4);
    EXPECT_FALSE(items.contains(QStringLiteral("Straße")));
}
