#include "cli/TreeCommand.h"

#include "addin/AccessConnect.h"
#include "catalogue/mMain.h"
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "platform/ProgressWindow.h"
#include "platform/Prompter.h"
#include "trees/TreeTextRenderer.h"
#include "trees/frmQorvel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMap>
#include <QPointer>

#include <unistd.h>
#include <csignal>
#include <cstdio>

namespace cli {

namespace {

// Exit code of a build the user interrupted with Ctrl+C (128 + SIGINT, as shells report it).
constexpr int exitInterrupted = 130;

volatile std::sig_atomic_t gInterrupted = 0;  // cleared once the build has heard it
volatile std::sig_atomic_t gInterruptSeen = 0;

extern "C" void onInterrupt(int) {
    gInterrupted = 1;
    gInterruptSeen = 1;
}

// The progress window as one status line on stderr (drawn only on a terminal). Ctrl+C is its Cancel button.
class TerminalProgressWindow : public platform::ProgressWindow {
public:
    explicit TerminalProgressWindow(bool draw) : mDraw(draw) {}

    QString caption() const override { return QStringLiteral("Process"); }
    QString labelText() const override { return mLabel; }
    void setLabelText(const QString& text) override {
        mLabel = text;
        redraw();
    }
    double minimum() const override { return mMinimum; }
    void setMinimum(double value) override { mMinimum = value; }
    double maximum() const override { return mMaximum; }
    void setMaximum(double value) override { mMaximum = value; }
    double value() const override { return mValue; }
    bool setValue(double value) override {
        if (value < mMinimum || value > mMaximum) {
            return false;
        }
        const int before = percent();
        mValue = value;
        if (percent() != before) {
            redraw();
        }
        return true;
    }
    void show() override {
        mVisible = true;
        markLoaded();
        redraw();
    }
    bool isVisible() const override { return mVisible; }
    void setTopMost(bool) override {}
    bool isTopMost() const override { return true; }
    void repaint() override { redraw(); }
    void close() override {
        if (!mVisible) {
            return;
        }
        mVisible = false;
        markUnloaded();
        if (mDraw) {
            err() << "\r\033[K";
            err().flush();
        }
        emit closing();
    }
    void dispose() override {
        close();
        deleteLater();
    }

    // Called between two steps of a build.
    void poll() {
        if (gInterrupted && mVisible) {
            gInterrupted = 0;
            emit cancelClicked();
        }
    }

private:
    int percent() const {
        const double span = mMaximum - mMinimum;
        return span > 0 ? static_cast<int>((mValue - mMinimum) * 100 / span) : 0;
    }
    void redraw() {
        if (mDraw && mVisible && !mLabel.isEmpty()) {
            err() << "\r\033[K" << mLabel << ' ' << percent() << '%';
            err().flush();
        }
    }

