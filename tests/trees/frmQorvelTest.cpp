// The tree window's logic on the scenario database: nodes and icons, messages, cancelling, clean-up, and
// the node commands.
#include "TreesTestSupport.h"
#include "catalogue/ToolWindows.h"
#include "catalogue/mMainWindows.h"
#include "platform/InMemoryProgressWindow.h"
#include "platform/InMemoryTreeControl.h"
#include "trees/CQorvelFind.h"
#include "trees/frmQorvel.h"

namespace {

using platform::MsgIcon;
using platform::TreeControl;

class TreeWindow : public ScenarioTest {
protected:
    TreeWindow() : ScenarioTest(QStringLiteral("shop.json")) {}

    // A window on in-memory controls whose progress windows the test can reach.
    std::unique_ptr<frmQorvel> window(std::unique_ptr<TreeControl> tree = nullptr) {
        return std::make_unique<frmQorvel>(context(), std::move(tree), &progressWindows);
    }

    // Node texts with their image key, depth first, one per line, indented like the tree text.
    static QString describe(const TreeControl& tree, int node = TreeControl::noNode, int depth = 0) {
        QString text;
        for (int child : tree.children(node)) {
            text += QString(2 * depth, QLatin1Char(' ')) + tree.text(child) + QLatin1Char(' ') +
                    tree.imageKey(child) + (tree.bold(child) ? QStringLiteral(" bold") : QString()) +
                    (tree.expanded(child) ? QString() : QStringLiteral(" folded")) + QLatin1Char('\n');
            text += describe(tree, child, depth + 1);
        }
        return text;
    }

    platform::InMemoryProgressWindowFactory progressWindows;
};

TEST_F(TreeWindow, NodesCarryIconsOfTheirKindAndHiddenQueriesShowTheirOwners) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Customers")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedBy));
    EXPECT_EQ(describe(tree->tvQorvel()).toStdString(),
              "Customers Table\n"
              "  Add Orders q64\n"
              "  Gone Reader q0\n"
              "  Order List q0\n"
              "    Big Orders q0\n"
              "    Order Form Form\n"
              "    All Names q128\n"
              "  Order Form.Customer Form\n"
              "  Invoice.Buyer Report\n"
              "  All Names q128\n"
              "  Deep Orders q0\n");
    EXPECT_EQ(tree->Caption(), QStringLiteral("VEXOR Query/Table Used By"));
    EXPECT_EQ(tree->IconNumber(), 2);
    EXPECT_EQ(tree->tvQorvel().selectedNode(), 0);
}

TEST_F(TreeWindow, TreeTextHasCrLfLinesAndFourBlanksPerLevel) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    EXPECT_EQ(tree->TreeText(),
              QStringLiteral("Big Orders\r\n    Order List\r\n        Orders\r\n        Customers\r\n"));
    EXPECT_EQ(tree->Caption(), QStringLiteral("VEXOR Qorvel"));
    EXPECT_EQ(describe(tree->tvQorvel()).toStdString(),
              "Big Orders q0\n  Order List q0\n    Orders Table\n    Customers Table\n");
}

TEST_F(TreeWindow, FindMarksAreBoldAndNamedInTheCaption) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto tree = window();
    tree->FilterField = QStringLiteral("CustID");
    tree->FilterWholeWord = true;
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedByFind));
    EXPECT_EQ(tree->Caption(), QStringLiteral("VEXOR Query/Table Used By (find CustID)"));
    const QString nodes = describe(tree->tvQorvel());
    EXPECT_TRUE(nodes.contains(QStringLiteral("Find Exact q0 bold\n")));
    EXPECT_TRUE(nodes.contains(QStringLiteral("Find Longer q0\n")));
    EXPECT_TRUE(nodes.contains(QStringLiteral("Order Form Form bold\n")));  // its record-source statement

    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Find Longer")});
    auto uses = window();
    uses->FilterField = QStringLiteral("custid");
    ASSERT_TRUE(uses->Initialize(frmQorvel::ModeUsesFind));
    EXPECT_EQ(uses->Caption(), QStringLiteral("VEXOR Qorvel(find custid)"));
    EXPECT_FALSE(uses->tvQorvel().bold(0));  // the root is not searched
}

