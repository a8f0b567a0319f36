// The find dialog of the tree tools in the desktop host: opened by the ribbon's find commands, its controls
// in find mode, and the Find button that opens the marked tree and closes the dialog.
#include "DesktopTestSupport.h"

#include "hostapi/host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

class FindDialogTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        app::MainWindow& window = openHost();
        ASSERT_TRUE(window.connectAddin(QStringLiteral("plavo.AccessConnect"), QStringLiteral(QORVEL_PLAVO)));
        ASSERT_TRUE(window.openDatabase(mDatabasePath));
    }

    QWidget* openDialog(host::ObjectType type, const QString& name, const QString& control) {
        EXPECT_TRUE(mWindow->selectObject({type, name}));
        EXPECT_TRUE(mWindow->clickControl(control));
        QWidget* dialog = nullptr;
        (void)QTest::qWaitFor([&] { return (dialog = addinWindow(QStringLiteral("frmFindReplaceDlg"))); });
        return dialog;
    }

    template <typename T>
    static T* child(QWidget& window, const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
};

}  // namespace

TEST_F(FindDialogTest, UsesFindOffersTheFieldsAndOpensTheMarkedTree) {
    QWidget* dialog = openDialog(host::ObjectType::Query, QStringLiteral("Top Customer Mailing"),
                                 QStringLiteral("UsesFind"));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find"));
    EXPECT_EQ(dialog->parentWidget(), mWindow.get());
    auto* findWhat = child<QComboBox>(*dialog, "cbxFindWhat");
    auto* find = child<QPushButton>(*dialog, "cmdFind");
    ASSERT_TRUE(findWhat && find);
    EXPECT_FALSE(child<QComboBox>(*dialog, "cbxReplaceWith")->isVisible());
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdReplaceAll")->isVisible());
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdCancel")->isVisible());
    EXPECT_GE(findWhat->findText(QStringLiteral("ContactName")), 0);
    EXPECT_FALSE(find->isEnabled());

    QTest::keyClicks(findWhat->lineEdit(), QStringLiteral("customerid"));
    EXPECT_TRUE(find->isEnabled());
    child<QCheckBox>(*dialog, "chkWholeWordOnly")->setChecked(true);
    QTest::mouseClick(find, Qt::LeftButton);

    QWidget* tree = nullptr;
    ASSERT_SOON((tree = addinWindow(QStringLiteral("frmQorvel"))));
    EXPECT_EQ(tree->windowTitle(), QStringLiteral("VEXOR Qorvel(find customerid)"));
    auto* view = child<QTreeWidget>(*tree, "tvQorvel");
    ASSERT_TRUE(view);
    const auto marked =
        view->findItems(QStringLiteral("Order Totals"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(marked.isEmpty());
    EXPECT_TRUE(marked.first()->font(0).bold());
    EXPECT_SOON(!addinWindow(QStringLiteral("frmFindReplaceDlg")));
    EXPECT_TRUE(mMessages.isEmpty()) << mMessages.join('\n').toStdString();
}

TEST_F(FindDialogTest, CancelOnlyHidesTheTreeFindAndClosingRemembersWholeWords) {
    QWidget* dialog =
        openDialog(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedByFind"));
    ASSERT_TRUE(dialog);
    QPointer<QWidget> guard(dialog);
    child<QCheckBox>(*dialog, "chkWholeWordOnly")->setChecked(true);
    QTest::mouseClick(child<QPushButton>(*dialog, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(guard);  // hidden, not closed
    dialog->close();     // the close box unloads it, and the setting is remembered
    QApplication::processEvents();

    dialog = openDialog(host::ObjectType::Table, QStringLiteral("Customers"), QStringLiteral("UsedByFind"));
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(child<QCheckBox>(*dialog, "chkWholeWordOnly")->isChecked());
}
