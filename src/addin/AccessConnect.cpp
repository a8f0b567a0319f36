#include "addin/AccessConnect.h"

#include "addin/CommandBarButton.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "platform/LoadedForms.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"
#include "support/ErrorBoundary.h"
#include "trees/CQorvelFind.h"
#include "trees/frmQorvel.h"

#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace {

const QString kModule = QStringLiteral("AccessConnect");

// The first host version served through the ribbon.
constexpr double kRibbonVersion = 12;

// Object kind of the current object (128: none, or one the commands do not apply to).
int ObjectKind(const std::optional<host::ObjectRef>& object) {
    if (!object) {
        return 128;
    }
    switch (object->type) {
        case host::ObjectType::Table:
            return 1;
        case host::ObjectType::Query:
        case host::ObjectType::ServerView:
        case host::ObjectType::StoredProcedure:
        case host::ObjectType::Function:
            return 2;
        case host::ObjectType::Form:
            return 4;
        case host::ObjectType::Report:
            return 8;
        default:
            return 128;
    }
}

// Val(): the number at the start of a text, 0 when there is none.
double LeadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const auto match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0;
}

QString XmlAttribute(const QString& name, const QString& value) {
    if (value.isEmpty()) {
        return QString();
    }
    QString text = value.toHtmlEscaped();
    text.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + text + QLatin1Char('"');
}

// One button of the ribbon definition, its attributes in the order the definition has always had.
QString ButtonElement(const RibbonCommand& command, int indent) {
    QString element =
        QString(indent, u' ') + QStringLiteral("<button") + XmlAttribute(QStringLiteral("id"), command.id);
    const QString label = XmlAttribute(QStringLiteral("label"), command.label);
    const QString image = XmlAttribute(QStringLiteral("imageMso"), command.image);
    switch (command.place) {
        case RibbonCommand::Place::Large:
            element += label + XmlAttribute(QStringLiteral("size"), QStringLiteral("large")) + image;
            break;
        case RibbonCommand::Place::SplitFace:
            element += image + label;
            break;
        default:
            element += label + image;
            break;
    }
    return element + XmlAttribute(QStringLiteral("onAction"), QStringLiteral("RunQorvel")) +
           XmlAttribute(QStringLiteral("supertip"), command.tip) + QStringLiteral("/>");
}

// The tree commands: the procedure that reports their failures, the message when the current object does
// not suit them, and the tree window's mode.
struct TreeCommand {
    QString procedure;
    QString notAvailable;
    int mode;
};

const TreeCommand& TreeCommandOf(ecbToolbar command) {
    static const TreeCommand uses{QStringLiteral("Qorvel"), QStringLiteral("Qorvel is not available!"), 1};
    static const TreeCommand usedBy{QStringLiteral("QueryUsedBy"),
                                    QStringLiteral("Query Used By is not available!"), 2};
    static const TreeCommand usesFind{QStringLiteral("QorvelFind"),
                                      QStringLiteral("Qorvel Find is not available!"), 3};
    static const TreeCommand usedByFind{QStringLiteral("QueryUsedByFind"),
                                        QStringLiteral("Query Used By Find is not available!"), 4};
    switch (command) {
        case ecbQueryUsedBy:
            return usedBy;
        case ecbQorvelFind:
            return usesFind;
        case ecbQueryUsedByFind:
            return usedByFind;
        default:
            return uses;
    }
}

}  // namespace

AccessConnect::AccessConnect(platform::Services services, ToolWindows* windows)
    : mServices(std::move(services)), mWindows(windows) {
    // One registry for every connection of this object: the windows of an earlier connection stay listed.
    if (!mServices.forms) {
        mServices.forms = std::make_shared<platform::LoadedForms>();
    }
    ButtonEnabled.fill(true);
}

AddinContext& AccessConnect::Context() const {
    if (!mContext) {
        RaiseObjectNotSet();
    }
    return *mContext;
}