TEST_F(TreeWindow, WrongObjectTypeGivesItsMessageThenNothingToShow) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_FALSE(window()->Initialize(frmQorvel::ModeUses));
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Form, QStringLiteral("Order Form")});
    EXPECT_FALSE(window()->Initialize(frmQorvel::ModeUsedBy));
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("This action is only available for queries"));
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("Qorvel"));
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("Nothing to show"));
    EXPECT_EQ(prompter.shown[1].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.shown[1].title, QString());
    EXPECT_EQ(prompter.shown[2].text, QStringLiteral("This action is only available for queries and tables"));
    EXPECT_EQ(prompter.shown[2].title, QStringLiteral("Query Used By"));
    EXPECT_EQ(prompter.shown[3].text, QStringLiteral("Nothing to show"));
    EXPECT_TRUE(progressWindows.windows().empty());
}

TEST_F(TreeWindow, NameThatIsNoObjectShowsNothingAtAll) {
    EXPECT_FALSE(window()->Initialize(frmQorvel::ModeUses, QStringLiteral("No Such Thing")));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TreeWindow, UsedByBuildRunsUnderTheProgressWindowToItsEnd) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedBy));
    platform::InMemoryProgressWindow& progress = *progressWindows.last();
    EXPECT_EQ(progress.labelHistory(), (QStringList{QStringLiteral("Enumerating Objects..."),
                                                    QStringLiteral("Building the TreeView...")}));
    EXPECT_NEAR(progress.value(), 1000, 0.01);  // enumeration to 100, the tree the rest
    EXPECT_TRUE(progress.disposed());
    EXPECT_FALSE(tree->IsClosed());
}

TEST_F(TreeWindow, ProgressRisesStepByStepToATenthWhileEnumeratingThenToTheEnd) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Customers")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedBy));
    const auto& steps = progressWindows.last()->valueHistory();
    ASSERT_GT(steps.size(), 3u);
    double previous = 0;
    double endOfEnumeration = -1;
    for (const auto& step : steps) {
        EXPECT_GE(step.value, previous - 1e-3);
        previous = step.value;
        if (step.label == QLatin1String("Enumerating Objects...")) {
            endOfEnumeration = step.value;
        }
    }
    EXPECT_NEAR(endOfEnumeration, 100, 0.01);
    EXPECT_NEAR(steps.back().value, 1000, 0.01);
    EXPECT_EQ(steps.back().label, QStringLiteral("Building the TreeView..."));
}

TEST_F(TreeWindow, WithoutAHostOrDatabaseNothingIsShown) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")});
    application->setDatabase(nullptr);
    EXPECT_FALSE(window()->Initialize(frmQorvel::ModeUses));
    context().disconnect();
    EXPECT_FALSE(window()->Initialize(frmQorvel::ModeUsedBy));
    CQorvelFind find(context());
    find.QorvelMode = frmQorvel::ModeUsedByFind;
    EXPECT_FALSE(find.mfValidDataSource());
}

TEST_F(TreeWindow, CancelDuringEnumerationClosesBothWindowsAndLeavesNoTemporaryQuery) {
    progressWindows.cancelAtStep = 2;  // the first row; step 1 is the bar's start at 0
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto tree = window();
    bool closedSignal = false;
    QObject::connect(tree.get(), &frmQorvel::closed, [&] { closedSignal = true; });
    EXPECT_FALSE(tree->Initialize(frmQorvel::ModeUsedBy));
    const platform::InMemoryProgressWindow& progress = *progressWindows.last();
    EXPECT_EQ(progress.labelHistory(), (QStringList{QStringLiteral("Enumerating Objects..."),
                                                    QStringLiteral("Termination of process...")}));
    EXPECT_EQ(progress.steps(), 2);  // stopped at the next step
    EXPECT_TRUE(progress.disposed());
    EXPECT_TRUE(tree->Cancelled());
    EXPECT_TRUE(tree->IsClosed());
    EXPECT_TRUE(closedSignal);
    EXPECT_EQ(tree->tvQorvel().nodeCount(), 0);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(temporaryQueries().isEmpty());
}

