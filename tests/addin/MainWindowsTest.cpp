#include "AddinFixture.h"

#include "platform/HostWindows.h"
#include "platform/LoadedForms.h"

using EditorRegistryTest = AddinFixture;

TEST_F(EditorRegistryTest, OneWindowPerQueryWhateverTheCaseOfItsName) {
    Connect();
    auto first = ShowQueryEditor(context(), QStringLiteral("Order Totals"), false);
    auto second = ShowQueryEditor(context(), QStringLiteral("ORDER TOTALS"), false);
    EXPECT_EQ(first, second);
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Initialize Order Totals|"),
                                        QStringLiteral("editor1 Show"), QStringLiteral("editor1 Show")}));
    EXPECT_TRUE(QueryEditorClosed(context(), QStringLiteral("order totals")));
    EXPECT_FALSE(QueryEditorClosed(context(), QStringLiteral("Order Totals")));
}

TEST_F(EditorRegistryTest, AWindowThatCannotLoadIsDroppedAndANewQueryIsNotRegistered) {
    Connect();
    windows.editorInitializeResult = false;
    EXPECT_EQ(ShowQueryEditor(context(), QStringLiteral("Broken"), false), nullptr);
    EXPECT_FALSE(context().openEditors().contains(QStringLiteral("Broken")));

    windows.log.clear();
    auto unnamed = ShowQueryEditor(context(), QString(), true);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_TRUE(windows.log.isEmpty());  // neither initialised nor shown
    EXPECT_EQ(context().openEditors().count(), 0);
}

TEST_F(EditorRegistryTest, OpeningTheEditorClosesTheQuerysDesignView) {
    Connect();
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::View::Design, host::DataMode::Edit);
    ShowQueryEditor(context(), QStringLiteral("Order Totals"), false);
    EXPECT_FALSE(host->openView({host::ObjectType::Query, QStringLiteral("Order Totals")}).has_value());
    // Its datasheet stays open.
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::View::Normal, host::DataMode::Edit);
    CloseQueryDesignView(context(), QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView({host::ObjectType::Query, QStringLiteral("Order Totals")}), host::View::Normal);

    // Older hosts cannot tell the view: a query window without a datasheet is its design view.
    host->setVersion(QStringLiteral("9.0"));
    CloseQueryDesignView(context(), QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView({host::ObjectType::Query, QStringLiteral("Order Totals")}), host::View::Normal);
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::View::Design, host::DataMode::Edit);
    SetCurrent(host::ObjectType::Table, QStringLiteral("Orders"));
    actions.clear();
    CloseQueryDesignView(context(), QStringLiteral("Order Totals"));
    EXPECT_EQ(actions, QStringList({QStringLiteral("SelectObject 1 Order Totals"),
                                    QStringLiteral("Close 1 Order Totals")}));
    host->setVersion(QStringLiteral("8.0"));
    host->doCmd().openQuery(QStringLiteral("Order Totals"), host::View::Design, host::DataMode::Edit);
    CloseQueryDesignView(context(), QStringLiteral("Order Totals"));
    EXPECT_EQ(host->openView({host::ObjectType::Query, QStringLiteral("Order Totals")}), host::View::Design);
}

TEST_F(EditorRegistryTest, ClosingAnEditorUnloadsItAndForgetsIt) {
    Connect();
    ShowQueryEditor(context(), QStringLiteral("Order Totals"), true);
    CloseQueryEditor(context(), QStringLiteral("order totals"));
    CloseQueryEditor(context(), QStringLiteral("Never Opened"));
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Initialize Order Totals|"),
                                        QStringLiteral("editor1 Unload")}));
    EXPECT_EQ(context().openEditors().count(), 0);
}

namespace {

class Form : public platform::LoadedForm {
public:
    Form(const AddinContext& context, QString name, quintptr handle, QStringList& log)
        : mName(std::move(name)), mHandle(handle), mLog(log) {
        setLoadedForms(context.services().forms);
        markLoaded();
    }
    QString formName() const override { return mName; }
    quintptr windowHandle() const override { return mHandle; }
    void setTopMost(bool on) override { mLog.append(QStringLiteral("%1 topmost %2").arg(mName).arg(on)); }
    void unload() override {
        mLog.append(mName + QStringLiteral(" unload"));
        markUnloaded();
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
    Connect();
    QStringList log;
    Form watcher(context(), QStringLiteral("frmWatcher"), 1, log);
    Form editor(context(), QStringLiteral("frmEditor"), 2, log);
    Form tree(context(), QStringLiteral("frmQorvel"), 3, log);
    UnloadForms(context());
    EXPECT_EQ(log, QStringList({QStringLiteral("frmQorvel unload"), QStringLiteral("frmEditor unload")}));
    EXPECT_TRUE(context().forms().contains(&watcher));
}

TEST_F(MainWindowsTest, CreateQueryInDesignViewNeedsAVisibleDatabaseWindow) {
    Connect();
    EXPECT_EQ(hWndDBWindow(context()), 0u);
    EXPECT_FALSE(CreateQueryInDesignView(context()));
    EXPECT_EQ(
        MessageTexts(),
        QStringList({QStringLiteral("The command 'Create query in Design view' isn't available now.")}));
    EXPECT_EQ(prompter.messages()[0].icon, platform::MsgIcon::Exclamation);

    // The same host with a database window.
    DatabaseWindow databaseWindow;
    platform::Services services = this->services();
    services.hostWindows = &databaseWindow;
    AccessConnect connect(services, &windows);
    connect.AddinInstance_OnConnection(host.get());
    const auto context = [&]() -> AddinContext& { return *connect.context(); };
    // On the queries page: leave it for the modules page, run the command, then come back and select the new
    // query.
    databaseWindow.pages = {{1773, 0}, {1774, -1}, {1775, 0}};
    EXPECT_EQ(DatabaseWindowObjectType(context()), host::ObjectType::Query);
    EXPECT_TRUE(CreateQueryInDesignView(context()));
    EXPECT_EQ(actions,
              QStringList({QStringLiteral("SelectObject 5"), QStringLiteral("RunCommand 1 Query1"),
                           QStringLiteral("SelectObject 1"), QStringLiteral("SelectObject 1 Query1")}));
    EXPECT_EQ(host->sentKeys(), QStringList({QStringLiteral("~")}));
    EXPECT_EQ(host->openView({host::ObjectType::Query, QStringLiteral("Query1")}), host::View::Design);

    // On the forms page nothing is selected; a refused command shows the host's own text.
    actions.clear();
    databaseWindow.pages = {{1773, 0}, {1775, -1}};
    EXPECT_FALSE(DatabaseWindowObjectType(context()));
    host->setDatabase(nullptr);
    EXPECT_FALSE(CreateQueryInDesignView(context()));
    EXPECT_TRUE(actions.isEmpty());
    EXPECT_EQ(MessageTexts().last(),
              QStringLiteral("The command or action 'NewObjectQuery' isn't available now."));

    databaseWindow.visible = false;
    EXPECT_FALSE(CreateQueryInDesignView(context()));
    EXPECT_EQ(prompter.messages().size(), 3u);
}
