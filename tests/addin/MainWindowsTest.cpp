#include "AddinFixture.h"

#include "platform/HostWindows.h"
#include "platform/LoadedForms.h"

using EditorRegistryTest = AddinFixture;

TEST_F(EditorRegistryTest, OneWindowPerQueryWhateverTheCaseOfItsName) {
    Connect();
    auto first = ShowQueryEditor(QStringLiteral("Order Totals"), false);
    auto second = ShowQueryEditor(QStringLiteral("ORDER TOTALS"), false);
    EXPECT_EQ(first, second);
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Initialize Order Totals|"),
                                        QStringLiteral("editor1 Show"), QStringLiteral("editor1 Show")}));
    EXPECT_TRUE(QueryEditorClosed(QStringLiteral("order totals")));
    EXPECT_FALSE(QueryEditorClosed(QStringLiteral("Order Totals")));
}

TEST_F(EditorRegistryTest, AWindowThatCannotLoadIsDroppedAndANewQueryIsNotRegistered) {
    Connect();
    windows.editorInitializeResult = false;
    EXPECT_EQ(ShowQueryEditor(QStringLiteral("Broken"), false), nullptr);
    EXPECT_FALSE(OpenEditors->contains(QStringLiteral("Broken")));

    windows.log.clear();
    auto unnamed = ShowQueryEditor(QString(), true);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_TRUE(windows.log.isEmpty());  // neither initialised nor shown
    EXPECT_EQ(OpenEditors->count(), 0);
}

TEST_F(EditorRegistryTest, OpeningTheEditorClosesTheQuerysDesignView) {
    Connect();
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::acViewDesign, host::acEdit);
    ShowQueryEditor(QStringLiteral("Order Totals"), false);
    EXPECT_FALSE(host->openView(host::acQuery, QStringLiteral("Order Totals")).has_value());
    // Its datasheet stays open.
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::acViewNormal, host::acEdit);
    CloseQueryDesignView(QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView(host::acQuery, QStringLiteral("Order Totals")), host::acViewNormal);

    // Older hosts cannot tell the view: a query window without a datasheet is its design view.
    host->setVersion(QStringLiteral("9.0"));
    CloseQueryDesignView(QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView(host::acQuery, QStringLiteral("Order Totals")), host::acViewNormal);
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::acViewDesign, host::acEdit);
    SetCurrent(host::acTable, QStringLiteral("Orders"));
    actions.clear();
    CloseQueryDesignView(QStringLiteral("Order Totals"));
    EXPECT_EQ(actions, QStringList({QStringLiteral("SelectObject 1 Order Totals"),
                                    QStringLiteral("Close 1 Order Totals")}));
    host->setVersion(QStringLiteral("8.0"));
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::acViewDesign, host::acEdit);
    CloseQueryDesignView(QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView(host::acQuery, QStringLiteral("Order Totals")), host::acViewDesign);
}

TEST_F(EditorRegistryTest, ClosingAnEditorUnloadsItAndForgetsIt) {
    Connect();
    ShowQueryEditor(QStringLiteral("Order Totals"), true);
    CloseQueryEditor(QStringLiteral("order totals"));
    CloseQueryEditor(QStringLiteral("Never Opened"));
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Initialize Order Totals|"),
                                        QStringLiteral("editor1 Unload")}));
    EXPECT_EQ(OpenEditors->count(), 0);
}

namespace {

class Form : public platform::LoadedForm {
public:
    Form(QString name, quintptr handle, QStringList& log)
        : mName(std::move(name)), mHandle(handle), mLog(log) {
        platform::registerForm(this);
    }
    ~Form() override { platform::unregisterForm(this); }
    QString formName() const override { return mName; }
    quintptr windowHandle() const override { return mHandle; }
    void setTopMost(bool on) override { mLog.append(QStringLiteral("%1 topmost %2").arg(mName).arg(on)); }
    void unload() override {
        mLog.append(mName + QStringLiteral(" unload"));
        platform::unregisterForm(this);
    }

private:
    QString mName;
    quintptr mHandle;
    QStringList& mLog;
};

class DatabaseWindow : public platform::HostWindows {
public:
    bool visible = true;
    std::vector<platform::CommandBarControlState> pages;
    QStringList log;
    quintptr databaseWindow() override { return 77; }
    bool isWindowVisible(quintptr window) override { return window == 77 && visible; }
    void bringWindowToTop(quintptr window) override { log.append(QStringLiteral("top %1").arg(window)); }
    std::vector<platform::CommandBarControlState> commandBarControls(const QString& bar) override {
        log.append(bar);
        return pages;
    }
};

}  // namespace

using MainWindowsTest = AddinFixture;

