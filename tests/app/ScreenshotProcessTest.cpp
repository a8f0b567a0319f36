// qorvel-host as a process under Xvfb: the add-in registered the README's way, an object selected, a
// control clicked, and the screenshots written and not blank, for both host generations.
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct HostRun {
    int exitCode = -1;
    QString output;
};

HostRun runHost(const QStringList& arguments, const QString& registry, bool underXvfb) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QORVEL_REGISTRY"), registry);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = arguments;
    command.prepend(QStringLiteral(QORVEL_HOST));
    if (underXvfb) {
        command.prepend(QStringLiteral("-a"));
        process.start(QStringLiteral("xvfb-run"), command);
    } else {
        process.start(command.takeFirst(), command);
    }
    HostRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

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
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString registry = folder.filePath(QStringLiteral("registry.ini"));
    const HostRun registered =
        runHost({QStringLiteral("--register"), QStringLiteral(QORVEL_PLAVO)}, registry, false);
    ASSERT_EQ(registered.exitCode, 0) << registered.output.toStdString();

    const QString database = QStringLiteral(QORVEL_BINARY_DIR "/samples/sample.qdb");
    const QString ribbon = folder.filePath(QStringLiteral("ribbon.png"));
    HostRun run =
        runHost({database, QStringLiteral("--select"), QStringLiteral("query:Order Totals"),
                 QStringLiteral("--click"), QStringLiteral("Uses"), QStringLiteral("--screenshot"), ribbon},
                registry, true);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_GT(colours(ribbon), 20);
    // The tree window the click opened.
    EXPECT_GT(colours(folder.filePath(QStringLiteral("ribbon-1.png"))), 3);

    const QString toolbar = folder.filePath(QStringLiteral("toolbar.png"));
    run = runHost({database, QStringLiteral("--host-version"), QStringLiteral("9.0"),
                   QStringLiteral("--select"), QStringLiteral("table:Orders"), QStringLiteral("--click"),
                   QStringLiteral("Add/Remove Toolbar"), QStringLiteral("--screenshot"), toolbar},
                  registry, true);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_GT(colours(toolbar), 20);

    // A message box the click shows is captured, then dismissed.
    const QString message = folder.filePath(QStringLiteral("message.png"));
    run = runHost(
        {database, QStringLiteral("--select"), QStringLiteral("table:Orders"), QStringLiteral("--click"),
         QStringLiteral("QueryEditor"), QStringLiteral("--screenshot"), message},
        registry, true);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_GT(colours(folder.filePath(QStringLiteral("message-1.png"))), 3);
}
