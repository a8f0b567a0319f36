// The tree window's Qt view on its own, over a sample database in this process: the user's clipboard
// (text, rich text, a picture, nothing) kept through both exports, the exported text and picture, the
// field find's bold marks (and its picture for the README), the window's icon by tree kind.
#include "catalogue/AddinContext.h"
#include "common/QStringPrinter.h"
#include "host/HostApplication.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryHelpViewer.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemoryShell.h"
#include "platform/QtClipboard.h"
#include "plavo/TreeWindow.h"
#include "trees/frmQorvel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

void ensureApplication() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_plavo";
        static char* argv[] = {name, nullptr};
        // Left to the end of the process: destroyed among the other statics it would outlive them.
        new QApplication(argc, argv);
    }
}

class TreeWindowView : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(mFolder.isValid());
        QFile json(QStringLiteral(QORVEL_SOURCE_DIR "/samples/sample.json"));
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        mDatabase = qdb::QdbDatabase::create(mFolder.filePath(QStringLiteral("sample.qdb")));
        qdb::JsonDatabase::build(*mDatabase, qdb::JsonDatabase::parse(json.readAll()));
        mApplication = qdb::HostApplication::create();
        mApplication->setDatabase(mDatabase);
        platform::Services services;
        services.prompter = &mPrompter;
        services.shell = &mShell;
        services.clipboard = &mClipboard;
        services.help = &mHelp;
        mContext = std::make_shared<AddinContext>(mApplication.get(), services);
    }
    void TearDown() override {
        mWindows.clear();
        QGuiApplication::clipboard()->clear();
    }

    TreeWindow& open(int mode, host::ObjectType type, const QString& name, const QString& find = QString()) {
        mApplication->setCurrentObject(host::ObjectRef{type, name});
        auto window = std::make_unique<TreeWindow>(*mContext, nullptr);
        window->logic().FilterField = find;
        EXPECT_TRUE(window->Initialize(mode));
        window->show();
        mWindows.push_back(std::move(window));
        return *mWindows.back();
    }

    static void trigger(TreeWindow& window, const char* key) {
        window.toolbar()->findChild<QAction*>(QString::fromLatin1(key))->trigger();
    }

    QTemporaryDir mFolder;
    std::shared_ptr<qdb::QdbDatabase> mDatabase;
    std::unique_ptr<qdb::HostApplication> mApplication;
    platform::InMemoryPrompter mPrompter;
    platform::InMemoryShell mShell;
    platform::QtClipboard mClipboard;
    platform::InMemoryHelpViewer mHelp;
    std::shared_ptr<AddinContext> mContext;
    std::vector<std::unique_ptr<TreeWindow>> mWindows;
};

QImage picture() {
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(QColor(0x3a, 0x6e, 0xc2));
    image.setPixel(1, 2, qRgb(250, 10, 10));
    return image;
}

// What the user has on the clipboard, compared the way a paste would see it.
struct Content {
    const char* what;
    std::function<QMimeData*()> make;
};

QString describe(const QMimeData* data) {
    if (!data) {
        return QString();  // an empty clipboard, as one without formats
    }
    QStringList parts;
    if (data->hasHtml()) {
        parts << QStringLiteral("html:") + data->html();
    }
    if (data->hasText()) {
        parts << QStringLiteral("text:") + data->text();
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
        parts << QStringLiteral("image:%1x%2:%3")
                     .arg(image.width())
                     .arg(image.height())
                     .arg(image == picture() ? QStringLiteral("same") : QStringLiteral("other"));
    }
    return parts.join(QLatin1Char('|'));
}

}  // namespace