AccessConnect::~AccessConnect() = default;

double AccessConnect::AccessVersion() const {
    return LeadingNumber(Host().accessVersion());
}

QString AccessConnect::IRibbonExtensibility_GetCustomUI(const QString& RibbonID) const {
    Q_UNUSED(RibbonID)
    return GetRibbonXML();
}

const std::vector<RibbonCommand>& AccessConnect::Commands() {
    using Place = RibbonCommand::Place;
    static const std::vector<RibbonCommand> commands{
        {QStringLiteral("QueryTemplates"), QStringLiteral("Query Templates"),
         QStringLiteral("CreateQueryFromWizard"),
         QStringLiteral("Select a SQL template or start one of Access' query builders"), Place::Large,
         &AccessConnect::NewQuery},
        {QStringLiteral("QueryEditor"), QStringLiteral("Query Editor"),
         QStringLiteral("AdpStoredProcedureEditSql"),
         QStringLiteral("Open the Query Editor with the selected query"), Place::Large,
         &AccessConnect::QueryEditor},
        // The split button's own face has no command: the availability pass is all it does.
        {QStringLiteral("Dependencies"), QStringLiteral("Dependencies"),
         QStringLiteral("DatabaseObjectDependencies"),
         QStringLiteral(
             "Show dependencies between the current query and \rthe queries and tables in the database"),
         Place::SplitFace, nullptr},
        {QStringLiteral("Uses"), QStringLiteral("Uses"), QString(),
         QStringLiteral("Show queries and tables that are used by the current query"), Place::SplitMenu,
         &AccessConnect::Qorvel},
        {QStringLiteral("UsesFind"), QStringLiteral("Uses + Find"), QString(),
         QStringLiteral("Show queries and tables that are used by the current query\rmark the queries that "
                        "contain a certain field (Find)"),
         Place::SplitMenu, &AccessConnect::QorvelFind},
        {QStringLiteral("UsedBy"), QStringLiteral("Used By"), QString(),
         QStringLiteral("Show objects that use the current query or table"), Place::SplitMenu,
         &AccessConnect::QueryUsedBy},
        {QStringLiteral("UsedByFind"), QStringLiteral("Used By + Find"), QString(),
         QStringLiteral("Show objects that use the current query or table\rmark the queries that contain a "
                        "certain field (Find)"),
         Place::SplitMenu, &AccessConnect::QueryUsedByFind},
        {QStringLiteral("Help"), QStringLiteral("Help"), QStringLiteral("FunctionsLogicalInsertGallery"),
         QStringLiteral("Open the Qorvel Editor help file"), Place::Button, &AccessConnect::ShowHelpContents},
        {QStringLiteral("About"), QStringLiteral("About"), QString(), QString(), Place::Button,
         &AccessConnect::About},
        {QStringLiteral("Contents"), QString(), QString(), QString(), Place::NotOnRibbon,
         &AccessConnect::ShowHelpContents},
    };
    return commands;
}

QString AccessConnect::GetRibbonXML() const {
    using Place = RibbonCommand::Place;
    const auto buttons = [](Place place, int indent) {
        QString elements;
        for (const RibbonCommand& command : Commands()) {
            if (command.place == place) {
                elements += ButtonElement(command, indent);
            }
        }
        return elements;
    };
    return QStringLiteral(
               "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">"
               " <ribbon>  <tabs>   <tab idMso=\"TabCreate\">"
               "    <group id=\"CustomGroupCreateQueries\" label=\"Queries\" "
               "insertAfterMso=\"GroupCreateReports\">") +
           buttons(Place::Large, 5) +
           QStringLiteral("     <separator id=\"Separator1\"/>     <splitButton id=\"splDependencies\">") +
           buttons(Place::SplitFace, 6) + QStringLiteral("      <menu id=\"mnusplDependencies\">") +
           buttons(Place::SplitMenu, 7) + QStringLiteral("      </menu>     </splitButton>") +
           buttons(Place::Button, 5) + QStringLiteral("    </group>   </tab>  </tabs> </ribbon></customUI>");
}

