#include "trees/frmQorvel.h"

#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "platform/EventPump.h"
#include "platform/InMemoryTreeControl.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"
#include "trees/CProgressBar.h"
#include "trees/TreeControlRenderer.h"
#include "trees/TreeTextRenderer.h"

#include <functional>
#include <optional>
#include <utility>

namespace {

const QString kModule = QStringLiteral("frmQorvel");

// The images of the tree and their descriptions.
const std::pair<const char*, const char*> kImages[] = {
    {"q0", "Select"},    {"q128", "Union"},         {"q64", "Append"},     {"q80", "MakeTable"},
    {"q16", "Crosstab"}, {"q96", "DataDefenition"}, {"q32", "Delete"},     {"q112", "Passthrough"},
    {"q48", "Update"},   {"q144", "Bulk"},          {"q224", "Procedure"}, {"Table", "Table"},
    {"Form", "Form"},    {"Report", "Report"},
};

}  // namespace

// What the builder asks of the window between two items: the host's messages, the cancel flag and the bar.
class frmQorvel::BuildObserver : public QorvelTreeBuilder::Observer {
public:
    explicit BuildObserver(frmQorvel& window) : mWindow(window) {}
    bool Cancelled() override {
        mWindow.LetMessagesRun();
        return mWindow.mCancel;
    }
    std::optional<double> Progress() const override {
        if (!mWindow.mProgressBar) {
            return std::nullopt;
        }
        return mWindow.mProgressBar->CurrentValue();
    }
    void SetProgress(double value) override {
        if (mWindow.mProgressBar) {
            mWindow.mProgressBar->setCurrentValue(static_cast<float>(value));
        }
    }

private:
    frmQorvel& mWindow;
};

frmQorvel::frmQorvel(AddinContext& context, std::unique_ptr<platform::TreeControl> tree,
                     platform::ProgressWindowFactory* progressWindows, QObject* parent)
    : QObject(parent),
      mContext(context),
      mTree(tree ? std::move(tree) : std::make_unique<platform::InMemoryTreeControl>()),
      mProgressWindows(progressWindows ? progressWindows : &mOwnProgressWindows) {
    for (const auto& [key, tag] : kImages) {
        mTree->addImage(QString::fromLatin1(key), QString::fromLatin1(tag));
    }
    connect(mTree.get(), &platform::TreeControl::nodeClicked, this, &frmQorvel::tvQorvel_NodeClick);
    connect(mTree.get(), &platform::TreeControl::nodeDoubleClicked, this, &frmQorvel::tvQorvel_DblClick);
}

frmQorvel::~frmQorvel() {
    if (mProgressBar) {
        mProgressBar->disconnect(this);
        mProgressBar.reset();
    }
}

bool frmQorvel::Initialize(int mode, const QString& objectName) {
    const auto setMousePointer = [this](host::MousePointer pointer) {
        try {
            if (auto* application = mContext.application()) {
                application->screen().setMousePointer(pointer);
            }
        } catch (...) {
        }
    };
    setMousePointer(host::MousePointer::Hourglass);
    const bool shown = ErrorBoundary(mContext.services(), QStringLiteral("Initialize"), kModule, false, [&] {
        if (!objectName.isEmpty()) {
            mObject.reset();
            if (IsQuery(mContext, objectName)) {
                mObject = host::ObjectRef{host::ObjectType::Query, objectName};
            } else if (IsTable(mContext, objectName)) {
                mObject = host::ObjectRef{host::ObjectType::Table, objectName};
            }
        } else {
            mObject = mContext.host().currentObject();
        }
        if (!mObject) {
            return false;
        }
        const host::ObjectType objectType = mObject->type;
        mMode = mode;
        mIconNumber = mode;
        if (mMode == ModeUses || mMode == ModeUsesFind) {
            if (objectType == host::ObjectType::Query || objectType == host::ObjectType::Form ||
                objectType == host::ObjectType::Report) {
                Qorvel();
                mCaption = QStringLiteral("VEXOR Qorvel");
                if (mMode == ModeUsesFind) {
                    mCaption += QStringLiteral("(find ") + FilterField + QLatin1Char(')');
                }
            } else {
                ShowMessage(QStringLiteral("This action is only available for queries"),
                            static_cast<int>(platform::MsgIcon::Exclamation), QStringLiteral("Qorvel"));
            }
        } else if (mMode == ModeUsedBy || mMode == ModeUsedByFind) {
            if (objectType == host::ObjectType::Query || objectType == host::ObjectType::Table) {
                QueryUsedBy();
                mCaption = QStringLiteral("VEXOR Query/Table Used By");
                if (mMode == ModeUsedByFind) {
                    mCaption += QStringLiteral(" (find ") + FilterField + QLatin1Char(')');
                }
            } else {
                ShowMessage(QStringLiteral("This action is only available for queries and tables"),
                            static_cast<int>(platform::MsgIcon::Exclamation),
                            QStringLiteral("Query Used By"));
            }
        }
        if (mCancel || mBuildFailed) {
            return false;  // a cancelled build has closed the window already; a failed one said why
        }
        if (mTree->nodeCount() == 0) {
            ShowMessage(QStringLiteral("Nothing to show"), static_cast<int>(platform::MsgIcon::Information));
            return false;
        }
        mTree->setSelectedNode(0);
        tvQorvel_NodeClick(0);
        return true;
    });
    setMousePointer(host::MousePointer::Default);
    return shown;
}

