// Files the host opens: real host files (.mdb) through an imported copy in the user's data folder, damaged
// and foreign files refused with the host left as it was, and the recent-files list.
#include "DesktopTestSupport.h"

#include "app/DatabaseWindow.h"
#include "app/ObjectWindows.h"
#include "common/QStringPrinter.h"
#include "hostapi/host.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

using app::MainWindow;

namespace {

QByteArray digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

}  // namespace

class HostFilesTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        // The user's data folder of this test.
        mDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", mFolder.filePath(QStringLiteral("data")).toUtf8());
        mSource = mFolder.filePath(QStringLiteral("nwind.mdb"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QORVEL_NWIND_MDB), mSource));
    }
    void TearDown() override {
        DesktopTest::TearDown();
        if (mDataHome.isEmpty()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", mDataHome);
        }
    }
    QStringList importedCopies() const {
        return QDir(MainWindow::importFolder()).entryList({QStringLiteral("*.qdb")}, QDir::Files);
    }
    QString messages() const { return mMessages.join(QLatin1Char('\n')); }

    QByteArray mDataHome;
    QString mSource;
};

TEST_F(HostFilesTest, HostFileOpensAsAnImportedCopyAndIsNeverWritten) {
    const QByteArray before = digest(mSource);
    const QDateTime modified = QFileInfo(mSource).lastModified();
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mSource)) << messages().toStdString();
    EXPECT_TRUE(MainWindow::importFolder().startsWith(mFolder.filePath(QStringLiteral("data"))));
    EXPECT_EQ(window.importedFrom(), QFileInfo(mSource).absoluteFilePath());
    EXPECT_TRUE(window.databasePath().startsWith(MainWindow::importFolder()));
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("nwind.mdb (imported copy)")))
        << window.windowTitle().toStdString();
    EXPECT_TRUE(
        window.databaseWindow()->names(host::ObjectType::Table).contains(QStringLiteral("Customers")));
    EXPECT_GT(window.databaseWindow()->names(host::ObjectType::Query).size(), 10);
    // Its queries run on the copy.
    window.openObject({host::ObjectType::Table, QStringLiteral("Customers")});
    ASSERT_SOON(window.objectWindow({host::ObjectType::Table, QStringLiteral("Customers")}));
    // The recent-files list names the real file, not the copy.
    EXPECT_EQ(window.recentFiles().value(0), QFileInfo(mSource).absoluteFilePath());

    // Opened again unchanged, the copy is re-used as it is.
    const QString copy = window.databasePath();
    const QDateTime copied = QFileInfo(copy).lastModified();
    window.closeDatabase();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Qorvel Host"));
    ASSERT_TRUE(window.openDatabase(mSource));
    EXPECT_EQ(window.databasePath(), copy);
    EXPECT_EQ(QFileInfo(copy).lastModified(), copied);
    EXPECT_EQ(importedCopies().size(), 1);
    EXPECT_EQ(digest(mSource), before);
    EXPECT_EQ(QFileInfo(mSource).lastModified(), modified);

    // A changed file is imported again, and the stale copy goes.
    window.closeDatabase();
    {
        QFile file(mSource);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified.addSecs(60), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(window.openDatabase(mSource)) << messages().toStdString();
    EXPECT_NE(window.databasePath(), copy);
    EXPECT_EQ(importedCopies().size(), 1);
    EXPECT_TRUE(mMessages.isEmpty()) << messages().toStdString();
}

TEST_F(HostFilesTest, DamagedAndForeignFilesAreRefusedAndTheHostStaysAsItWas) {
    MainWindow& window = openHost();
    ASSERT_TRUE(window.openDatabase(mDatabasePath));
    const QString title = window.windowTitle();

    // The first pages only: the catalogue is cut off.
    const QString truncated = mFolder.filePath(QStringLiteral("truncated.mdb"));
    {
        QFile source(mSource);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QFile target(truncated);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        target.write(source.read(4096 * 3));
    }
    EXPECT_FALSE(window.openDatabase(truncated));
    ASSERT_EQ(mMessages.size(), 1);
    EXPECT_EQ(mMessages[0], QStringLiteral("Qorvel Host can't open the database '%1': it is damaged: its "
                                           "catalogue cannot be read.")
                                .arg(QDir::toNativeSeparators(truncated)));

    // Text that only has the name of a host file.
    const QString text = mFolder.filePath(QStringLiteral("notes.accdb"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Not a database at all.\n");
    }
    EXPECT_FALSE(window.openDatabase(text));
    ASSERT_EQ(mMessages.size(), 2);
    EXPECT_TRUE(mMessages[1].contains(QStringLiteral("notes.accdb': it is not a database file")))
        << messages().toStdString();

    // Neither left a copy behind, nor changed what is open.
    EXPECT_TRUE(importedCopies().isEmpty()) << importedCopies().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(window.databasePath(), QFileInfo(mDatabasePath).absoluteFilePath());
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_FALSE(window.recentFiles().contains(QFileInfo(truncated).absoluteFilePath()));
    window.openObject({host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_SOON(window.objectWindow({host::ObjectType::Table, QStringLiteral("Orders")}));
}

TEST_F(HostFilesTest, RecentFilesListTheLastEightOpenedNewestFirst) {
    MainWindow& window = openHost();
    QStringList opened;
    for (int i = 0; i < 10; ++i) {
        const QString path = mFolder.filePath(QStringLiteral("db%1.qdb").arg(i));
        ASSERT_TRUE(QFile::copy(mDatabasePath, path));
        ASSERT_TRUE(window.openDatabase(path));
        opened.prepend(QFileInfo(path).absoluteFilePath());
    }
    EXPECT_EQ(window.recentFiles(), opened.mid(0, 8));
    // Opening one again moves it to the top, once.
    ASSERT_TRUE(window.openDatabase(opened[5]));
    EXPECT_EQ(window.recentFiles().value(0), opened[5]);
    EXPECT_EQ(window.recentFiles().count(opened[5]), 1);
    EXPECT_EQ(window.recentFiles().size(), 8);
    // The list outlives the window.
    mWindow.reset();
    MainWindow& again = openHost();
    EXPECT_EQ(again.recentFiles().value(0), opened[5]);
    // A file gone since is refused when chosen, and the host stays usable.
    ASSERT_TRUE(QFile::remove(opened[1]));
    EXPECT_FALSE(again.openDatabase(opened[1]));
    EXPECT_TRUE(mMessages.last().contains(QStringLiteral("does not exist")));
}

TEST_F(HostFilesTest, DroppedHostFileOpensItsImportedCopy) {
    MainWindow& window = openHost();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(mSource)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_SOON(window.importedFrom() == QFileInfo(mSource).absoluteFilePath());
    EXPECT_TRUE(
        window.databaseWindow()->names(host::ObjectType::Table).contains(QStringLiteral("Customers")));
    EXPECT_TRUE(mMessages.isEmpty()) << messages().toStdString();
}