void AccessConnect::RunQorvel(const IRibbonControl& control) {
    ToolbarButtonsEnable();
    for (const RibbonCommand& command : Commands()) {
        if (command.id == control.Id) {
            if (command.procedure) {
                (this->*command.procedure)();
            }
            return;
        }
    }
}

void AccessConnect::ToolbarButtonsEnable() {
    try {
        if (!AddInToolbar && AccessVersion() < kRibbonVersion) {
            return;
        }
        const int kind = ObjectKind(Host().currentObject());
        ToolbarMode = true;
        if (AccessVersion() >= kRibbonVersion) {
            ToolbarMode = false;
        }
        const bool isNew = IsQueryNew(Context());
        const bool isDirty = IsQueryDirty(Context());

        const bool queryEditor = kind == 2 && !isDirty && !isNew;
        const bool qorvel = (kind == 2 || kind == 4 || kind == 8) && !isNew;
        const bool queryUsedBy = (kind == 1 || kind == 2) && !isNew;

        if (ToolbarMode) {
            // Only a button whose state changes is touched: focusing it is what makes the host redraw it.
            auto update = [this](CommandBarButton* button, bool enabled) {
                if (!button) {
                    RaiseObjectNotSet();
                }
                if (button->Enabled() != enabled) {
                    button->SetEnabled(enabled);
                    button->SetFocus();
                    AddInToolbar->ReleaseFocus();
                }
            };
            update(mQueryEditor, queryEditor);
            update(mQorvel, qorvel);
            update(mQueryUsedBy, queryUsedBy);
            update(mQorvelFind, mQorvel->Enabled());
            update(mQueryUsedByFind, mQueryUsedBy->Enabled());
            update(mQueryDatasheet, mQueryUsedBy->Enabled());
            update(mQueryDesign, mQueryUsedBy->Enabled());
        } else {
            ButtonEnabled[ecbQueryEditor] = queryEditor;
            ButtonEnabled[ecbQorvel] = qorvel;
            ButtonEnabled[ecbQueryUsedBy] = queryUsedBy;
            ButtonEnabled[ecbQorvelFind] = ButtonEnabled[ecbQorvel];
            ButtonEnabled[ecbQueryUsedByFind] = ButtonEnabled[ecbQueryUsedBy];
            ButtonEnabled[ecbQueryDatasheet] = ButtonEnabled[ecbQueryUsedBy];
            ButtonEnabled[ecbQueryDesign] = ButtonEnabled[ecbQueryUsedBy];
        }
    } catch (...) {
        ToolbarButtonsDisable();
    }
}

void AccessConnect::ToolbarButtonsDisable() {
    if (!ToolbarMode || !AddInToolbar) {
        return;
    }
    for (CommandBarButton* button : {mQueryEditor, mQorvel, mQueryUsedBy, mQorvelFind, mQueryUsedByFind}) {
        try {
            if (button) {
                button->SetEnabled(false);
            }
        } catch (...) {
        }
    }
}

void AccessConnect::AddinInstance_OnConnection(host::Application* Application) {
    ErrorBoundary(Services(), QStringLiteral("AddinInstance_OnConnection"), kModule, [&] {
        mContext = std::make_shared<AddinContext>(Application, mServices, mWindows);
        ButtonEnabled.fill(true);
        if (AccessVersion() < kRibbonVersion) {
            mWatcher = Context().windows().CreateWatcherWindow(Context());
            if (mWatcher) {
                mWatcher->SetAccessConnect(this);
                mWatcher->SetInterval(200);
            }
        }
    });
}