QorvelTreeBuilder::Settings frmQorvel::BuildSettings() const {
    QorvelTreeBuilder::Settings settings = mSettings;
    settings.mode = mMode;
    settings.filterField = FilterField;
    settings.filterWholeWord = FilterWholeWord;
    return settings;
}

bool frmQorvel::Qorvel() {
    std::shared_ptr<host::Database> database;
    // Declared before the boundary, so that a failure is reported before the temporary queries go.
    std::optional<TemporaryQueryScope> temporaries;
    mQorvelTree = {};
    const bool done = ErrorBoundary(mContext.services(), QStringLiteral("Qorvel"), kModule, [&] {
        database = mContext.currentDatabase();
        temporaries.emplace(mContext, database.get());
        BuildObserver observer(*this);
        QorvelTreeBuilder builder(mContext, *database, observer, BuildSettings());
        QorvelTree tree = builder.BuildUses(*mObject);
        ReportBuild(builder, tree);
        mQorvelTree = std::move(tree);
        BuildTreeView(0);
    });
    return done;
}

// Fills the tree control from the tree built; the progress bar, when there is one, moves on by the share.
void frmQorvel::BuildTreeView(double share) {
    ErrorBoundary(mContext.services(), QStringLiteral("BuildTreeView"), kModule, [&] {
        const double base = mProgressBar ? mProgressBar->CurrentValue() : 0;
        FillTreeControl(mQorvelTree, *mTree, mNodeItems, [&](qint64 done, qint64 total) {
            LetMessagesRun();
            if (mCancel) {
                return false;
            }
            if (mProgressBar) {
                mProgressBar->setCurrentValue(static_cast<float>(base + share * done / total));
            }
            return true;
        });
    });
}

void frmQorvel::ReportBuild(const QorvelTreeBuilder& builder, const QorvelTree& tree) {
    switch (builder.outcome()) {
        case QorvelTreeBuilder::Outcome::Built:
            if (tree.shortened) {
                ShowMessage(QStringLiteral("The tree was shortened: it grew past %1 nodes, so a query whose "
                                           "sources are already shown is listed again without them, "
                                           "marked \"(...)\".")
                                .arg(mSettings.maxNodes),
                            static_cast<int>(platform::MsgIcon::Information));
            }
            break;
        case QorvelTreeBuilder::Outcome::Cancelled:
            break;
        case QorvelTreeBuilder::Outcome::TooManyTemporaryQueries:
            mBuildFailed = true;
            ShowMessage(QStringLiteral("The tree cannot be shown: its subqueries need more than %1 temporary "
                                       "queries, the most one build may make.")
                            .arg(mSettings.maxTemporaryQueries),
                        static_cast<int>(platform::MsgIcon::Critical));
            break;
    }
}