TEST_F(MainWindowsTest, UnloadFormsClosesEveryWindowButTheWatcherLastFirst) {
    QStringList log;
    Form watcher(QStringLiteral("frmWatcher"), 1, log);
    Form editor(QStringLiteral("frmEditor"), 2, log);
    Form tree(QStringLiteral("frmQorvel"), 3, log);
    UnloadForms();
    EXPECT_EQ(log, QStringList({QStringLiteral("frmQorvel unload"), QStringLiteral("frmEditor unload")}));
    EXPECT_TRUE(platform::isFormLoaded(&watcher));

    log.clear();
    SetTopMost(1, true);
    SetTopMost(0, true);
    EXPECT_EQ(log, QStringList({QStringLiteral("frmWatcher topmost 1")}));
}

TEST_F(MainWindowsTest, CreateQueryInDesignViewNeedsAVisibleDatabaseWindow) {
    Connect();
    EXPECT_EQ(hWndDBWindow(), 0u);
    EXPECT_FALSE(CreateQueryInDesignView());
    EXPECT_EQ(
        MessageTexts(),
        QStringList({QStringLiteral("The command 'Create query in Design view' isn't available now.")}));
    EXPECT_EQ(prompter.messages()[0].icon, platform::MsgIcon::Exclamation);

    DatabaseWindow databaseWindow;
    platform::setHostWindows(&databaseWindow);
    // On the queries page: leave it for the modules page, run the command, then come back and select the new
    // query.
    databaseWindow.pages = {{1773, 0}, {1774, -1}, {1775, 0}};
    EXPECT_EQ(DatabaseWindowObjectType(), 1);
    EXPECT_TRUE(CreateQueryInDesignView());
    EXPECT_EQ(actions,
              QStringList({QStringLiteral("SelectObject 5"), QStringLiteral("RunCommand 1 Query1"),
                           QStringLiteral("SelectObject 1"), QStringLiteral("SelectObject 1 Query1")}));
    EXPECT_EQ(host->sentKeys(), QStringList({QStringLiteral("~")}));
    EXPECT_EQ(host->openView(host::acQuery, QStringLiteral("Query1")), host::acViewDesign);

    // On the forms page nothing is selected; a refused command shows the host's own text.
    actions.clear();
    databaseWindow.pages = {{1773, 0}, {1775, -1}};
    EXPECT_EQ(DatabaseWindowObjectType(), -1);
    host->setDatabase(nullptr);
    EXPECT_FALSE(CreateQueryInDesignView());
    EXPECT_TRUE(actions.isEmpty());
    EXPECT_EQ(MessageTexts().last(),
              QStringLiteral("The command or action 'NewObjectQuery' isn't available now."));

    databaseWindow.visible = false;
    EXPECT_FALSE(CreateQueryInDesignView());
    EXPECT_EQ(prompter.messages().size(), 3u);
    platform::setHostWindows(nullptr);
}

namespace {

class Caret : public PopUpTextControl {
public:
    int selLength = 5;
    QStringList log;
    int SelLength() const override { return selLength; }
    void SetSelLength(int length) override {
        selLength = length;
        log.append(QStringLiteral("SelLength %1").arg(length));
    }
    QPoint CaretPosition() const override { return selLength == 0 ? QPoint(30, 14) : QPoint(999, 999); }
    QPoint Position() const override { return {6, 40}; }
    int FontSize() const override { return 10; }
    FormMetrics ParentForm() const override { return {100, 200, 508, 430, 500, 400}; }
};

class PopUp : public PopUpForm {
public:
    QStringList log;
    void Move(int x, int y) override { log.append(QStringLiteral("Move %1 %2").arg(x).arg(y)); }
    void ShowModal() override { log.append(QStringLiteral("ShowModal")); }
};

}  // namespace

TEST_F(MainWindowsTest, PopUpsOpenJustBelowTheCaret) {
    Caret control;
    PopUp popup;
    // Border (508 - 500) / 2 = 4, title 430 - 400 - 8 = 22.
    ShowListForm(control, popup);
    EXPECT_EQ(popup.log, QStringList({QStringLiteral("Move 144 298"), QStringLiteral("ShowModal")}));
    EXPECT_EQ(control.log, QStringList({QStringLiteral("SelLength 0"), QStringLiteral("SelLength 5")}));

    popup.log.clear();
    ShowPopUpForm(popup, FormMetrics{0, 0, 8, 38, 0, 0}, control);
    // Border 4, title 38 - 8 = 30: y = 40 + 14 + 4 + 30 + 16.
    EXPECT_EQ(popup.log, QStringList({QStringLiteral("Move 44 104"), QStringLiteral("ShowModal")}));
}