void AccessConnect::AddinInstance_OnDisconnection() {
    ErrorBoundary(Services(), QStringLiteral("AddinInstance_OnDisconnection"), kModule, [&] {
        if (mWatcher) {
            auto watcher = std::move(mWatcher);
            watcher->SetAccessConnect(nullptr);
            watcher->Unload();
        }
    });
    // Windows still open keep the context; only its host calls end here.
    if (mContext) {
        mContext->disconnect();
    }
}

bool AccessConnect::Available(ecbToolbar command, const QString& notAvailable) const {
    if (ButtonEnabled[command]) {
        return true;
    }
    platform::showMessage(Services(), notAvailable, platform::MsgIcon::Exclamation);
    return false;
}

void AccessConnect::NewQuery() {
    ErrorBoundary(Services(), QStringLiteral("NewQuery"), kModule, [this] {
        auto templates = Context().windows().CreateTemplatesWindow(Context());
        if (!templates) {
            return;
        }
        templates->Init(3);
        templates->ShowModal();
    });
}

void AccessConnect::QueryEditor() {
    ErrorBoundary(Services(), QStringLiteral("QueryEditor"), kModule, [this] {
        if (!Available(ecbQueryEditor, QStringLiteral("Query Editor is not available!"))) {
            return;
        }
        // A server view, stored procedure or function passes the test but has no editor.
        const std::optional<host::ObjectRef> current = Host().currentObject();
        if (current && current->type == host::ObjectType::Query) {
            ShowQueryEditor(Context(), current->name, false);
        }
    });
}

void AccessConnect::Qorvel() {
    const TreeCommand& command = TreeCommandOf(ecbQorvel);
    OpenTreeWindow(command.procedure, ecbQorvel, command.notAvailable, command.mode);
}

void AccessConnect::QueryUsedBy() {
    const TreeCommand& command = TreeCommandOf(ecbQueryUsedBy);
    OpenTreeWindow(command.procedure, ecbQueryUsedBy, command.notAvailable, command.mode);
}

void AccessConnect::OpenTreeWindow(const QString& procedure, ecbToolbar command, const QString& notAvailable,
                                   int mode) {
    ErrorBoundary(Services(), procedure, kModule, [&] {
        if (!Available(command, notAvailable)) {
            return;
        }
        // The window finds the current object itself, and tells the user itself when it has nothing.
        auto window = Context().windows().CreateTreeWindow(Context());
        if (window && window->Initialize(mode)) {
            window->Show();
        }
    });
}

void AccessConnect::QorvelFind() {
    const TreeCommand& command = TreeCommandOf(ecbQorvelFind);
    OpenFindDialog(command.procedure, ecbQorvelFind, command.notAvailable, command.mode);
}

void AccessConnect::QueryUsedByFind() {
    const TreeCommand& command = TreeCommandOf(ecbQueryUsedByFind);
    OpenFindDialog(command.procedure, ecbQueryUsedByFind, command.notAvailable, command.mode);
}

void AccessConnect::OpenFindDialog(const QString& procedure, ecbToolbar command, const QString& notAvailable,
                                   int mode) {
    if (!Available(command, notAvailable)) {
        return;
    }
    // Each step reports its own failure and the next one still runs; without a dialog there is nothing
    // left to run.
    std::shared_ptr<FindDialogWindow> dialog;
    if (!ErrorBoundary(Services(), procedure, kModule,
                       [&] { dialog = Context().windows().CreateFindDialog(Context()); }) ||
        !dialog) {
        return;
    }
    ErrorBoundary(Services(), procedure, kModule, [&] { dialog->PrepareTreeFind(mode); });
    // Only the Uses find needs a data source to offer field names from; the Used By find always shows.
    bool show = true;
    if (mode == 3 &&
        !ErrorBoundary(Services(), procedure, kModule, [&] { show = dialog->mfValidDataSource(); })) {
        show = false;
    }
    if (show) {
        ErrorBoundary(Services(), procedure, kModule, [&] { dialog->Show(); });
    } else {
        ErrorBoundary(Services(), procedure, kModule, [&] { dialog->Unload(); });
    }
}

