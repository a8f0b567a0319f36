// What the desktop host's tests share: a sample database in a temporary folder with its own add-in
// registry, a main window whose messages are recorded, and a watcher that records and dismisses every
// modal window (message boxes, modal dialogs) so that nothing waits for a user.
#pragma once

#include "app/MainWindow.h"
#include "common/ObjectRefPrinter.h"
#include "common/QtApplicationEnvironment.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// QTest's QTRY_ macros report to QTest's own log, which a GoogleTest program never reads, so a wait that
// timed out would pass unnoticed: waits for the event loop are written with these instead.
#define EXPECT_SOON_WITHIN(condition, milliseconds)                             \
    EXPECT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, milliseconds)) \
        << "never became true: " #condition
#define ASSERT_SOON_WITHIN(condition, milliseconds)                             \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, milliseconds)) \
        << "never became true: " #condition
#define EXPECT_SOON(condition) EXPECT_SOON_WITHIN(condition, 5000)
#define ASSERT_SOON(condition) ASSERT_SOON_WITHIN(condition, 5000)
#define EXPECT_SOON_EQ(actual, expected)                                     \
    do {                                                                     \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000); \
        EXPECT_EQ(actual, expected);                                         \
    } while (false)

class ModalWatcher : public QObject {
public:
    ModalWatcher() {
        connect(&mTimer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                return;
            }
            const auto* box = qobject_cast<QMessageBox*>(modal);
            seen << (box ? box->text() : modal->objectName());
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        });
        mTimer.start(10);
    }
    QStringList seen;

private:
    QTimer mTimer;
};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mFolder.isValid());
        qputenv("QORVEL_REGISTRY", mFolder.filePath(QStringLiteral("registry.ini")).toUtf8());
        mDatabasePath = mFolder.filePath(QStringLiteral("sample.qdb"));
        QFile json(QStringLiteral(QORVEL_SOURCE_DIR "/samples/sample.json"));
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        auto database = qdb::QdbDatabase::create(mDatabasePath);
        qdb::JsonDatabase::build(*database, qdb::JsonDatabase::parse(json.readAll()));
    }

    void TearDown() override {
        mWindow.reset();
        // Windows the add-in left open belong to the test that opened them.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            widget->close();
        }
        QApplication::processEvents();
    }

    app::MainWindow& openHost(const QString& version = QStringLiteral("12.0"), bool loadAddins = false) {
        app::HostOptions options;
        options.versionText = version;
        options.loadAddins = loadAddins;
        mWindow = std::make_unique<app::MainWindow>(options);
        mWindow->setMessageSink([this](const QString& text) { mMessages << text; });
        mWindow->show();
        return *mWindow;
    }

    // A visible top-level window of the add-in with that form name, or nullptr.
    static QWidget* addinWindow(const QString& formName) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() == formName) {
                return widget;
            }
        }
        return nullptr;
    }

    static void closeAddinWindows() {
        for (const char* name : {"frmQorvel", "frmEditor", "frmFindReplaceDlg"}) {
            while (QWidget* window = addinWindow(QString::fromLatin1(name))) {
                window->close();
                QApplication::processEvents();
            }
        }
    }

    QTemporaryDir mFolder;
    QString mDatabasePath;
    QStringList mMessages;
    std::unique_ptr<app::MainWindow> mWindow;
};
