// qorvel click: one click on a ribbon button of the add-in, with an object of a database as the host's
// current object. Prints the messages the add-in showed on stderr and the tools the command opened on
// stdout; the tools themselves are not built (qorvel uses and usedby build trees).
#include "addin/AccessConnect.h"
#include "addin/ToolWindows.h"
#include "catalogue/AccessApplication.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "cli/Command.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryEventPump.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemorySettingsStore.h"
#include "platform/InMemoryShell.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

using cli::err;
using cli::out;

const QStringList kTypeNames = {QStringLiteral("table"), QStringLiteral("query"), QStringLiteral("form"),
                                QStringLiteral("report")};

// One stdout line per tool a command opened: "editor NAME", "tree MODE NAME", "find MODE NAME",
// "templates MODE", "about", "help PATH". A tool that is created but not shown prints nothing.
class PrintingToolWindows : public ToolWindows {
public:
    class Tree : public QorvelTreeWindow {
    public:
        bool Initialize(int mode, const QString& objectName) override {
            mMode = mode;
            mName = objectName.isEmpty() && AccessApplication ? AccessApplication->currentObjectName()
                                                              : objectName;
            return true;
        }
        void Show() override { out() << "tree " << mMode << ' ' << mName << '\n'; }

    private:
        int mMode = 0;
        QString mName;
    };

    class Editor : public QueryEditorWindow {
    public:
        bool Initialize(const QString& queryName, const QString& sql) override {
            Q_UNUSED(sql)
            mName = queryName;
            return true;
        }
        void Show() override { out() << "editor " << mName << '\n'; }
        void Unload() override { QueryEditorClosed(mName); }

    private:
        QString mName;
    };

    class Find : public FindDialogWindow {
    public:
        void PrepareTreeFind(int qorvelMode) override { mMode = qorvelMode; }
        bool mfValidDataSource() override { return true; }
        void Show() override {
            out() << "find " << mMode << ' '
                  << (AccessApplication ? AccessApplication->currentObjectName() : QString()) << '\n';
        }
        void Unload() override {}

    private:
        int mMode = 0;
    };

    class Templates : public TemplatesWindow {
    public:
        void Init(int mode) override { mMode = mode; }
        void ShowModal() override { out() << "templates " << mMode << '\n'; }

    private:
        int mMode = 0;
    };

    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow() override { return std::make_shared<Tree>(); }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow() override { return std::make_shared<Editor>(); }
    std::shared_ptr<FindDialogWindow> CreateFindDialog() override { return std::make_shared<Find>(); }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow() override {
        return std::make_shared<Templates>();
    }
    void ShowAbout() override { out() << "about\n"; }
    void OpenHelpContents(const QString& helpFilePath) override { out() << "help " << helpFilePath << '\n'; }
};

// The ids of the ribbon's buttons, read from the definition itself, and "Contents", which the dispatch
// takes as "Help".
QStringList ControlIds() {
    QStringList ids;
    QXmlStreamReader reader(AccessConnect().GetRibbonXML());
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.attributes().hasAttribute(QStringLiteral("onAction"))) {
            ids.append(reader.attributes().value(QStringLiteral("id")).toString());
        }
    }
    ids.append(QStringLiteral("Contents"));
    return ids;
}

// The object types the name has in the database: 0 table, 1 query, 2 form, 3 report.
QList<int> TypesOf(const QString& name, host::Database& database) {
    QList<int> types;
    if (IsTable(name, &database)) {
        types.append(host::acTable);
    }
    if (IsQuery(name, &database) && !name.startsWith(u'~')) {
        types.append(host::acQuery);
    }
    if (database.documentNames(QStringLiteral("Forms")).contains(name, Qt::CaseInsensitive)) {
        types.append(host::acForm);
    }
    if (database.documentNames(QStringLiteral("Reports")).contains(name, Qt::CaseInsensitive)) {
        types.append(host::acReport);
    }
    return types;
}

// The name as the database spells it, as the host reports its current object.
QString StoredName(int type, const QString& name, host::Database& database) {
    try {
        switch (type) {
            case host::acTable:
                return database.tableDef(name)->name();
            case host::acQuery:
                return database.queryDef(name)->name();
            default:
                for (const QString& stored : database.documentNames(
                         type == host::acForm ? QStringLiteral("Forms") : QStringLiteral("Reports"))) {
                    if (stored.compare(name, Qt::CaseInsensitive) == 0) {
                        return stored;
                    }
                }
        }
    } catch (const host::Error&) {
        // A missing object keeps the name it was given.
    }
    return name;
}

int Usage(const QString& text) {
    err() << "qorvel: " << text << '\n';
    return cli::exitUsage;
}

void PrintHelp() {
    out()
        << "Usage: qorvel click DB CONTROL_ID [--object NAME] [--type table|query|form|report]\n"
           "                    [--state open,changed,new] [--host-version TEXT]\n\n"
           "Clicks one of the add-in's ribbon buttons with NAME as the host's current object.\n"
           "CONTROL_ID: "
        << ControlIds().join(QStringLiteral(", "))
        << " (case-sensitive)\n"
           "  --object NAME        the current object (none when left out)\n"
           "  --type TYPE          which object is meant when several kinds share the name\n"
           "  --state LIST         the object's state: open, changed, new\n"
           "  --host-version TEXT  the host's version text (default 12.0; below 12 the toolbar generation)\n"
           "stdout: one line per tool the command opened: editor NAME, tree MODE NAME, find MODE NAME,\n"
           "templates MODE, about, help PATH. stderr: each message the add-in showed, on one line.\n"
           "Exit codes: 0 done, 1 the add-in showed a message (not available, cannot open, error), 2 usage "
           "error.\n";
}

