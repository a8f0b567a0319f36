// qorvel-host as a process under Xvfb: the add-in registered the README's way, an object selected, a
// control clicked, and the screenshots written and not blank, for both host generations.
#include "common/HostProcess.h"

#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Blank pictures have one or two colours; a window with its controls has many.
int colours(const QString& path) {
    const QImage image(path);
    if (image.isNull()) {
        return 0;
    }
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            seen.insert(image.pixel(x, y));
        }
    }
    return int(seen.size());
}

}  // namespace

TEST(ScreenshotProcess, BothHostGenerationsUnderXvfb) {
    if (!haveXvfb()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const HostSandbox host(folder.path());
    const HostRun registered = host.registerAddin();
    ASSERT_EQ(registered.exitCode, 0) << registered.all().toStdString();

    const QString database = QStringLiteral(QORVEL_BINARY_DIR "/samples/sample.qdb");
    const QString ribbon = folder.filePath(QStringLiteral("ribbon.png"));
    HostRun run =
        host.run({database, QStringLiteral("--select"), QStringLiteral("query:Order Totals"),
                  QStringLiteral("--click"), QStringLiteral("Uses"), QStringLiteral("--screenshot"), ribbon});
    ASSERT_EQ(run.exitCode, 0) << run.all().toStdString();
    EXPECT_GT(colours(ribbon), 20);
    // The tree window the click opened.
    EXPECT_GT(colours(folder.filePath(QStringLiteral("ribbon-1.png"))), 3);

    const QString toolbar = folder.filePath(QStringLiteral("toolbar.png"));
    run = host.run({database, QStringLiteral("--host-version"), QStringLiteral("9.0"),
                    QStringLiteral("--select"), QStringLiteral("table:Orders"), QStringLiteral("--click"),
                    QStringLiteral("Add/Remove Toolbar"), QStringLiteral("--screenshot"), toolbar});
    ASSERT_EQ(run.exitCode, 0) << run.all().toStdString();
    EXPECT_GT(colours(toolbar), 20);

    // A message box the click shows is captured, then dismissed.
    const QString message = folder.filePath(QStringLiteral("message.png"));
    run = host.run({database, QStringLiteral("--select"), QStringLiteral("table:Orders"),
                    QStringLiteral("--click"), QStringLiteral("QueryEditor"), QStringLiteral("--screenshot"),
                    message});
    ASSERT_EQ(run.exitCode, 0) << run.all().toStdString();
    EXPECT_GT(colours(folder.filePath(QStringLiteral("message-1.png"))), 3);
}
