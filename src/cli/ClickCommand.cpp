// qorvel click: one click on a ribbon button of the add-in, with an object of a database as the host's
// current object. Prints the messages the add-in showed on stderr and the tools the command opened on
// stdout; the tools themselves are not built (qorvel uses and usedby build trees).
#include "addin/AccessConnect.h"
#include "catalogue/ToolWindows.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryEventPump.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemorySettingsStore.h"
#include "platform/InMemoryShell.h"
#include "platform/Platform.h"

#include <QRegularExpression>

#include <limits>

namespace {

using cli::err;
using cli::out;

const QString kName = QStringLiteral("click");
const QString kSynopsis =
    QStringLiteral("DB CONTROL_ID [--object NAME] [--type TYPE] [--state LIST] [--host-version TEXT]");

// The name of the host's current object, empty when there is none.
QString CurrentName(const AddinContext& context) {
    const std::optional<host::ObjectRef> current =
        context.application() ? context.application()->currentObject() : std::nullopt;
    return current ? current->name : QString();
}

// One stdout line per tool a command opened: "editor NAME", "tree MODE NAME", "find MODE NAME",
// "templates MODE", "about", "help PATH". A tool that is created but not shown prints nothing.
class PrintingToolWindows : public ToolWindows {
public:
    class Tree : public QorvelTreeWindow {
    public:
        explicit Tree(AddinContext& context) : mContext(context) {}
        bool Initialize(int mode, const QString& objectName) override {
            mMode = mode;
            mName = objectName.isEmpty() ? CurrentName(mContext) : objectName;
            return true;
        }
        void Show() override { out() << "tree " << mMode << ' ' << mName << '\n'; }

    private:
        AddinContext& mContext;
        int mMode = 0;
        QString mName;
    };

    class Editor : public QueryEditorWindow {
    public:
        explicit Editor(AddinContext& context) : mContext(context) {}
        bool Initialize(const QString& queryName, const QString& sql) override {
            Q_UNUSED(sql)
            mName = queryName;
            return true;
        }
        void Show() override { out() << "editor " << mName << '\n'; }
        void Unload() override { QueryEditorClosed(mContext, mName); }

    private:
        AddinContext& mContext;
        QString mName;
    };

    class Find : public FindDialogWindow {
    public:
        explicit Find(AddinContext& context) : mContext(context) {}
        void PrepareTreeFind(int qorvelMode) override { mMode = qorvelMode; }
        bool mfValidDataSource() override { return true; }
        void Show() override { out() << "find " << mMode << ' ' << CurrentName(mContext) << '\n'; }
        void Unload() override {}

    private:
        AddinContext& mContext;
        int mMode = 0;
    };

    class Templates : public TemplatesWindow {
    public:
        void Init(int mode) override { mMode = mode; }
        void ShowModal() override { out() << "templates " << mMode << '\n'; }

    private:
        int mMode = 0;
    };

    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext& context) override {
        return std::make_shared<Tree>(context);
    }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext& context) override {
        return std::make_shared<Editor>(context);
    }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext& context) override {
        return std::make_shared<Find>(context);
    }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override {
        return std::make_shared<Templates>();
    }
    void ShowAbout(AddinContext&) override { out() << "about\n"; }
    void OpenHelpContents(AddinContext&, const QString& helpFilePath) override {
        out() << "help " << helpFilePath << '\n';
    }
};

// The ids the add-in's ribbon callback dispatches.
QStringList ControlIds() {
    QStringList ids;
    for (const RibbonCommand& command : AccessConnect::Commands()) {
        ids.append(command.id);
    }
    return ids;
}

// The object with its name as the database spells it, as the host reports its current object.
host::ObjectRef StoredObject(host::ObjectType type, const QString& name, host::Database& database) {
    // A missing object keeps the name it was given.
    try {
        if (std::optional<host::ObjectRef> object = database.findObject(type, name)) {
            return *object;
        }
    } catch (const host::Error&) {
        // The database could not be read: the name as given.
    }
    return {type, name};
}

int Usage(const QString& text) {
    err() << "qorvel: " << text << '\n';
    return cli::exitUsage;
}