TEST_F(TreeWindowView, BothExportsLeaveTheUsersClipboardAsItWas) {
    TreeWindow& window = open(frmQorvel::ModeUsedBy, host::ObjectType::Table, QStringLiteral("Customers"));
    const Content contents[] = {
        {"text",
         [] {
             auto* data = new QMimeData;
             data->setText(QStringLiteral("SELECT * FROM Orders;"));
             return data;
         }},
        {"rich text",
         [] {
             auto* data = new QMimeData;
             data->setHtml(QStringLiteral("<b>Orders</b> of the <i>year</i>"));
             data->setText(QStringLiteral("Orders of the year"));
             return data;
         }},
        {"picture",
         [] {
             auto* data = new QMimeData;
             data->setImageData(picture());
             return data;
         }},
        {"nothing", [] { return new QMimeData; }},
    };
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    for (const Content& content : contents) {
        SCOPED_TRACE(content.what);
        QGuiApplication::clipboard()->setMimeData(content.make());
        const QString before = describe(QGuiApplication::clipboard()->mimeData());

        trigger(window, "Text");
        EXPECT_EQ(describe(QGuiApplication::clipboard()->mimeData()), before);
        QFile text(folder + QStringLiteral("/Customers.txt"));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(text.readAll())
                        .startsWith(QStringLiteral(
                            "VEXOR Query/Table Used By\n\nCustomers\n    Active Customers\n")));

        trigger(window, "Bitmap");
        EXPECT_EQ(describe(QGuiApplication::clipboard()->mimeData()), before);
        EXPECT_FALSE(QImage(folder + QStringLiteral("/Customers.png")).isNull());
    }
    // Each export handed its file to the desktop: the text editor, then the image viewer.
    ASSERT_EQ(mShell.opened().size(), 8);
    EXPECT_TRUE(mShell.opened().at(0).endsWith(QStringLiteral("/Customers.txt")));
    EXPECT_TRUE(mShell.opened().at(1).endsWith(QStringLiteral("/Customers.png")));
    EXPECT_TRUE(mPrompter.messages().empty());
}

TEST_F(TreeWindowView, FieldFindMarksTheQueriesThatHoldTheFieldInBold) {
    TreeWindow& window = open(frmQorvel::ModeUsedByFind, host::ObjectType::Table, QStringLiteral("Customers"),
                              QStringLiteral("City"));
    QTreeWidget* tree = window.tree();
    tree->expandAll();
    QStringList bold;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->font(0).bold()) {
            bold << (*it)->text(0);
        }
    }
    EXPECT_EQ(bold, (QStringList{"Active Customers", "Customers Starting with A", "Top Customer Mailing",
                                 "Invoice", "Top Customer Mailing", "Invoice"}));
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("City"))) << window.windowTitle().toStdString();

    // The picture of this window for the README, when asked for.
    const QString screenshots = qEnvironmentVariable("QORVEL_SCREENSHOTS");
    if (!screenshots.isEmpty()) {
        window.resize(380, 520);
        tree->setCurrentItem(tree->findItems(QStringLiteral("Active Customers"), Qt::MatchExactly).value(0));
        QApplication::processEvents();
        EXPECT_TRUE(
            window.grab().save(QDir(screenshots).filePath(QStringLiteral("qorvel-tree-window-find.png"))));
    }
}

TEST_F(TreeWindowView, EachKindOfTreeHasAWindowIconOfItsOwn) {
    QList<QImage> icons;
    for (int mode = frmQorvel::ModeUses; mode <= frmQorvel::ModeUsedByFind; ++mode) {
        const bool usedBy = mode == frmQorvel::ModeUsedBy || mode == frmQorvel::ModeUsedByFind;
        TreeWindow& window = open(mode, usedBy ? host::ObjectType::Table : host::ObjectType::Query,
                                  usedBy ? QStringLiteral("Orders") : QStringLiteral("Order Totals"),
                                  mode >= frmQorvel::ModeUsesFind ? QStringLiteral("OrderID") : QString());
        ASSERT_FALSE(window.windowIcon().isNull()) << mode;
        icons << window.windowIcon().pixmap(16, 16).toImage();
    }
    for (int i = 0; i < icons.size(); ++i) {
        for (int j = i + 1; j < icons.size(); ++j) {
            EXPECT_NE(icons[i], icons[j]) << i + 1 << " and " << j + 1;
        }
    }
}
