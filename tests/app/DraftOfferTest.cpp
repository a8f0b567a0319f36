// The offer of a database's drafts in the desktop host: the question with the draft's text, the difference
// from the saved query, and Restore opening the query's editor with the draft's text, marked changed. The
// editor then keeps writing the same draft, and a save removes it.
#include "DesktopTestSupport.h"

#include "editor/DraftStore.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QToolBar>

namespace {

class DraftOfferTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        // The drafts folder is the test's data folder, emptied for each test.
        QStandardPaths::setTestModeEnabled(true);
        QDir(DraftStore::DefaultFolder()).removeRecursively();
    }
    void TearDown() override {
        DesktopTest::TearDown();
        QDir(DraftStore::DefaultFolder()).removeRecursively();
    }

    // Answers the modal windows as they come, one step per window.
    void answer(std::vector<std::function<void(QWidget&)>> steps) {
        mSteps = std::move(steps);
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || mSteps.empty() || modal == mLastModal) {
                return;
            }
            mLastModal = modal;
            auto step = std::move(mSteps.front());
            mSteps.erase(mSteps.begin());
            step(*modal);
        });
        mTimer.start(20);
    }

    static void click(QWidget& window, const char* button) {
        auto* push = window.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_TRUE(push) << button;
        push->click();
    }

    QTimer mTimer;
    std::vector<std::function<void(QWidget&)>> mSteps;
    QPointer<QWidget> mLastModal;
};

}  // namespace

TEST_F(DraftOfferTest, RestoreOpensTheEditorWithTheDraftMarkedChangedAndSavingRemovesIt) {
    DraftStore store;
    const QString text = QStringLiteral("SELECT Customers.CompanyName\r\nFROM Customers\r\nWHERE 1 = 1;");
    Draft draft{DraftStore::NewId(), mDatabasePath, QStringLiteral("Customer List"), text,
                QDateTime::currentDateTimeUtc()};
    ASSERT_TRUE(store.write(draft));

    QString shown;
    QString difference;
    answer({[&](QWidget& offer) {
                EXPECT_EQ(offer.objectName(), QStringLiteral("frmDraftOffer"));
                shown = offer.findChild<QPlainTextEdit*>(QStringLiteral("txtDraft"))->toPlainText();
                EXPECT_TRUE(offer.findChild<QLabel*>(QStringLiteral("lblQuestion"))
                                ->text()
                                .contains(QStringLiteral("\"Customer List\"")));
                click(offer, "cmdDifference");
            },
            [&](QWidget& window) {
                difference =
                    window.findChild<QPlainTextEdit*>(QStringLiteral("txtDifference"))->toPlainText();
                window.close();
            },
            [&](QWidget& offer) { click(offer, "cmdRestore"); }});
    app::MainWindow& host = openHost();
    ASSERT_TRUE(host.connectAddin(QStringLiteral("plavo.AccessConnect"), QStringLiteral(QORVEL_PLAVO)));
    ASSERT_TRUE(host.openDatabase(mDatabasePath));

    QWidget* editor = nullptr;
    ASSERT_SOON_WITHIN((editor = addinWindow(QStringLiteral("frmEditor"))), 30000);  // slow on a busy machine
    EXPECT_EQ(shown, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(difference.contains(QStringLiteral("+ WHERE 1 = 1;"))) << difference.toStdString();
    auto* box = editor->findChild<QTextEdit*>();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->toPlainText(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QAction* save = editor->findChild<QToolBar*>(QStringLiteral("tbButtons"))
                        ->findChild<QAction*>(QStringLiteral("Save"));
    ASSERT_TRUE(save);
    EXPECT_TRUE(save->isEnabled());  // marked changed
    // Nothing was written to the database by the restore itself.
    EXPECT_FALSE(mWindow->application()
                     .currentDb()
                     ->queryDef(QStringLiteral("Customer List"))
                     ->sql()
                     .contains(QStringLiteral("1 = 1")));

    // The editor writes the same draft, never a second one; saving removes it.
    QTest::keyClicks(box, QStringLiteral(" "));
    EXPECT_SOON_WITHIN(store.read(draft.id) && store.read(draft.id)->text.size() == text.size() + 1, 6000)
        << (store.read(draft.id) ? store.read(draft.id)->text.toStdString() : std::string("none"))
        << store.draftsFor(mDatabasePath).size();
    EXPECT_EQ(store.draftsFor(mDatabasePath).size(), 1);
    save->trigger();
    EXPECT_SOON(store.draftsFor(mDatabasePath).isEmpty());
}

TEST_F(DraftOfferTest, DiscardRemovesTheDraftAndLaterKeepsIt) {
    DraftStore store;
    Draft first{DraftStore::NewId(), mDatabasePath, QString(), QStringLiteral("SELECT 1;"),
                QDateTime::currentDateTimeUtc().addSecs(-60)};
    Draft second{DraftStore::NewId(), mDatabasePath, QString(), QStringLiteral("SELECT 2;"),
                 QDateTime::currentDateTimeUtc()};
    ASSERT_TRUE(store.write(first) && store.write(second));
    answer({[&](QWidget& offer) { click(offer, "cmdDiscard"); },
            [&](QWidget& offer) { click(offer, "cmdLater"); }});
    app::MainWindow& host = openHost();
    ASSERT_TRUE(host.connectAddin(QStringLiteral("plavo.AccessConnect"), QStringLiteral(QORVEL_PLAVO)));
    ASSERT_TRUE(host.openDatabase(mDatabasePath));
    EXPECT_SOON(mSteps.empty());
    QApplication::processEvents();
    EXPECT_FALSE(store.read(first.id));  // oldest first
    EXPECT_TRUE(store.read(second.id));
    EXPECT_FALSE(addinWindow(QStringLiteral("frmEditor")));
}