bool frmQorvel::QueryUsedBy() {
    mProgressBar = CProgressBar::create(*mProgressWindows, mContext.services().forms);
    connect(mProgressBar.get(), &CProgressBar::Cancel, this, &frmQorvel::mProgressBar_Cancel);
    connect(mProgressBar.get(), &CProgressBar::ProgressBarClosed, this,
            &frmQorvel::mProgressBar_ProgressBarClosed);
    SetStatusLine(QStringLiteral("Enumerating Objects..."));
    mCancel = false;
    const double enumerationShare = mProgressBar->MaxValue() / 10;

    std::shared_ptr<host::Database> database;
    std::optional<TemporaryQueryScope> temporaries;
    mQorvelTree = {};
    bool result = false;
    ErrorBoundary(mContext.services(), QStringLiteral("QueryUsedBy"), kModule, [&] {
        database = mContext.currentDatabase();
        // Temporary queries left by a build that was cut short would be taken for subqueries.
        DeleteTemporaryQueries(mContext, database.get());
        temporaries.emplace(mContext, database.get());
        BuildObserver observer(*this);
        QorvelTreeBuilder builder(mContext, *database, observer, BuildSettings());
        QorvelTree tree = builder.BuildUsedBy(*mObject, enumerationShare);
        if (mCancel) {
            Close();
            return;
        }
        ReportBuild(builder, tree);
        mTree->clear();
        mNodeItems.clear();
        if (mProgressBar && !mBuildFailed) {
            mQorvelTree = std::move(tree);
            SetStatusLine(QStringLiteral("Building the TreeView..."));
            BuildTreeView(mProgressBar->MaxValue() - mProgressBar->CurrentValue());
        }
        if (mCancel) {
            Close();
            return;
        }
        result = true;
    });
    if (mProgressBar) {
        const std::shared_ptr<CProgressBar> progressBar = std::exchange(mProgressBar, nullptr);
        progressBar->disconnect(this);
        progressBar->Dispose();
    }
    return result;
}

void frmQorvel::LetMessagesRun() {
    if (platform::EventPump* events = mContext.services().events) {
        events->processPendingEvents();
    }
}

void frmQorvel::SetStatusLine(const QString& text) {
    if (mProgressBar) {
        mProgressBar->setLabelInfo(text);
        mProgressBar->UpdateLabelInfo();
    }
}

void frmQorvel::ShowMessage(const QString& text, int icon, const QString& title) {
    platform::showMessage(mContext.services(), text, static_cast<platform::MsgIcon>(icon), title);
}

void frmQorvel::mProgressBar_Cancel() {
    mCancel = true;
}

void frmQorvel::mProgressBar_ProgressBarClosed() {
    if (mProgressBar) {
        mProgressBar->disconnect(this);
        mProgressBar.reset();
    }
}

void frmQorvel::tvQorvel_NodeClick(int node) {
    mNodeClicked = true;
    if (node == platform::TreeControl::noNode || mTree->selectedNode() == platform::TreeControl::noNode) {
        return;
    }
    const CQorvelItem* item = NodeItem(mTree->selectedNode());
    if (!item) {
        return;
    }
    const bool objectWithoutData =
        item->objectType == host::ObjectType::Form || item->objectType == host::ObjectType::Report;
    const bool queryNode = item->objectType == host::ObjectType::Query;
    const QString& name = item->name;
    const host::ObjectRef query{host::ObjectType::Query, name};
    mEditEnabled = queryNode && !IsQueryNew(mContext, query) && !IsQueryDirty(mContext, query);
    mOpenEnabled = !objectWithoutData;
}

void frmQorvel::tvQorvel_MouseDown() {
    mBlockExpand = false;
    mNodeClicked = false;
}

void frmQorvel::tvQorvel_KeyDown() {
    mBlockExpand = false;
}

bool frmQorvel::tvQorvel_MouseUp(bool rightButton, int nodeUnderPointer) {
    const int selected = mTree->selectedNode();
    const bool overSelected = selected != platform::TreeControl::noNode && nodeUnderPointer == selected;
    if (!rightButton) {
        if (overSelected) {
            mBlockExpand = true;
        }
        return false;
    }
    return overSelected;
}

void frmQorvel::tvQorvel_DblClick() {
    if (mNodeClicked && mTree->selectedNode() != platform::TreeControl::noNode) {
        OpenObject(host::View::Normal);
    }
}