TEST_F(TreeWindow, CancelWhileBuildingTheTreeStopsToo) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto probe = window();
    ASSERT_TRUE(probe->Initialize(frmQorvel::ModeUsedBy));
    const int enumerationSteps = progressWindows.last()->steps() - probe->tvQorvel().children(0).size();

    progressWindows.cancelAtStep = enumerationSteps + 2;
    auto tree = window();
    EXPECT_FALSE(tree->Initialize(frmQorvel::ModeUsedBy));
    EXPECT_TRUE(progressWindows.last()->labelHistory().contains(QStringLiteral("Building the TreeView...")));
    EXPECT_TRUE(tree->IsClosed());
    EXPECT_TRUE(temporaryQueries().isEmpty());
}

TEST_F(TreeWindow, ClosingTheProgressWindowFinishesEnumerationButBuildsNoTree) {
    progressWindows.closeAtStep = 2;  // the first row; step 1 is the bar's start at 0
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto tree = window();
    EXPECT_FALSE(tree->Initialize(frmQorvel::ModeUsedBy));
    EXPECT_FALSE(tree->Cancelled());
    EXPECT_FALSE(tree->IsClosed());
    EXPECT_EQ(progressWindows.last()->steps(), 2);  // nobody wrote to the closed window again
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Nothing to show")});
    EXPECT_TRUE(temporaryQueries().isEmpty());
}

// Editor windows that only note which query they were shown for.
class EditorWindows : public ToolWindows {
public:
    class Editor : public QueryEditorWindow {
    public:
        Editor(AddinContext& context, QStringList& shown) : mContext(context), mShown(shown) {}
        bool Initialize(const QString& queryName, const QString&) override {
            mName = queryName;
            return true;
        }
        void Show() override { mShown << mName; }
        void Unload() override { QueryEditorClosed(mContext, mName); }

    private:
        AddinContext& mContext;
        QStringList& mShown;
        QString mName;
    };
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext&) override { return nullptr; }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) override {
        return std::make_shared<Editor>(context, shown);
    }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext&) override { return nullptr; }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override { return nullptr; }
    void ShowAbout(AddinContext&) override {}
    void OpenHelpContents(AddinContext&, const QString&) override {}

    QStringList shown;
};

// A tree control that fails when the n-th node is added.
class FailingTreeControl : public platform::InMemoryTreeControl {
public:
    explicit FailingTreeControl(int failAt) : mFailAt(failAt) {}
    int addNode(int parent, const QString& text, const QString& imageKey) override {
        if (nodeCount() + 1 == mFailAt) {
            throw host::Error(7, QStringLiteral("Out of memory"), QStringLiteral("plavo"));
        }
        return InMemoryTreeControl::addNode(parent, text, imageKey);
    }

private:
    int mFailAt;
};

TEST_F(TreeWindow, AFailureIsReportedAndTheTemporaryQueriesAreStillDeleted) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Deep Orders")});
    auto uses = window(std::make_unique<FailingTreeControl>(3));
    EXPECT_TRUE(uses->Initialize(frmQorvel::ModeUses));  // the partial tree is shown
    EXPECT_EQ(uses->tvQorvel().nodeCount(), 2);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.contains(QStringLiteral("BuildTreeView")));
    EXPECT_TRUE(temporaryQueries().isEmpty());

    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto usedBy = window(std::make_unique<FailingTreeControl>(1));
    EXPECT_FALSE(usedBy->Initialize(frmQorvel::ModeUsedBy));
    EXPECT_TRUE(temporaryQueries().isEmpty());
    EXPECT_TRUE(progressWindows.last()->disposed());
}

// A tree control whose image list lacks the append query's picture.
class NoAppendImage : public platform::InMemoryTreeControl {
public:
    void addImage(const QString& key, const QString& tag) override {
        if (key != QLatin1String("q64")) {
            InMemoryTreeControl::addImage(key, tag);
        }
    }
};

TEST_F(TreeWindow, QueryTypeWithoutItsOwnImageGetsTheSelectImage) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Add Orders")});
    auto tree = window(std::make_unique<NoAppendImage>());
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    EXPECT_EQ(tree->tvQorvel().imageKey(0), QStringLiteral("q0"));
}