// Restores the process-wide state the command sets up, whatever way it ends.
struct AddinSession {
    ~AddinSession() {
        AccessApplication = nullptr;
        OpenEditors.reset();
        setToolWindows(nullptr);
        platform::services() = platform::Services();
    }
};

int RunClick(const QStringList& arguments) {
    QStringList positional;
    QString object, type, state, version;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            PrintHelp();
            return cli::exitOk;
        }
        QString* value = argument == QLatin1String("--object")         ? &object
                         : argument == QLatin1String("--type")         ? &type
                         : argument == QLatin1String("--state")        ? &state
                         : argument == QLatin1String("--host-version") ? &version
                                                                       : nullptr;
        if (value) {
            if (i + 1 >= arguments.size()) {
                return Usage(argument + QStringLiteral(" needs a value"));
            }
            *value = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--"))) {
            return Usage(QStringLiteral("unknown option ") + argument);
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 2) {
        return Usage(QStringLiteral("expected DB CONTROL_ID; see qorvel click --help"));
    }
    const QString& databasePath = positional.at(0);
    const QString& controlId = positional.at(1);
    if (!ControlIds().contains(controlId)) {
        return Usage(QStringLiteral("no ribbon control '%1'; see qorvel click --help").arg(controlId));
    }
    int requestedType = -1;
    if (!type.isEmpty()) {
        requestedType = static_cast<int>(kTypeNames.indexOf(type.toLower()));
        if (requestedType < 0) {
            return Usage(QStringLiteral("--type is one of table, query, form, report"));
        }
        if (object.isEmpty()) {
            return Usage(QStringLiteral("--type goes with --object"));
        }
    }
    int stateBits = 0;
    if (!state.isEmpty()) {
        if (object.isEmpty()) {
            return Usage(QStringLiteral("--state goes with --object"));
        }
        for (const QString& part : state.split(u',')) {
            const QString word = part.trimmed().toLower();
            if (word == QLatin1String("open")) {
                stateBits |= host::acObjStateOpen;
            } else if (word == QLatin1String("changed")) {
                stateBits |= host::acObjStateDirty;
            } else if (word == QLatin1String("new")) {
                stateBits |= host::acObjStateNew;
            } else {
                return Usage(QStringLiteral("--state takes open, changed and new, not '%1'").arg(part));
            }
        }
    }
    if (!QFileInfo(databasePath).isFile()) {
        return Usage(QStringLiteral("no database file ") + databasePath);
    }
    std::shared_ptr<qdb::QdbDatabase> database;
    try {
        database = qdb::QdbDatabase::open(databasePath);
    } catch (const host::Error& error) {
        return Usage(QStringLiteral("cannot open ") + databasePath + QStringLiteral(": ") +
                     error.description());
    }

    const std::unique_ptr<qdb::HostApplication> application = qdb::HostApplication::create();
    application->setDatabase(database);
    if (!version.isEmpty()) {
        application->setVersion(version);
    }
    if (!object.isEmpty()) {
        int objectType = requestedType;
        if (objectType < 0) {
            const QList<int> types = TypesOf(object, *database);
            if (types.isEmpty()) {
                return Usage(QStringLiteral("no table, query, form or report named '%1'; give its --type to "
                                            "click on a missing object")
                                 .arg(object));
            }
            if (types.size() > 1) {
                return Usage(QStringLiteral("'%1' names more than one kind of object; choose one with --type")
                                 .arg(object));
            }
            objectType = types.first();
        }
        const QString name = StoredName(objectType, object, *database);
        application->setCurrentObject(objectType, name);
        if (stateBits != 0) {
            application->setObjectState(objectType, name, stateBits);
        }
    }

    AddinSession session;
    platform::InMemoryPrompter prompter;
    platform::InMemoryShell shell;
    platform::InMemorySettingsStore settings;
    platform::InMemoryEventPump events;
    platform::services() = platform::Services{&prompter, &shell, &settings, &events};
    PrintingToolWindows windows;
    setToolWindows(&windows);

    AccessConnect connect;
    connect.AddinInstance_OnConnection(application.get());
    connect.RunQorvel(IRibbonControl{controlId});
    connect.AddinInstance_OnDisconnection();

    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    for (const auto& message : prompter.messages()) {
        err() << QString(message.text).replace(lineBreaks, QStringLiteral(" ")).trimmed() << '\n';
    }
    return prompter.messages().empty() ? cli::exitOk : cli::exitNothing;
}

}  // namespace

QORVEL_COMMAND({QStringLiteral("click"),
                QStringLiteral("DB CONTROL_ID [--object NAME] [--type TYPE] [--state LIST] "
                               "[--host-version TEXT]"),
                QStringLiteral("Click a ribbon button of the add-in on an object of the database"),
                RunClick});