void frmQorvel::tbButtons_ButtonClick(const QString& key) {
    if (key == QLatin1String("Open")) {
        OpenObject(host::View::Normal);
    } else if (key == QLatin1String("Design")) {
        OpenObject(host::View::Design);
    } else if (key == QLatin1String("Edit")) {
        OpenSQLEditor();
    }
}

const CQorvelItem* frmQorvel::NodeItem(int node) const {
    if (node < 0 || node >= static_cast<int>(mNodeItems.size())) {
        return nullptr;
    }
    return mNodeItems[static_cast<std::size_t>(node)];
}

QString frmQorvel::TreeText() const {
    return ::TreeText(mQorvelTree);
}

QString frmQorvel::NodeDescription(int node) {
    if (node < 0 || node >= static_cast<int>(mNodeItems.size())) {
        return QString();
    }
    CQorvelItem& item = *mNodeItems[static_cast<std::size_t>(node)];
    if (!item.description) {
        item.description = ObjectDescription(mContext, {item.objectType, item.name});
    }
    return *item.description;
}

void frmQorvel::OpenObject(host::View view) {
    const int node = mTree->selectedNode();
    if (node == platform::TreeControl::noNode) {
        ShowMessage(QStringLiteral("Select object first!"), static_cast<int>(platform::MsgIcon::None));
        return;
    }
    const CQorvelItem* item = NodeItem(node);
    if (!item) {
        return;
    }
    ErrorBoundary(mContext.services(), QStringLiteral("OpenObject"), kModule, [&] {
        const QString& name = item->name;
        host::Application& application = mContext.host();
        const auto openOrSay = [&](const QString& objectWord, const std::function<void()>& open) {
            try {
                open();
            } catch (const host::Error&) {
                // The name goes in last so that a name holding "{object}" is shown as it is.
                QString message = QStringLiteral("Can't open {object} '{name}', it contains errors.");
                message.replace(QStringLiteral("{object}"), objectWord)
                    .replace(QStringLiteral("{name}"), name);
                ShowMessage(message, static_cast<int>(platform::MsgIcon::Critical));
            }
        };
        if (IsQuery(mContext, name)) {
            openOrSay(QStringLiteral("query"), [&] {
                application.doCmd().openQuery(name, view, host::DataMode::Edit);
                if (view == host::View::Normal) {
                    application.screen().activeDatasheetSetFocus();
                }
            });
        } else if (IsTable(mContext, name)) {
            openOrSay(QStringLiteral("table"), [&] {
                application.doCmd().openTable(name, view, host::DataMode::Edit);
                if (view == host::View::Normal) {
                    application.screen().activeDatasheetSetFocus();
                }
            });
        } else if (item->objectType == host::ObjectType::Form) {
            // A control's node reads Form.Control; forms always open in design view.
            openOrSay(QStringLiteral("form"), [&] {
                application.doCmd().openForm(name.section(QLatin1Char('.'), 0, 0), host::View::Design,
                                             QString(), QString(), host::DataMode::PropertySettings,
                                             host::WindowMode::Normal);
            });
        } else if (item->objectType == host::ObjectType::Report) {
            openOrSay(QStringLiteral("report"), [&] {
                application.doCmd().openReport(name.section(QLatin1Char('.'), 0, 0), host::View::Design);
            });
        }
    });
}

void frmQorvel::OpenSQLEditor() {
    const int node = mTree->selectedNode();
    if (node == platform::TreeControl::noNode) {
        ShowMessage(QStringLiteral("Select object first!"), static_cast<int>(platform::MsgIcon::Exclamation));
        return;
    }
    const CQorvelItem* item = NodeItem(node);
    if (!item) {
        return;
    }
    ErrorBoundary(mContext.services(), QStringLiteral("OpenSQLEditor"), kModule, [&] {
        const QString& name = item->name;
        if (IsQuery(mContext, name)) {
            ShowQueryEditor(mContext, name, false);
        } else {
            ShowMessage(QStringLiteral("This action is only available for queries."),
                        static_cast<int>(platform::MsgIcon::Information));
        }
    });
}

void frmQorvel::Close() {
    if (mClosed) {
        return;
    }
    mClosed = true;
    Form_Unload();
    emit closed();
}

void frmQorvel::Form_Unload() {
    try {
        DeleteTemporaryQueries(mContext);
    } catch (...) {
    }
}