TEST_F(TreeWindow, OpenAndEditFollowTheSelectedNodesKind) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedBy));
    auto& control = static_cast<platform::InMemoryTreeControl&>(tree->tvQorvel());
    EXPECT_TRUE(tree->OpenEnabled());  // the root table, selected by Initialize
    EXPECT_FALSE(tree->EditEnabled());
    const auto nodeNamed = [&](const QString& text) {
        for (int node = 0; node < control.nodeCount(); ++node) {
            if (control.text(node) == text) {
                return node;
            }
        }
        return TreeControl::noNode;
    };
    control.click(nodeNamed(QStringLiteral("Order List")));
    EXPECT_TRUE(tree->OpenEnabled());
    EXPECT_TRUE(tree->EditEnabled());
    control.click(nodeNamed(QStringLiteral("Invoice")));
    EXPECT_FALSE(tree->OpenEnabled());
    EXPECT_FALSE(tree->EditEnabled());
    application->setObjectState({host::ObjectType::Query, QStringLiteral("Order List")},
                                host::ObjectState::Open | host::ObjectState::Dirty);
    control.click(nodeNamed(QStringLiteral("Order List")));
    EXPECT_TRUE(tree->OpenEnabled());
    EXPECT_FALSE(tree->EditEnabled());
}

TEST_F(TreeWindow, OpenObjectOpensQueriesTablesAndTheFormOfAControl) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Customers")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUsedBy));
    auto& control = tree->tvQorvel();
    QStringList opened;
    application->setCommandObserver([&](const QString& action, const host::ObjectRef& object) {
        opened << action + QLatin1Char(' ') + QString::number(static_cast<int>(object.type)) +
                      QLatin1Char(' ') + object.name;
    });
    tree->OpenObject(host::View::Normal);  // the root table
    for (int node = 0; node < control.nodeCount(); ++node) {
        if (control.text(node) == QLatin1String("Order Form.Customer") ||
            control.text(node) == QLatin1String("Invoice.Buyer") ||
            control.text(node) == QLatin1String("Big Orders")) {
            control.setSelectedNode(node);
            tree->OpenObject(host::View::Normal);
        }
    }
    EXPECT_EQ(opened,
              (QStringList{QStringLiteral("OpenTable 0 Customers"), QStringLiteral("OpenQuery 1 Big Orders"),
                           QStringLiteral("OpenForm 2 Order Form"), QStringLiteral("OpenReport 3 Invoice")}));
    EXPECT_EQ(application->openView({host::ObjectType::Form, QStringLiteral("Order Form")}),
              host::View::Design);
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Big Orders")}),
              host::View::Normal);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.messages.join(QLatin1Char('|')).toStdString();
}

TEST_F(TreeWindow, DoubleClickOpensOnlyAfterANodeWasClickedAndBlocksFolding) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    auto& control = static_cast<platform::InMemoryTreeControl&>(tree->tvQorvel());
    QStringList opened;
    application->setCommandObserver([&](const QString& action, const host::ObjectRef& object) {
        opened << action + QLatin1Char(' ') + object.name;
    });

    // On empty space: the button press forgets the earlier click, so the double click opens nothing.
    tree->tvQorvel_MouseDown();
    EXPECT_FALSE(tree->tvQorvel_MouseUp(false, TreeControl::noNode));
    tree->tvQorvel_DblClick();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(tree->ExpandBlocked());

    tree->tvQorvel_MouseDown();
    control.click(1);
    EXPECT_FALSE(tree->tvQorvel_MouseUp(false, 1));
    EXPECT_TRUE(tree->ExpandBlocked());
    tree->tvQorvel_DblClick();
    EXPECT_EQ(opened, QStringList{QStringLiteral("OpenQuery Order List")});
    tree->tvQorvel_KeyDown();
    EXPECT_FALSE(tree->ExpandBlocked());

    EXPECT_TRUE(tree->tvQorvel_MouseUp(true, 1));   // the context menu over the selected node
    EXPECT_FALSE(tree->tvQorvel_MouseUp(true, 2));  // not over another one

    tree->tbButtons_ButtonClick(QStringLiteral("Design"));
    EXPECT_EQ(application->openView({host::ObjectType::Query, QStringLiteral("Order List")}),
              host::View::Design);
}

