#include "AddinFixture.h"

#include "addin/CommandBarButton.h"
#include "common/TextFiles.h"

#include <QFile>
#include <QTextStream>

namespace {

struct Kind {
    const char* label;
    host::ObjectType type;
};

struct State {
    const char* label;
    host::ObjectStates bits;
};

// One line per object kind and state: which of the nine commands apply, in ecbToolbar order.
QString AvailabilityTable(AddinFixture& fixture, AccessConnect& connect) {
    static const char* const commands[] = {"New",    "Editor",   "Datasheet",  "Design", "Uses",
                                           "UsedBy", "UsesFind", "UsedByFind", "Help"};
    using host::ObjectType;
    const Kind kinds[] = {{"table", ObjectType::Table},
                          {"query", ObjectType::Query},
                          {"form", ObjectType::Form},
                          {"report", ObjectType::Report},
                          {"macro", ObjectType::Macro},
                          {"module", ObjectType::Module},
                          {"server-view", ObjectType::ServerView},
                          {"procedure", ObjectType::StoredProcedure},
                          {"function", ObjectType::Function}};
    const State states[] = {
        {"saved", host::ObjectState::Open},
        {"changed", host::ObjectState::Open | host::ObjectState::Dirty},
        {"new", host::ObjectState::Open | host::ObjectState::New | host::ObjectState::Dirty}};
    QString table;
    QTextStream out(&table);
    for (const auto& kind : kinds) {
        for (const auto& state : states) {
            fixture.SetCurrent(kind.type, QStringLiteral("Object"), state.bits);
            connect.ToolbarButtonsEnable();
            out << qSetFieldWidth(12) << Qt::left << kind.label << qSetFieldWidth(8) << state.label
                << qSetFieldWidth(0);
            for (int i = 0; i < 9; ++i) {
                out << ' ' << commands[i] << (connect.ButtonEnabled[static_cast<std::size_t>(i)] ? '+' : '-');
            }
            out << '\n';
        }
    }
    return table;
}

QString ReadData(const QString& name) {
    return readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name);
}

class FakeButton : public CommandBarButton {
public:
    bool enabled = true;
    int focused = 0;
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool on) override { enabled = on; }
    void SetFocus() override { ++focused; }
};

class FakeToolbar : public CommandBar {
public:
    int released = 0;
    QString Name() const override { return QStringLiteral("Qorvel Editor"); }
    void ReleaseFocus() override { ++released; }
};

}  // namespace

using AvailabilityTest = AddinFixture;

TEST_F(AvailabilityTest, EveryObjectKindAndStateMatchesTheReferenceTable) {
    Connect();
    EXPECT_EQ(AvailabilityTable(*this, connect), ReadData(QStringLiteral("availability.txt")));
    EXPECT_FALSE(connect.ToolbarMode);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(AvailabilityTest, AFailedPassKeepsTheFlagsSetSoFarInRibbonMode) {
    Connect();
    SetCurrent(host::ObjectType::Form, QStringLiteral("Orders"));
    connect.ToolbarButtonsEnable();
    SetCurrent(host::ObjectType::Table, QStringLiteral("Orders"));
    context().disconnect();
    connect.ToolbarButtonsEnable();
    EXPECT_TRUE(connect.ButtonEnabled[ecbQorvel]);
    EXPECT_FALSE(connect.ButtonEnabled[ecbQueryUsedBy]);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(AvailabilityTest, ToolbarModeWithoutAToolbarLeavesEveryCommandAvailable) {
    Connect(QStringLiteral("9.0"));
    SetCurrent(host::ObjectType::Form, QStringLiteral("Orders"));
    Click(QStringLiteral("QueryEditor"));
    Click(QStringLiteral("UsedBy"));
    for (bool enabled : connect.ButtonEnabled) {
        EXPECT_TRUE(enabled);
    }
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("tree Initialize 2"), QStringLiteral("tree Show")}));
}

