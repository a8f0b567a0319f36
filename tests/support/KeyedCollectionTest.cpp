// Keys of the add-in's collections compare without regard to case, also beyond ASCII, and the index stays
// right when entries are removed or room is made ahead.
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

// Room made ahead, after some texts are in, keeps those found and takes the rest without losing any.
TEST(TextIndex, ReserveKeepsWhatIsIndexed) {
    QStringList texts;
    TextIndex index;
    const auto textAt = [&texts](int i) -> const QString& { return texts.at(i); };
    const auto add = [&](const QString& text) {
        index.insert(keyed_detail::foldedHash(text), int(texts.size()));
        texts << text;
    };
    for (int i = 0; i < 20; ++i) {
        add(QStringLiteral("Field %1").arg(i));
    }
    index.reserve(3000);
    for (int i = 20; i < 3000; ++i) {
        add(QStringLiteral("Field %1").arg(i));
    }
    index.reserve(10);  // less than is there: nothing changes
    for (int i = 0; i < 3000; i += 13) {
        const QString key = QStringLiteral("FIELD %1").arg(i);
        EXPECT_EQ(index.find(key, keyed_detail::foldedHash(key), textAt), i);
    }
    const QString missing = QStringLiteral("Field 3000");
    EXPECT_EQ(index.find(missing, keyed_detail::foldedHash(missing), textAt), -1);
}
