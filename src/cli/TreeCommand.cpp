#include "cli/TreeCommand.h"

#include "addin/AccessConnect.h"
#include "catalogue/mMain.h"
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "cli/InterruptCleanup.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "platform/ProgressWindow.h"
#include "platform/Prompter.h"
#include "plavo/CCapture.h"
#include "trees/TreeTextRenderer.h"
#include "trees/frmQorvel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QSaveFile>
#include <QScreen>

#include <unistd.h>
#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

// A build stopped by SIGINT, SIGTERM or SIGHUP ends with 128 + the signal's number, as shells report it.
constexpr int exitInterruptedBase = 128;

// The progress window as one status line on stderr (drawn only on a terminal).
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

// The progress windows, and the host's message loop: between two steps of a build it looks for a signal,
// which stops the build as the progress window's Cancel button would.
class TerminalProgressWindows : public platform::ProgressWindowFactory, public platform::EventPump {
public:
    explicit TerminalProgressWindows(bool draw) : mDraw(draw) {}
    platform::ProgressWindow* create() override { return new TerminalProgressWindow(mDraw); }
    void processPendingEvents() override {
        QCoreApplication::processEvents();
        if (DeferredInterrupt::heard() != 0 && mTree) {
            mTree->CancelBuild();
        }
    }
    void watch(frmQorvel* tree) { mTree = tree; }

private:
    bool mDraw;
    QPointer<frmQorvel> mTree;
};

int usage(const QString& text) {
    err() << "qorvel: " << text << '\n';
    return exitUsage;
}