TEST_F(AvailabilityTest, ToolbarModeTouchesOnlyButtonsWhoseStateChanges) {
    Connect(QStringLiteral("9.0"));
    FakeToolbar toolbar;
    FakeButton editor, datasheet, design, qorvel, usedBy, qorvelFind, usedByFind;
    connect.AddInToolbar = &toolbar;
    connect.mQueryEditor = &editor;
    connect.mQueryDatasheet = &datasheet;
    connect.mQueryDesign = &design;
    connect.mQorvel = &qorvel;
    connect.mQueryUsedBy = &usedBy;
    connect.mQorvelFind = &qorvelFind;
    connect.mQueryUsedByFind = &usedByFind;

    SetCurrent(host::ObjectType::Table, QStringLiteral("Orders"));
    connect.ToolbarButtonsEnable();
    EXPECT_TRUE(connect.ToolbarMode);
    EXPECT_FALSE(editor.enabled);
    EXPECT_FALSE(qorvel.enabled);
    EXPECT_FALSE(qorvelFind.enabled);
    EXPECT_TRUE(usedBy.enabled && usedByFind.enabled && datasheet.enabled && design.enabled);
    EXPECT_EQ(editor.focused + qorvel.focused + qorvelFind.focused, 3);
    EXPECT_EQ(usedBy.focused + usedByFind.focused + datasheet.focused + design.focused, 0);
    EXPECT_EQ(toolbar.released, 3);

    // The same object again: nothing is redrawn.
    connect.ToolbarButtonsEnable();
    EXPECT_EQ(toolbar.released, 3);
    for (bool enabled : connect.ButtonEnabled) {
        EXPECT_TRUE(enabled);
    }

    // A failed pass disables the tree and editor buttons; datasheet and design keep their state.
    context().disconnect();
    connect.ToolbarButtonsEnable();
    EXPECT_FALSE(usedBy.enabled || usedByFind.enabled);
    EXPECT_TRUE(datasheet.enabled && design.enabled);
}

using DispatchTest = AddinFixture;