std::unique_ptr<frmQorvel> AccessConnect::BuildTree(
    ecbToolbar command, const std::function<std::unique_ptr<frmQorvel>(AddinContext&)>& createWindow,
    const QString& findWhat, bool wholeWord) {
    ToolbarButtonsEnable();
    const TreeCommand& tree = TreeCommandOf(command);
    std::unique_ptr<frmQorvel> window;
    if (!Available(command, tree.notAvailable)) {
        return window;
    }
    ErrorBoundary(Services(), tree.procedure, kModule, [&] {
        if (tree.mode == frmQorvel::ModeUses || tree.mode == frmQorvel::ModeUsedBy) {
            window = createWindow(Context());
            if (!window->Initialize(tree.mode)) {
                window.reset();
            }
            return;
        }
        // The find dialog, typed into and its Find button pressed.
        CQorvelFind find(Context());
        find.QorvelMode = tree.mode;
        find.CreateTreeWindow = [&] { return createWindow(Context()); };
        if (find.mfValidDataSource()) {
            window = find.cmdFind_Click(findWhat, wholeWord ? 1 : 0);
        }
    });
    return window;
}

void AccessConnect::OpenCurrentObject(host::View view) {
    QString objectWord;
    QString name;
    try {
        auto& application = Host();
        const std::optional<host::ObjectRef> current = application.currentObject();
        if (!current) {
            return;
        }
        name = current->name;
        switch (current->type) {
            case host::ObjectType::Table:
                objectWord = QStringLiteral("table");
                application.doCmd().openTable(name, view, host::DataMode::Edit);
                break;
            case host::ObjectType::Query:
                objectWord = QStringLiteral("query");
                if (view == host::View::Design) {
                    CloseQueryEditor(Context(), name);
                }
                application.doCmd().openQuery(name, view, host::DataMode::Edit);
                break;
            default:
                // Nothing was opened, so there is no datasheet to focus either.
                return;
        }
        if (view == host::View::Normal) {
            application.screen().activeDatasheetSetFocus();
        }
    } catch (...) {
        QString message = QStringLiteral("Can't open {object} '{name}', it contains errors.");
        if (!objectWord.isEmpty()) {
            message.replace(QLatin1String("{object}"), objectWord);
        }
        // The name goes in last so that a name holding "{object}" is shown as it is.
        message.replace(QLatin1String("{name}"), name);
        platform::showMessage(Services(), message, platform::MsgIcon::Critical);
    }
}

void AccessConnect::ShowHelpContents() {
    try {
        Context().windows().OpenHelpContents(Context(), HelpFilePath());
    } catch (...) {
        // A missing help file never troubles the user's work.
    }
}

void AccessConnect::About() {
    ErrorBoundary(Services(), QStringLiteral("About"), kModule,
                  [this] { Context().windows().ShowAbout(Context()); });
}

void AccessConnect::mNewQuery_Click() {
    NewQuery();
}
void AccessConnect::mQueryEditor_Click() {
    QueryEditor();
}
void AccessConnect::mQorvel_Click() {
    Qorvel();
}
void AccessConnect::mQueryUsedBy_Click() {
    QueryUsedBy();
}
void AccessConnect::mQorvelFind_Click() {
    QorvelFind();
}
void AccessConnect::mQueryUsedByFind_Click() {
    QueryUsedByFind();
}
void AccessConnect::mHelp_Click() {
    ShowHelpContents();
}
void AccessConnect::mAbout_Click() {
    About();
}

void AccessConnect::mQueryDatasheet_Click() {
    try {
        OpenCurrentObject(host::View::Normal);
    } catch (...) {
    }
}

void AccessConnect::mQueryDesign_Click() {
    try {
        OpenCurrentObject(host::View::Design);
    } catch (...) {
    }
}

void AccessConnect::mToolbarHelp_Click() {
    try {
        ShowHelpContents();
    } catch (...) {
    }
}
