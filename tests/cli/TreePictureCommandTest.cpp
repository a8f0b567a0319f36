// `qorvel uses|usedby DB OBJECT --png FILE`: the tree's picture instead of its text, one row per node however
// tall (far taller than a screen), named after the object in a folder without the characters a file name
// cannot hold, and nothing written when the file cannot be.
#include "CliTestFiles.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kQueries = 250;
constexpr int kMargin = 4;

class TreePictureCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mFolder.isValid());
        // One table read by many queries: its Used By tree has a row for each of them.
        QStringList queries;
        for (int i = 0; i < kQueries; ++i) {
            queries
                << QStringLiteral(R"({"name": "Reader %1", "sql": "SELECT Orders.* FROM Orders;"})").arg(i);
        }
        queries << QStringLiteral(
            R"({"name": "Who/Buys? <All> \"Best\" | A:B*", "sql": "SELECT Orders.* FROM Orders;"})");
        const QString json =
            QStringLiteral(R"({"tables": [{"name": "Orders", "fields": [{"name": "OrderID", )"
                           R"("type": "Long"}]}], "queries": [%1]})")
                .arg(queries.join(QStringLiteral(",\n")));
        const QString source = mFolder.filePath(QStringLiteral("db.json"));
        writeFile(source, json.toUtf8());
        mDatabase = mFolder.filePath(QStringLiteral("db.qdb"));
        const QorvelRun created =
            runQorvel({QStringLiteral("create"), mDatabase, QStringLiteral("--from"), source});
        ASSERT_EQ(created.exitCode, 0) << created.errText().toStdString();
    }

    QTemporaryDir mFolder;
    QString mDatabase;
};

}  // namespace

TEST_F(TreePictureCommandTest, ThePictureHasOneRowPerNodeOfATreeTallerThanAnyScreen) {
    const QString file = mFolder.filePath(QStringLiteral("orders.png"));
    const QorvelRun run = runQorvel(
        {QStringLiteral("usedby"), mDatabase, QStringLiteral("Orders"), QStringLiteral("--png"), file});
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    EXPECT_TRUE(run.out.isEmpty());  // the picture instead of the text
    EXPECT_TRUE(run.err.isEmpty()) << run.errText().toStdString();
    const QImage picture(file);
    ASSERT_FALSE(picture.isNull());
    const int nodes = kQueries + 2;  // the table, its readers and the one with the awkward name
    const int rows = picture.height() - 2 * kMargin;
    EXPECT_EQ(rows % nodes, 0) << picture.height();
    EXPECT_GE(rows / nodes, 16);
    EXPECT_GT(picture.height(), 4320);  // taller than an 8K screen

    // The Uses tree of one reader: two rows, and the text is unchanged without --png.
    const QString small = mFolder.filePath(QStringLiteral("reader.png"));
    ASSERT_EQ(runQorvel({QStringLiteral("uses"), mDatabase, QStringLiteral("Reader 7"),
                         QStringLiteral("--png"), small})
                  .exitCode,
              0);
    EXPECT_EQ(QImage(small).height() - 2 * kMargin, 2 * (rows / nodes));
    EXPECT_EQ(runQorvel({QStringLiteral("uses"), mDatabase, QStringLiteral("Reader 7")}).outText(),
              QStringLiteral("Reader 7\n    Orders\n"));
}

TEST_F(TreePictureCommandTest, AFolderGetsThePictureNamedAfterTheObjectAndAnUnwritableFileNothing) {
    const QString folder = mFolder.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QorvelRun run =
        runQorvel({QStringLiteral("uses"), mDatabase, QStringLiteral("Who/Buys? <All> \"Best\" | A:B*"),
                   QStringLiteral("--png"), folder});
    ASSERT_EQ(run.exitCode, 0) << run.errText().toStdString();
    EXPECT_EQ(folderEntries(QDir(folder)), QStringList{QStringLiteral("Who_Buys_ _All_ _Best_ _ A_B_.png")});

    // A folder that is not there, and a name longer than a file system takes: exit 2, one line, no file.
    for (const QString& file : {mFolder.filePath(QStringLiteral("missing/orders.png")),
                                mFolder.filePath(QString(300, QLatin1Char('x')) + QStringLiteral(".png"))}) {
        run = runQorvel(
            {QStringLiteral("usedby"), mDatabase, QStringLiteral("Orders"), QStringLiteral("--png"), file});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.oneErrorLine()) << run.errText().toStdString();
        EXPECT_TRUE(run.errText().startsWith(QStringLiteral("qorvel: cannot write")))
            << run.errText().toStdString();
    }
    EXPECT_TRUE(
        QDir(mFolder.path()).entryList({QStringLiteral("*.png*"), QStringLiteral("missing")}).isEmpty());

    run = runQorvel(
        {QStringLiteral("usedby"), mDatabase, QStringLiteral("Orders"), QStringLiteral("--png"), QString()});
    EXPECT_EQ(run.exitCode, 2);
}