TEST_F(TreeWindow, CommandsWithoutASelectionOrOnTheWrongKindSaySo) {
    EditorWindows editors;
    AddinContext withEditors(application.get(), context().services(), &editors);
    auto tree = std::make_unique<frmQorvel>(withEditors, nullptr, &progressWindows);
    tree->OpenObject(host::View::Normal);
    tree->OpenSQLEditor();
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")});
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    tree->OpenSQLEditor();
    tree->tvQorvel().setSelectedNode(2);  // Orders, a table
    tree->OpenSQLEditor();
    CloseQueryEditor(withEditors, QStringLiteral("Big Orders"));
    EXPECT_EQ(editors.shown, QStringList{QStringLiteral("Big Orders")});
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("Select object first!"));
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("Select object first!"));
    EXPECT_EQ(prompter.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.shown[2].text, QStringLiteral("This action is only available for queries."));
    EXPECT_EQ(prompter.shown[2].icon, MsgIcon::Information);
}

TEST_F(TreeWindow, OpeningAnObjectThatFailsNamesItsKind) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Form, QStringLiteral("Plain Form")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    database->deleteForm(QStringLiteral("Plain Form"));
    tree->OpenObject(host::View::Normal);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("Can't open form 'Plain Form', it contains errors."));
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);

    // A name that holds the placeholder is shown as it is.
    database->saveForm({QStringLiteral("Plan {object}"), QStringLiteral("Orders"), QString(), {}});
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Form, QStringLiteral("Plan {object}")});
    auto braces = window();
    ASSERT_TRUE(braces->Initialize(frmQorvel::ModeUses));
    database->deleteForm(QStringLiteral("Plan {object}"));
    braces->OpenObject(host::View::Normal);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("Can't open form 'Plan {object}', it contains errors."));
}

TEST_F(TreeWindow, NodeDescriptionIsReadOnceAndKept) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, QStringLiteral("Big Orders")});
    auto tree = window();
    ASSERT_TRUE(tree->Initialize(frmQorvel::ModeUses));
    EXPECT_EQ(tree->NodeDescription(1), QStringLiteral("Every order with its customer"));
    EXPECT_EQ(tree->NodeDescription(3), QStringLiteral("Who buys"));
    database->setDescription(QStringLiteral("Tables"), QStringLiteral("Customers"),
                             QStringLiteral("Changed"));
    EXPECT_EQ(tree->NodeDescription(3), QStringLiteral("Who buys"));
    EXPECT_EQ(tree->NodeDescription(TreeControl::noNode), QString());
}

TEST_F(TreeWindow, FindDialogRefusesObjectsItsModeCannotSearch) {
    CQorvelFind find(context());
    find.QorvelMode = frmQorvel::ModeUsesFind;
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_FALSE(find.mfValidDataSource());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("This action is not available for selected object"));
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.shown[0].title, QStringLiteral("Qorvel"));

    CQorvelFind usedBy(context());
    usedBy.QorvelMode = frmQorvel::ModeUsedByFind;
    ASSERT_TRUE(usedBy.mfValidDataSource());
    EXPECT_TRUE(usedBy.FindWhatList().contains(QStringLiteral("CustID")));

    CQorvelFind plainForm(context());
    plainForm.QorvelMode = frmQorvel::ModeUsesFind;
    // The record source is a query name.
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Form, QStringLiteral("Plain Form")});
    ASSERT_TRUE(plainForm.mfValidDataSource());
    EXPECT_TRUE(plainForm.FindWhatList().contains(QStringLiteral("Order List")))
        << plainForm.FindWhatList().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(TreeWindow, FindButtonGivesNoWindowWhenThereIsNothingToShow) {
    CQorvelFind find(context());
    find.QorvelMode = frmQorvel::ModeUsesFind;
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    EXPECT_EQ(find.cmdFind_Click(QStringLiteral("CustID"), 1), nullptr);
    EXPECT_TRUE(find.IsClosed());
    EXPECT_EQ(prompter.messages, (QStringList{QStringLiteral("This action is only available for queries"),
                                              QStringLiteral("Nothing to show")}));
}

TEST_F(TreeWindow, StatementPerNameLookupBuildsTheSameUsedByTree) {
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, QStringLiteral("Orders")});
    auto snapshot = window();
    ASSERT_TRUE(snapshot->Initialize(frmQorvel::ModeUsedBy));
    auto perName = window();
    perName->setUsedByLookup(frmQorvel::UsedByLookup::StatementPerName);
    ASSERT_TRUE(perName->Initialize(frmQorvel::ModeUsedBy));
    EXPECT_EQ(perName->TreeText(), snapshot->TreeText());
}

}  // namespace
