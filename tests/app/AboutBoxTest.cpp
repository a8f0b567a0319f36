// The About box of the add-in in the desktop host: its caption, title line with the build's version, the
// link to the web site (and the message when no browser takes it), F1 and Help to its page, and the Help
// command to the contents page of the help installed beside the add-in.
#include "DesktopTestSupport.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kProgId = QStringLiteral("plavo.AccessConnect");

// Stands in for the desktop's browser and viewers: records what the shell was asked to open.
class Browser : public QObject {
    Q_OBJECT
public:
    Browser() {
        for (const char* scheme : {"file", "https"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        }
    }
    ~Browser() override {
        for (const char* scheme : {"file", "https"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    Q_INVOKABLE void open(const QUrl& url) {
        opened << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    }
    QStringList opened;
};

class AboutBoxTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        app::MainWindow& window = openHost();
        ASSERT_TRUE(window.connectAddin(kProgId, QStringLiteral(QORVEL_PLAVO)));
        ASSERT_TRUE(window.openDatabase(mDatabasePath));
    }
    static QString helpFolder() {
        return QFileInfo(QStringLiteral(QORVEL_PLAVO)).absolutePath() + QStringLiteral("/plavo-help");
    }
};

}  // namespace

TEST_F(AboutBoxTest, TitleVersionLinkAndHelp) {
    Browser browser;
    QString caption, title, link, failedLinkMessage;
    QStringList openedFromBox;
    bool inspected = false;
    // The box is modal: it is looked at from inside its own event loop, then closed.
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box->objectName() != QLatin1String("frmAbout")) {
            if (box) {
                box->close();
            }
            return;
        }
        inspected = true;
        caption = box->windowTitle();
        title = box->findChild<QLabel*>(QStringLiteral("lblTitle"))->text();
        auto* linkLabel = box->findChild<QLabel*>(QStringLiteral("lblLink"));
        link = linkLabel->text();
        emit linkLabel->linkActivated(QString());
        box->findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click();
        QApplication::setActiveWindow(box);
        QTest::keyClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::Key_F1);
        openedFromBox = browser.opened;

        // No browser takes the link: the box says where to go.
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "noSuchMethod");
        QTimer::singleShot(0, [&] {
            if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                failedLinkMessage = message->text();
                message->close();
            }
        });
        emit linkLabel->linkActivated(QString());
        box->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    ASSERT_TRUE(mWindow->clickControl(QStringLiteral("About")));
    ASSERT_TRUE(inspected);
    EXPECT_EQ(caption, QStringLiteral("About VEXOR Qorvel Editor"));
    EXPECT_EQ(title, QStringLiteral("VEXOR Qorvel Editor v." QORVEL_VERSION));
    EXPECT_TRUE(link.contains(QStringLiteral("https://www.example.com/qorvel"))) << link.toStdString();
    EXPECT_EQ(openedFromBox, (QStringList{QStringLiteral("https://www.example.com/qorvel"),
                                          helpFolder() + QStringLiteral("/about.html"),
                                          helpFolder() + QStringLiteral("/about.html")}));
    EXPECT_EQ(failedLinkMessage,
              QStringLiteral("Please open your browser to :https://www.example.com/qorvel"));
    EXPECT_FALSE(QApplication::activeModalWidget());
}

TEST_F(AboutBoxTest, HelpOpensTheContentsPageInstalledBesideTheAddin) {
    Browser browser;
    ASSERT_TRUE(mWindow->clickControl(QStringLiteral("Help")));
    EXPECT_EQ(browser.opened, QStringList{helpFolder() + QStringLiteral("/index.html")});
    EXPECT_TRUE(QFile::exists(browser.opened.value(0)));
}

#include "AboutBoxTest.moc"
