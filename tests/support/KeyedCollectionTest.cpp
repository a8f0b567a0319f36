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

TEST(KeyedCollection, ThousandsOfKeysStayFoundAsTheIndexGrows) {
    KeyedCollection<int> items;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(items.addUnique(i, QStringLiteral("[Source %1].[Column %2]").arg(i % 50).arg(i)));
    }
    for (int i = 0; i < 5000; i += 7) {
        EXPECT_EQ(items.item(QStringLiteral("[SOURCE %1].[column %2]").arg(i % 50).arg(i)), i);
        EXPECT_FALSE(items.addUnique(-1, QStringLiteral("[source %1].[COLUMN %2]").arg(i % 50).arg(i)));
    }
    EXPECT_FALSE(items.contains(QStringLiteral("[Source 1].[Column 5000]")));
    EXPECT_EQ(items.count(), 5000);
}