    bool mDraw;
    bool mVisible = false;
    QString mLabel;
    double mMinimum = 0;
    double mMaximum = 100;
    double mValue = 0;
};

class TerminalProgressWindows : public platform::ProgressWindowFactory, public platform::EventPump {
public:
    explicit TerminalProgressWindows(bool draw) : mDraw(draw) {}
    platform::ProgressWindow* create() override {
        mWindow = new TerminalProgressWindow(mDraw);
        return mWindow;
    }
    void processPendingEvents() override {
        QCoreApplication::processEvents();
        if (mWindow) {
            mWindow->poll();
        }
    }

private:
    bool mDraw;
    QPointer<TerminalProgressWindow> mWindow;
};

int usage(const QString& text) {
    err() << "qorvel: " << text << '\n';
    return exitUsage;
}

// The objects of that name in the database (ignoring case), by type (0 table, 1 query, 2 form, 3 report),
// each with its name as the database spells it.
QMap<int, QString> objectsNamed(const AddinContext& context, const QString& name,
                                qdb::QdbDatabase& database) {
    QMap<int, QString> found;
    if (IsTable(context, name, &database)) {
        found.insert(host::acTable, database.tableDef(name)->name());
    }
    if (IsQuery(context, name, &database)) {
        found.insert(host::acQuery, database.queryDef(name)->name());
    }
    const auto document = [&](int type, const QString& container) {
        for (const QString& stored : database.documentNames(container)) {
            if (stored.compare(name, Qt::CaseInsensitive) == 0) {
                found.insert(type, stored);
            }
        }
    };
    document(host::acForm, QStringLiteral("Forms"));
    document(host::acReport, QStringLiteral("Reports"));
    return found;
}

const QStringList kTypeNames = {QStringLiteral("table"), QStringLiteral("query"), QStringLiteral("form"),
                                QStringLiteral("report")};

// Puts the interrupt signal's handling back, whatever way the command ends.
struct InterruptHandling {
    ~InterruptHandling() { std::signal(SIGINT, SIG_DFL); }
};

}  // namespace

int runTreeCommand(TreeKind kind, const QString& synopsis, const QStringList& arguments) {
    const bool uses = kind == TreeKind::Uses;
    const QCommandLineOption findOption(
        QStringLiteral("find"), QStringLiteral("Marks with \" (*)\" every query whose SQL contains TEXT."),
        QStringLiteral("TEXT"));
    const QCommandLineOption wholeWordOption(QStringLiteral("whole-word"),
                                             QStringLiteral("Counts only whole-word occurrences of TEXT."));
    const QCommandLineOption typeOption(
        QStringLiteral("type"), QStringLiteral("Which object is meant when several kinds share the name."),
        QStringLiteral("TYPE"));
    CommandLine line(
        uses ? QStringLiteral("uses") : QStringLiteral("usedby"), synopsis,
        (uses ? QStringLiteral("Prints the tree of the tables and queries that OBJECT reads.\n")
              : QStringLiteral("Prints the tree of the queries, forms and reports that read OBJECT.\n")) +
            QStringLiteral("Exit codes: 0 tree printed, 1 nothing to show, 2 usage error") +
            (uses ? QString() : QStringLiteral(", 130 interrupted")) + QLatin1Char('.'),
        {findOption, wholeWordOption, typeOption}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString objectName = line.positional().at(1);
    const bool findGiven = line.isSet(QStringLiteral("find"));
    const QString find = line.value(QStringLiteral("find"));
    const bool wholeWord = line.isSet(QStringLiteral("whole-word"));
    const QString type = line.value(QStringLiteral("type"));
    if (findGiven && find.isEmpty()) {
        return usage(QStringLiteral("--find needs a text of at least one character"));
    }
    if (wholeWord && !findGiven) {
        return usage(QStringLiteral("--whole-word goes with --find"));
    }
    int requestedType = -1;
    if (!type.isEmpty()) {
        requestedType = static_cast<int>(kTypeNames.indexOf(type.toLower()));
        if (requestedType < 0) {
            return usage(QStringLiteral("--type is one of table, query, form, report"));
        }
    }
    HostSession host;
    if (!host.open(line.positional().at(0))) {
        return exitUsage;
    }
    qdb::QdbDatabase& database = host.database();
    const QMap<int, QString> objects = objectsNamed(host.context(), objectName, database);
    const QList<int> types = objects.keys();
    int objectType = requestedType;
    if (requestedType >= 0 && !types.contains(requestedType)) {
        return usage(QStringLiteral("no ") + kTypeNames.at(requestedType) + QStringLiteral(" named '") +
                     objectName + QStringLiteral("'"));
    }
    if (requestedType < 0) {
        if (types.isEmpty()) {
            return usage(QStringLiteral("no table, query, form or report named '") + objectName +
                         QStringLiteral("'"));
        }
        if (types.size() > 1) {
            QStringList kinds;
            for (int type : types) {
                kinds.append(kTypeNames.at(type));
            }
            return usage(QStringLiteral("'") + objectName + QStringLiteral("' names a ") +
                         kinds.join(QStringLiteral(" and a ")) + QStringLiteral("; choose one with --type"));
        }
        objectType = types.first();
    }

    qdb::HostApplication& application = host.application();
    application.setCurrentObject(objectType, objects.value(objectType));

    InterruptHandling interruptHandling;
    TerminalProgressWindows progress(kind == TreeKind::UsedBy && ::isatty(STDERR_FILENO) == 1);
    platform::Services services = host.context().services();
    services.events = &progress;
    if (kind == TreeKind::UsedBy) {
        gInterrupted = 0;
        gInterruptSeen = 0;
        std::signal(SIGINT, onInterrupt);
    }

    // The add-in as the host loads it; the command's procedure builds the tree its window would show. The
    // add-in goes after the window, which works in the add-in's context.
    AccessConnect addIn(services, nullptr);
    addIn.AddinInstance_OnConnection(&application);
    const ecbToolbar command =
        findGiven ? (uses ? ecbQorvelFind : ecbQueryUsedByFind) : (uses ? ecbQorvel : ecbQueryUsedBy);
    const std::unique_ptr<frmQorvel> tree = addIn.BuildTree(
        command,
        [&](AddinContext& context) { return std::make_unique<frmQorvel>(context, nullptr, &progress); }, find,
        wholeWord);
    addIn.AddinInstance_OnDisconnection();
    if (!tree) {
        if (gInterruptSeen) {
            err() << "qorvel: cancelled\n";
            return exitInterrupted;
        }
        return exitNothing;
    }
    WriteTreeText(tree->Tree(), out(), u"\n");
    return exitOk;
}
}  // namespace cli