// The tree's picture as the tree window's Bitmap export draws it, into FILE, or into a file named after the
// object when FILE is a folder. Written whole or not at all.
int writePicture(const frmQorvel& tree, const QString& target) {
    const QString file = QFileInfo(target).isDir()
                             ? TreeExportFileName(target, tree.ObjectName(), QStringLiteral(".png"))
                             : target;
    TreePictureLook look;
    look.font = QGuiApplication::font();
    // The window's indentation: 250 twips at the screen's resolution.
    const qreal dpi =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchX() : 96;
    look.indentation = qRound(250.0 * dpi / 1440.0);
    const QImage picture = CCapture::CaptureTree(tree.tvQorvel(), look);
    if (picture.isNull()) {
        err() << "qorvel: the tree is too large for one picture\n";
        return exitNothing;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit()) {
        err() << "qorvel: cannot write '" << file
              << "': " << (out.errorString().isEmpty() ? QStringLiteral("write failed") : out.errorString())
              << '\n';
        return exitUsage;
    }
    return exitOk;
}

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
    const QCommandLineOption maxNodesOption(
        QStringLiteral("max-nodes"),
        QStringLiteral(
            "Past N nodes, a query already expanded elsewhere in the tree is shown as a leaf marked "
            "\" (...)\" (default %1).")
            .arg(QorvelTreeBuilder::kDefaultMaxNodes),
        QStringLiteral("N"));
    const QCommandLineOption pngOption(
        QStringLiteral("png"),
        QStringLiteral("Writes the tree's picture (PNG, as the tree window's Bitmap export draws it) to FILE "
                       "instead of printing the text; a FILE that is a folder gets OBJECT.png in it."),
        QStringLiteral("FILE"));
    CommandLine line(
        uses ? QStringLiteral("uses") : QStringLiteral("usedby"), synopsis,
        (uses ? QStringLiteral("Prints the tree of the tables and queries that OBJECT reads.\n")
              : QStringLiteral("Prints the tree of the queries, forms and reports that read OBJECT.\n")) +
            QStringLiteral(
                "Exit codes: 0 tree printed, 1 nothing to show or the tree could not be completed, 2 "
                "usage error, 128 + the signal's number when SIGINT, SIGTERM or SIGHUP stopped it."),
        {findOption, wholeWordOption, typeOption, maxNodesOption, pngOption}, 2, 2);
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
    const bool pngGiven = line.isSet(QStringLiteral("png"));
    const QString png = line.value(QStringLiteral("png"));
    if (pngGiven && png.isEmpty()) {
        return usage(QStringLiteral("--png needs a file name"));
    }
    if (wholeWord && !findGiven) {
        return usage(QStringLiteral("--whole-word goes with --find"));
    }
    qint64 maxNodes = QorvelTreeBuilder::kDefaultMaxNodes;
    if (line.isSet(QStringLiteral("max-nodes"))) {
        bool number = false;
        maxNodes = line.value(QStringLiteral("max-nodes")).toLongLong(&number);
        if (!number || maxNodes < 1) {
            return usage(QStringLiteral("--max-nodes needs a whole number of at least 1"));
        }
    }
    std::optional<host::ObjectType> requestedType;
    if (!type.isEmpty()) {
        requestedType = objectTypeNamed(type);
        if (!requestedType) {
            return usage(QStringLiteral("--type is one of table, query, form, report"));
        }
    }
    HostSession host;
    if (!host.open(line.positional().at(0))) {
        return exitUsage;
    }
    qdb::QdbDatabase& database = host.database();
    const QList<host::ObjectRef> objects = objectsNamed(objectName, database);
    const auto ofType = [&](host::ObjectType type) {
        return std::find_if(objects.cbegin(), objects.cend(),
                            [type](const host::ObjectRef& object) { return object.type == type; });
    };
    host::ObjectRef current;
    if (requestedType) {
        const auto found = ofType(*requestedType);
        if (found == objects.cend()) {
            return usage(QStringLiteral("no ") + objectTypeWord(*requestedType) + QStringLiteral(" named '") +
                         objectName + QStringLiteral("'"));
        }
        current = *found;
    } else {
        if (objects.isEmpty()) {
            return usage(QStringLiteral("no table, query, form or report named '") + objectName +
                         QStringLiteral("'"));
        }
        if (objects.size() > 1) {
            QStringList kinds;
            for (const host::ObjectRef& object : objects) {
                kinds.append(objectTypeWord(object.type));
            }
            return usage(QStringLiteral("'") + objectName + QStringLiteral("' names a ") +
                         kinds.join(QStringLiteral(" and a ")) + QStringLiteral("; choose one with --type"));
        }
        current = objects.first();
    }

    qdb::HostApplication& application = host.application();
    application.setCurrentObject(current);

    TerminalProgressWindows progress(kind == TreeKind::UsedBy && ::isatty(STDERR_FILENO) == 1);
    platform::Services services = host.context().services();
    services.events = &progress;
    // The add-in as the host loads it; it goes after the tree window, which works in its context.
    AccessConnect addIn(services, nullptr);
    std::unique_ptr<frmQorvel> tree;
    int signal = 0;
    {
        // From here the build writes temporary queries: a signal stops it, and it deletes them before the
        // command ends.
        DeferredInterrupt interrupt;
        // The command's procedure builds the tree its window would show.
        addIn.AddinInstance_OnConnection(&application);
        const ecbToolbar command =
            findGiven ? (uses ? ecbQorvelFind : ecbQueryUsedByFind) : (uses ? ecbQorvel : ecbQueryUsedBy);
        tree = addIn.BuildTree(
            command,
            [&](AddinContext& context) {
                auto window = std::make_unique<frmQorvel>(context, nullptr, &progress);
                window->setMaxNodes(maxNodes);
                progress.watch(window.get());
                return window;
            },
            find, wholeWord);
        addIn.AddinInstance_OnDisconnection();
        signal = DeferredInterrupt::heard();
    }
    if (signal != 0) {
        err() << "qorvel: cancelled\n";
        return exitInterruptedBase + signal;
    }
    if (!tree) {
        return exitNothing;
    }
    if (pngGiven) {
        return writePicture(*tree, png);
    }
    WriteTreeText(tree->Tree(), out(), u"\n");
    return exitOk;
}
}  // namespace cli
