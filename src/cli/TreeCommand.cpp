#include "cli/TreeCommand.h"

#include "addin/AccessConnect.h"
#include "catalogue/ToolWindows.h"
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
#include "trees/CQorvelFind.h"
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

// The add-in's windows as this tool plays them: a tree window that is shown hands its tree text over for
// printing, and the find dialog in tree use is "typed into" with the --find options and its Find pressed.
class CliWindows : public ToolWindows {
public:
    CliWindows(platform::ProgressWindowFactory& progress, QString findWhat, bool wholeWord)
        : mProgress(progress), mFindWhat(std::move(findWhat)), mWholeWord(wholeWord) {}

    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext& context) override {
        return std::make_shared<TreeWindow>(*this, makeTree(context));
    }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext&) override { return nullptr; }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext& context) override {
        return std::make_shared<FindDialog>(*this, context);
    }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override { return nullptr; }
    void ShowAbout(AddinContext&) override {}
    void OpenHelpContents(AddinContext&, const QString&) override {}

    bool shown = false;
    QString shownTreeText;

private:
    std::unique_ptr<frmQorvel> makeTree(AddinContext& context) {
        return std::make_unique<frmQorvel>(context, nullptr, &mProgress);
    }

    void show(frmQorvel& tree) {
        shown = true;
        shownTreeText = tree.TreeText();
        tree.Close();
    }

    class TreeWindow : public QorvelTreeWindow {
    public:
        TreeWindow(CliWindows& owner, std::unique_ptr<frmQorvel> tree)
            : mOwner(owner), mTree(std::move(tree)) {}
        bool Initialize(int mode, const QString& objectName) override {
            return mTree->Initialize(mode, objectName);
        }
        void Show() override { mOwner.show(*mTree); }

    private:
        CliWindows& mOwner;
        std::unique_ptr<frmQorvel> mTree;
    };

    class FindDialog : public FindDialogWindow {
    public:
        FindDialog(CliWindows& owner, AddinContext& context) : mOwner(owner), mFind(context) {
            mFind.CreateTreeWindow = [this, &context] { return mOwner.makeTree(context); };
        }
        void PrepareTreeFind(int qorvelMode) override { mFind.QorvelMode = qorvelMode; }
        bool mfValidDataSource() override { return mFind.mfValidDataSource(); }
        void Show() override {
            // The dialog's load asks for the data source once more when no editor stands behind it.
            if (!mFind.mfValidDataSource()) {
                return;
            }
            if (const std::unique_ptr<frmQorvel> tree =
                    mFind.cmdFind_Click(mOwner.mFindWhat, mOwner.mWholeWord ? 1 : 0)) {
                mOwner.show(*tree);
            }
        }
        void Unload() override {}

    private:
        CliWindows& mOwner;
        CQorvelFind mFind;
    };

    platform::ProgressWindowFactory& mProgress;
    QString mFindWhat;
    bool mWholeWord;
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

    CliWindows windows(progress, find, wholeWord);
    {
        // The add-in as the host loads it; the command runs as its ribbon button would.
        AccessConnect addIn(services, &windows);
        addIn.AddinInstance_OnConnection(&application);
        addIn.RunQorvel({findGiven ? (uses ? QStringLiteral("UsesFind") : QStringLiteral("UsedByFind"))
                                   : (uses ? QStringLiteral("Uses") : QStringLiteral("UsedBy"))});
        addIn.AddinInstance_OnDisconnection();
    }
    if (!windows.shown) {
        if (gInterruptSeen) {
            err() << "qorvel: cancelled\n";
            return exitInterrupted;
        }
        return exitNothing;
    }
    out() << windows.shownTreeText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return exitOk;
}
}  // namespace cli