TEST_F(DispatchTest, EveryRibbonIdOpensItsTool) {
    Connect();
    SetCurrent(host::ObjectType::Query, QStringLiteral("Order Totals"));
    const std::pair<QString, QStringList> cases[] = {
        {QStringLiteral("QueryTemplates"),
         {QStringLiteral("templates Init 3"), QStringLiteral("templates ShowModal")}},
        {QStringLiteral("QueryEditor"),
         {QStringLiteral("editor1 Initialize Order Totals|"), QStringLiteral("editor1 Show")}},
        {QStringLiteral("Uses"), {QStringLiteral("tree Initialize 1"), QStringLiteral("tree Show")}},
        {QStringLiteral("UsedBy"), {QStringLiteral("tree Initialize 2"), QStringLiteral("tree Show")}},
        {QStringLiteral("UsesFind"),
         {QStringLiteral("find PrepareTreeFind 3"), QStringLiteral("find mfValidDataSource"),
          QStringLiteral("find Show")}},
        {QStringLiteral("UsedByFind"),
         {QStringLiteral("find PrepareTreeFind 4"), QStringLiteral("find Show")}},
        {QStringLiteral("Help"), {QStringLiteral("help plavo-help")}},
        {QStringLiteral("Contents"), {QStringLiteral("help plavo-help")}},
        {QStringLiteral("About"), {QStringLiteral("about")}},
        {QStringLiteral("Dependencies"), {}},
        {QStringLiteral("uses"), {}},
        {QStringLiteral("UsesFind "), {}},
        {QString(), {}},
    };
    for (const auto& [id, expected] : cases) {
        windows.log.clear();
        Click(id);
        EXPECT_EQ(windows.log, expected) << id.toStdString();
    }
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(DispatchTest, DependenciesRefreshesAvailabilityOnly) {
    Connect();
    SetCurrent(host::ObjectType::Form, QStringLiteral("Orders"));
    Click(QStringLiteral("Dependencies"));
    EXPECT_TRUE(connect.ButtonEnabled[ecbQorvel]);
    EXPECT_FALSE(connect.ButtonEnabled[ecbQueryUsedBy]);
    EXPECT_TRUE(windows.log.isEmpty());
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(DispatchTest, CommandsThatDoNotApplySayWhy) {
    Connect();
    SetCurrent(host::ObjectType::Query, QStringLiteral("Draft"),
               host::ObjectState::Open | host::ObjectState::New);
    for (const char* id : {"QueryEditor", "Uses", "UsedBy", "UsesFind", "UsedByFind"}) {
        Click(QLatin1String(id));
    }
    EXPECT_EQ(MessageTexts(), QStringList({QStringLiteral("Query Editor is not available!"),
                                           QStringLiteral("Qorvel is not available!"),
                                           QStringLiteral("Query Used By is not available!"),
                                           QStringLiteral("Qorvel Find is not available!"),
                                           QStringLiteral("Query Used By Find is not available!")}));
    for (const auto& message : prompter.messages()) {
        EXPECT_EQ(message.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(message.buttons, platform::MsgButtons::Ok);
        EXPECT_TRUE(message.title.isEmpty());  // the application title
    }
    EXPECT_TRUE(windows.log.isEmpty());

    // New Query and Help are never refused.
    Click(QStringLiteral("QueryTemplates"));
    Click(QStringLiteral("Help"));
    EXPECT_EQ(windows.log.size(), 3);
    EXPECT_EQ(prompter.messages().size(), 5u);
}

TEST_F(DispatchTest, AStoredProcedurePassesTheEditorTestButOpensNothing) {
    Connect();
    SetCurrent(host::ObjectType::StoredProcedure, QStringLiteral("spOrders"));
    Click(QStringLiteral("QueryEditor"));
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(windows.editors.empty());
}

TEST_F(DispatchTest, ATreeWithNothingToShowIsDroppedAndAnInvalidFindDialogUnloaded) {
    Connect();
    SetCurrent(host::ObjectType::Report, QStringLiteral("Invoice"));
    windows.treeInitializeResult = false;
    windows.validDataSource = false;
    Click(QStringLiteral("Uses"));
    Click(QStringLiteral("UsesFind"));
    EXPECT_EQ(windows.log,
              QStringList({QStringLiteral("tree Initialize 1"), QStringLiteral("find PrepareTreeFind 3"),
                           QStringLiteral("find mfValidDataSource"), QStringLiteral("find Unload")}));
    // The Used By find does not ask for a data source.
    SetCurrent(host::ObjectType::Table, QStringLiteral("Orders"));
    windows.log.clear();
    Click(QStringLiteral("UsedByFind"));
    EXPECT_EQ(windows.log,
              QStringList({QStringLiteral("find PrepareTreeFind 4"), QStringLiteral("find Show")}));
}

TEST_F(DispatchTest, AToolTheProgramDoesNotOfferOpensNothing) {
    Connect();
    SetCurrent(host::ObjectType::Query, QStringLiteral("Order Totals"));
    windows.offersTools = false;
    for (const char* id : {"QueryTemplates", "QueryEditor", "Uses", "UsedBy", "UsesFind", "UsedByFind"}) {
        Click(QLatin1String(id));
    }
    EXPECT_TRUE(windows.log.isEmpty());
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(context().openEditors().count(), 0);
}

TEST_F(DispatchTest, AFailingCommandIsReportedUnderItsOwnName) {
    // A program that gives no window factory at all.
    AccessConnect bare(services(), nullptr);
    bare.AddinInstance_OnConnection(host.get());
    SetCurrent(host::ObjectType::Query, QStringLiteral("Order Totals"));
    bare.RunQorvel(IRibbonControl{QStringLiteral("UsedBy")});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(
        prompter.messages()[0].text,
        QStringLiteral("Error 91: Object variable or With block variable not set \r\n in "
                       "plavo.AccessConnect.QueryUsedBy line 0 \r\n\r\nDo you want to report the problem?"));
    EXPECT_EQ(prompter.messages()[0].title,
              QStringLiteral("VEXOR Qorvel Editor v." QORVEL_VERSION ": Error"));
    EXPECT_TRUE(shell.opened().isEmpty());  // the default answer is No
}

using OpenObjectTest = AddinFixture;

TEST_F(OpenObjectTest, DatasheetAndDesignViewOpenTablesAndQueries) {
    Connect();
    SetCurrent(host::ObjectType::Table, QStringLiteral("Orders"));
    connect.mQueryDatasheet_Click();
    EXPECT_EQ(host->openView({host::ObjectType::Table, QStringLiteral("Orders")}), host::View::Normal);
    SetCurrent(host::ObjectType::Query, QStringLiteral("order totals"));
    connect.mQueryDesign_Click();
    EXPECT_EQ(host->openView({host::ObjectType::Query, QStringLiteral("Order Totals")}), host::View::Design);
    SetCurrent(host::ObjectType::Form, QStringLiteral("Order Form"));
    connect.mQueryDatasheet_Click();
    connect.mQueryDesign_Click();
    EXPECT_EQ(actions, QStringList({QStringLiteral("OpenTable 0 Orders"),
                                    QStringLiteral("OpenQuery 1 Order Totals")}));
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(OpenObjectTest, DesignViewClosesTheQueryEditorFirst) {
    Connect();
    SetCurrent(host::ObjectType::Query, QStringLiteral("Order Totals"));
    Click(QStringLiteral("QueryEditor"));
    ASSERT_TRUE(context().openEditors().contains(QStringLiteral("order totals")));
    windows.log.clear();
    connect.mQueryDesign_Click();
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("editor1 Unload")}));
    EXPECT_FALSE(context().openEditors().contains(QStringLiteral("Order Totals")));
    EXPECT_EQ(actions.last(), QStringLiteral("OpenQuery 1 Order Totals"));
}

TEST_F(OpenObjectTest, AnObjectThatCannotBeOpenedIsNamedInTheMessage) {
    Connect();
    SetCurrent(host::ObjectType::Query, QStringLiteral("Totals {object}"));
    connect.mQueryDatasheet_Click();
    SetCurrent(host::ObjectType::Table, QStringLiteral("Gone"));
    connect.mQueryDesign_Click();
    EXPECT_EQ(MessageTexts(),
              QStringList({QStringLiteral("Can't open query 'Totals {object}', it contains errors."),
                           QStringLiteral("Can't open table 'Gone', it contains errors.")}));
    EXPECT_EQ(prompter.messages()[0].icon, platform::MsgIcon::Critical);
    EXPECT_EQ(prompter.messages()[0].buttons, platform::MsgButtons::Ok);
}

using ConnectionTest = AddinFixture;

TEST_F(ConnectionTest, TheWatcherRunsOnlyBeforeVersion12) {
    host->setVersion(QStringLiteral("9.0"));
    connect.AddinInstance_OnConnection(host.get());
    EXPECT_EQ(context().application(), host.get());
    EXPECT_EQ(connect.AccessVersion(), 9.0);
    EXPECT_EQ(windows.log, QStringList({QStringLiteral("watcher SetAccessConnect set"),
                                        QStringLiteral("watcher SetInterval 200")}));
    connect.AddinInstance_OnDisconnection();
    EXPECT_EQ(context().application(), nullptr);
    EXPECT_EQ(windows.log.mid(2), QStringList({QStringLiteral("watcher SetAccessConnect nothing"),
                                               QStringLiteral("watcher Unload")}));

    windows.log.clear();
    host->setVersion(QStringLiteral("14.0"));
    connect.AddinInstance_OnConnection(host.get());
    EXPECT_EQ(connect.AccessVersion(), 14.0);
    EXPECT_TRUE(windows.log.isEmpty());
}