int RunClick(const QStringList& arguments) {
    const QCommandLineOption objectOption(QStringLiteral("object"),
                                          QStringLiteral("The current object (none when left out)."),
                                          QStringLiteral("NAME"));
    const QCommandLineOption typeOption(
        QStringLiteral("type"), QStringLiteral("Which object is meant when several kinds share the name."),
        QStringLiteral("TYPE"));
    const QCommandLineOption stateOption(QStringLiteral("state"),
                                         QStringLiteral("The object's state: open, changed, new."),
                                         QStringLiteral("LIST"));
    const QCommandLineOption versionOption(
        QStringLiteral("host-version"),
        QStringLiteral("The host's version text (default 12.0; below 12 the toolbar generation)."),
        QStringLiteral("TEXT"));
    // The count of arguments is checked below, with the message the other click mistakes have.
    cli::CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Clicks one of the add-in's ribbon buttons with NAME as the host's current object.\n"
                       "CONTROL_ID: ") +
            ControlIds().join(QStringLiteral(", ")) +
            QStringLiteral(
                " (case-sensitive)\n"
                "stdout: one line per tool the command opened: editor NAME, tree MODE NAME, find MODE\n"
                "NAME, templates MODE, about, help PATH. stderr: each message the add-in showed, on one\n"
                "line.\n"
                "Exit codes: 0 done, 1 the add-in showed a message (not available, cannot open, error),\n"
                "2 usage error."),
        {objectOption, typeOption, stateOption, versionOption}, 0, std::numeric_limits<qsizetype>::max());
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QStringList positional = line.positional();
    const QString object = line.value(QStringLiteral("object"));
    const QString type = line.value(QStringLiteral("type"));
    const QString state = line.value(QStringLiteral("state"));
    const QString version = line.value(QStringLiteral("host-version"));
    if (positional.size() != 2) {
        return Usage(QStringLiteral("expected DB CONTROL_ID; see qorvel click --help"));
    }
    const QString& databasePath = positional.at(0);
    const QString& controlId = positional.at(1);
    if (!ControlIds().contains(controlId)) {
        return Usage(QStringLiteral("no ribbon control '%1'; see qorvel click --help").arg(controlId));
    }
    std::optional<host::ObjectType> requestedType;
    if (!type.isEmpty()) {
        requestedType = cli::objectTypeNamed(type);
        if (!requestedType) {
            return Usage(QStringLiteral("--type is one of table, query, form, report"));
        }
        if (object.isEmpty()) {
            return Usage(QStringLiteral("--type goes with --object"));
        }
    }
    host::ObjectStates stateBits;
    if (!state.isEmpty()) {
        if (object.isEmpty()) {
            return Usage(QStringLiteral("--state goes with --object"));
        }
        for (const QString& part : state.split(u',')) {
            const QString word = part.trimmed().toLower();
            if (word == QLatin1String("open")) {
                stateBits |= host::ObjectState::Open;
            } else if (word == QLatin1String("changed")) {
                stateBits |= host::ObjectState::Dirty;
            } else if (word == QLatin1String("new")) {
                stateBits |= host::ObjectState::New;
            } else {
                return Usage(QStringLiteral("--state takes open, changed and new, not '%1'").arg(part));
            }
        }
    }
    cli::HostSession host;
    if (!host.open(databasePath)) {
        return cli::exitUsage;
    }
    qdb::HostApplication& application = host.application();
    qdb::QdbDatabase& database = host.database();
    if (!version.isEmpty()) {
        application.setVersion(version);
    }
    if (!object.isEmpty()) {
        host::ObjectRef current;
        if (requestedType) {
            current = StoredObject(*requestedType, object, database);
        } else {
            const QList<host::ObjectRef> found = cli::objectsNamed(object, database);
            if (found.isEmpty()) {
                return Usage(QStringLiteral("no table, query, form or report named '%1'; give its --type to "
                                            "click on a missing object")
                                 .arg(object));
            }
            if (found.size() > 1) {
                return Usage(QStringLiteral("'%1' names more than one kind of object; choose one with --type")
                                 .arg(object));
            }
            current = found.first();
        }
        application.setCurrentObject(current);
        if (stateBits != 0) {
            application.setObjectState(current, stateBits);
        }
    }

    platform::InMemoryPrompter prompter;
    platform::InMemoryShell shell;
    platform::InMemorySettingsStore settings;
    platform::InMemoryEventPump events;
    PrintingToolWindows windows;
    platform::Services services;
    services.prompter = &prompter;
    services.shell = &shell;
    services.settings = &settings;
    services.events = &events;
    AccessConnect connect(services, &windows);
    connect.AddinInstance_OnConnection(&application);
    connect.RunQorvel(IRibbonControl{controlId});
    connect.AddinInstance_OnDisconnection();

    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    for (const auto& message : prompter.messages()) {
        err() << QString(message.text).replace(lineBreaks, QStringLiteral(" ")).trimmed() << '\n';
    }
    return prompter.messages().empty() ? cli::exitOk : cli::exitNothing;
}

}  // namespace

QORVEL_COMMAND({kName, kSynopsis,
                QStringLiteral("Click a ribbon button of the add-in on an object of the database"),
                RunClick});
