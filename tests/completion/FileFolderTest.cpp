// The file and folder helpers on a real temporary folder.
#include "common/RecordingPrompter.h"
#include "completion/clsFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList names(const clsFolder& folder) {
    QStringList list;
    for (const auto& entry : folder.Files()) {
        list << entry.item.NameWithExtension();
    }
    return list;
}

}  // namespace

TEST(FileHelpers, NameParts) {
    const clsFile file({}, QStringLiteral("/data/templates/report.final.sql"));
    EXPECT_EQ(file.Path(), QStringLiteral("/data/templates"));
    EXPECT_EQ(file.NameWithExtension(), QStringLiteral("report.final.sql"));
    EXPECT_EQ(file.Name(), QStringLiteral("report.final"));
    EXPECT_EQ(file.Extension(), QStringLiteral("sql"));
    const clsFile bare({}, QStringLiteral("/data/README"));
    EXPECT_EQ(bare.Name(), QStringLiteral("README"));
    EXPECT_EQ(bare.Extension(), QString());
}

TEST(FileHelpers, ContentsAlwaysEndInALineEnd) {
    QTemporaryDir dir;
    RecordingPrompter prompter;
    platform::Services services;
    services.prompter = &prompter;
    clsFile file(services, dir.filePath(QStringLiteral("Jahresübersicht.sql")));
    EXPECT_EQ(file.Contents(), QString());  // missing
    write(file.FullName, "SELECT *\nFROM T\r\nWHERE x\rAND y");
    EXPECT_EQ(file.Contents(), QStringLiteral("SELECT *\r\nFROM T\r\nWHERE x\r\nAND y\r\n"));
    write(file.FullName, "");
    EXPECT_EQ(file.Contents(), QString());
    write(file.FullName,
          "Stra\xdf"
          "e");  // not UTF-8: one character per byte
    EXPECT_EQ(file.Contents(), QStringLiteral("Straße\r\n"));

    file.setContents(QStringLiteral("Größe\r\nx"));  // written as given, no line end added
    QFile written(file.FullName);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("Gr\xc3\xb6\xc3\x9f"
                                            "e\r\nx"));
    EXPECT_EQ(file.Error(), 0);

    clsFile nowhere(services, dir.filePath(QStringLiteral("missing/folder/x.sql")));
    nowhere.setContents(QStringLiteral("x"));
    EXPECT_NE(nowhere.Error(), 0);
    EXPECT_EQ(prompter.messages.size(), 1);
    nowhere.setSilent(true);
    nowhere.setContents(QStringLiteral("x"));
    EXPECT_EQ(prompter.messages.size(), 1);
}

TEST(FolderHelpers, FilesSortedByNameAcrossPatterns) {
    QTemporaryDir dir;
    for (const char* name : {"b.sql", "A.sql", "a.txt", "c.log", ".hidden.sql"}) {
        write(dir.filePath(QString::fromLatin1(name)), "x");
    }
    QDir(dir.path()).mkpath(QStringLiteral("sub/deeper"));
    write(dir.filePath(QStringLiteral("sub/deeper/z.sql")), "x");

    clsFolder folder;
    ASSERT_TRUE(folder.InitFolder(dir.path() + QLatin1Char('/'), QStringLiteral("*.sql; *.txt")));
    EXPECT_EQ(folder.FullPath(), dir.path());
    EXPECT_EQ(names(folder), (QStringList{"A.sql", "a.txt", "b.sql"}));

    clsFolder all;
    ASSERT_TRUE(all.InitFolder(dir.path(), QStringLiteral("*.*;*.sql")));
    EXPECT_EQ(names(all), (QStringList{"A.sql", "a.txt", "b.sql", "c.log"}));
    ASSERT_EQ(all.Folders().count(), 1);
    const auto& sub = *all.Folders().at(0);
    EXPECT_EQ(sub.Name(), QStringLiteral("sub"));
    ASSERT_EQ(sub.Folders().count(), 1);
    EXPECT_EQ(names(*sub.Folders().at(0)), QStringList{"z.sql"});

    clsFolder missing;
    EXPECT_FALSE(missing.InitFolder(dir.filePath(QStringLiteral("nope")), QString()));
    EXPECT_FALSE(missing.InitFolder(dir.filePath(QStringLiteral("b.sql")), QString()));
}
