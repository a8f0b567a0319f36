// qorvel-host: the desktop program that plays the database host and loads the registered add-ins.
#include "app/AddinHost.h"
#include "app/MainWindow.h"
#include "app/ScriptRunner.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QKeySequence>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Registering and unregistering need no display.
bool headless(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--register") || argument.startsWith("--unregister")) {
            return true;
        }
    }
    return false;
}

// The --type and --key values in the order they were given on the command line.
std::vector<app::Script::Step> scriptSteps(const QStringList& arguments, const QStringList& typed,
                                           const QStringList& keys) {
    std::vector<app::Script::Step> steps;
    qsizetype nextTyped = 0;
    qsizetype nextKey = 0;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            break;
        }
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const bool isType = name == QLatin1String("--type") || name == QLatin1String("-type");
        const bool isKey = name == QLatin1String("--key") || name == QLatin1String("-key");
        if (isType && nextTyped < typed.size()) {
            steps.push_back({false, typed[nextTyped++]});
        } else if (isKey && nextKey < keys.size()) {
            steps.push_back({true, keys[nextKey++]});
        }
        if ((isType || isKey) && !argument.contains(QLatin1Char('='))) {
            ++i;  // its value, which may look like an option
        }
    }
    return steps;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QCoreApplication> instance;
    if (headless(argc, argv)) {
        instance = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        instance = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication& application = *instance;
    QApplication::setApplicationName(QStringLiteral("qorvel-host"));
    QApplication::setOrganizationName(QStringLiteral("Qorvel"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The desktop database host that loads the Qorvel Editor add-in."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DB"), QStringLiteral("The database file (.qdb) to open."),
                                 QStringLiteral("[DB]"));
    const QCommandLineOption version(
        QStringLiteral("host-version"),
        QStringLiteral("The host's version text (default 12.0); below 12 the host has "
                       "command bars instead of the ribbon."),
        QStringLiteral("TEXT"), QStringLiteral("12.0"));
    const QCommandLineOption registerOption(
        QStringLiteral("register"),
        QStringLiteral("Register the add-in library PATH for the current user and exit."),
        QStringLiteral("PATH"));
    const QCommandLineOption unregisterOption(QStringLiteral("unregister"),
                                              QStringLiteral("Unregister the add-in library PATH and exit."),
                                              QStringLiteral("PATH"));
    const QCommandLineOption select(
        QStringLiteral("select"),
        QStringLiteral("Select an object at start: table, query, form or report, a colon "
                       "and its name."),
        QStringLiteral("KIND:NAME"));
    const QCommandLineOption click(
        QStringLiteral("click"),
        QStringLiteral("Click a ribbon or toolbar control by its id after start-up."),
        QStringLiteral("CONTROL_ID"));
    const QCommandLineOption type(
        QStringLiteral("type"),
        QStringLiteral("After start-up and the click, type TEXT key by key into the window that has the "
                       "focus (a line break is Enter)."),
        QStringLiteral("TEXT"));
    const QCommandLineOption key(
        QStringLiteral("key"),
        QStringLiteral(
            "After start-up and the click, press and release KEY (Qt's name: Right, Ctrl+End) in the "
            "window that has the focus. --type and --key may be given several times; they run "
            "in the order given."),
        QStringLiteral("KEY"));
    const QCommandLineOption describe(
        QStringLiteral("describe"),
        QStringLiteral("With --screenshot, print each picture's file and window name, and the rows of the "
                       "window's lists."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("When idle, save the main window to FILE.png and every other "
                       "window to FILE-1.png, FILE-2.png, ..., then exit."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption noAddins(QStringLiteral("no-addins"),
                                      QStringLiteral("Start without loading add-ins."));
    parser.addOptions({version, registerOption, unregisterOption, select, click, type, key, screenshot,
                       describe, noAddins});
    parser.process(application);

    const auto fail = [](const QString& message, int code) {
        std::fprintf(stderr, "qorvel-host: %s\n", qPrintable(message));
        return code;
    };
    if (parser.isSet(registerOption) || parser.isSet(unregisterOption)) {
        const bool registering = parser.isSet(registerOption);
        const QString path = parser.value(registering ? registerOption : unregisterOption);
        const QString problem =
            registering ? app::AddinHost::registerLibrary(path) : app::AddinHost::unregisterLibrary(path);
        return problem.isEmpty() ? 0 : fail(problem, 1);
    }
    if (parser.positionalArguments().size() > 1) {
        return fail(QStringLiteral("only one database can be opened"), 2);
    }

    app::Script script;
    script.database = parser.positionalArguments().value(0);
    script.click = parser.value(click);
    script.steps = scriptSteps(application.arguments(), parser.values(type), parser.values(key));
    for (const app::Script::Step& step : script.steps) {
        const QKeySequence sequence = QKeySequence::fromString(step.text, QKeySequence::PortableText);
        if (step.key && (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)) {
            return fail(QStringLiteral("--key takes one key by its name, such as Right or Ctrl+End: %1")
                            .arg(step.text),
                        2);
        }
    }
    script.describe = parser.isSet(describe);
    script.screenshot = parser.value(screenshot);
    if (parser.isSet(select) && !(script.select = app::parseObject(parser.value(select)))) {
        return fail(QStringLiteral("--select takes KIND:NAME with KIND table, query, form or report"), 2);
    }

    app::HostOptions options;
    options.versionText = parser.value(version);
    options.loadAddins = !parser.isSet(noAddins);
    app::MainWindow window(options);
    window.show();
    app::ScriptRunner runner(window, script);
    QObject::connect(&runner, &app::ScriptRunner::failed,
                     [&fail](const QString& message) { fail(message, 0); });
    runner.start();
    return QCoreApplication::exec();
}
