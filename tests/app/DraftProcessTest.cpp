// qorvel-host killed with unsaved editor text: the draft written before the kill survives it and is offered
// when the program starts again on the database. Runs the program under Xvfb with a data folder of its own.
#include "common/HostProcess.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kTyped = QStringLiteral(" AND 1 = 1");

class DraftProcess : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveXvfb()) {
            GTEST_SKIP() << "xvfb-run is not installed";
        }
        ASSERT_TRUE(mFolder.isValid());
        mDatabase = mFolder.filePath(QStringLiteral("sample.qdb"));
        QFile json(QStringLiteral(QORVEL_SOURCE_DIR "/samples/sample.json"));
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        qdb::JsonDatabase::build(*qdb::QdbDatabase::create(mDatabase),
                                 qdb::JsonDatabase::parse(json.readAll()));
        const HostRun registered = mHost.registerAddin();
        ASSERT_EQ(registered.exitCode, 0) << registered.all().toStdString();
    }

    void start(QProcess& process, const QStringList& arguments, bool underXvfb) {
        mHost.start(process, arguments, underXvfb);
    }

    QString draftFolder() const { return mFolder.filePath(QStringLiteral("data/Qorvel/qorvel-host/Drafts")); }

    // The texts of the drafts on disk.
    QStringList draftTexts() const {
        QStringList texts;
        const QDir folder(draftFolder());
        for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly)) {
                texts << QJsonDocument::fromJson(file.readAll())
                             .object()
                             .value(QStringLiteral("text"))
                             .toString();
            }
        }
        return texts;
    }

    // The qorvel-host process that xvfb-run started: a child of the process given.
    static qint64 hostProcess(qint64 parent) {
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const qint64 pid = entry.toLongLong(&number);
            if (!number) {
                continue;
            }
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly)) {
                continue;
            }
            // pid (comm) state ppid ...
            const QString line = QString::fromUtf8(stat.readAll());
            const QStringList fields =
                line.mid(line.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
            if (fields.size() > 1 && fields[1].toLongLong() == parent &&
                line.contains(QLatin1String("(qorvel-host)"))) {
                return pid;
            }
        }
        return 0;
    }

    QTemporaryDir mFolder;
    QString mDatabase;
    HostSandbox mHost{mFolder.path()};
};

}  // namespace

TEST_F(DraftProcess, TextTypedBeforeAKillIsOfferedAtTheNextStart) {
    QProcess editing;
    start(editing,
          {mDatabase, QStringLiteral("--select"), QStringLiteral("query:Order Totals"),
           QStringLiteral("--click"), QStringLiteral("QueryEditor"), QStringLiteral("--type"), kTyped},
          true);
    ASSERT_TRUE(editing.waitForStarted(30000));

    // The draft is due two seconds after the typing; wait for it on disk.
    QElapsedTimer waited;
    waited.start();
    const auto typedDraft = [this] {
        const QStringList texts = draftTexts();
        return texts.size() == 1 && texts[0].contains(kTyped);
    };
    while (!typedDraft() && waited.elapsed() < 60000 && editing.state() == QProcess::Running) {
        QThread::msleep(100);
    }
    ASSERT_TRUE(typedDraft()) << "no draft with the typed text: " << draftTexts().join('|').toStdString()
                              << editing.readAll().toStdString();

    const qint64 host = hostProcess(editing.processId());
    ASSERT_GT(host, 0);
    ASSERT_EQ(::kill(pid_t(host), SIGKILL), 0);
    ASSERT_TRUE(editing.waitForFinished(30000));
    const QStringList kept = draftTexts();
    ASSERT_EQ(kept.size(), 1);
    const QString saved = qdb::QdbDatabase::open(mDatabase)->queryDef(QStringLiteral("Order Totals"))->sql();
    EXPECT_EQ(QString(kept[0]).remove(kTyped), saved);  // the saved text with what was typed

    // The next start offers it (a window of its own, captured and answered Later by the script), and the
    // saved query is as it was.
    const QString picture = mFolder.filePath(QStringLiteral("again.png"));
    QProcess again;
    start(again, {mDatabase, QStringLiteral("--screenshot"), picture}, true);
    ASSERT_TRUE(again.waitForFinished(120000));
    ASSERT_EQ(again.exitCode(), 0) << again.readAll().toStdString();
    EXPECT_FALSE(QImage(mFolder.filePath(QStringLiteral("again-1.png"))).isNull()) << "no offer was shown";
    EXPECT_EQ(draftTexts(), kept);
    EXPECT_EQ(qdb::QdbDatabase::open(mDatabase)->queryDef(QStringLiteral("Order Totals"))->sql(), saved);
}
