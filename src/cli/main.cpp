// qorvel: drives the add-in and the host engine from the command line.
#include "cli/Command.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace cli {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

void printUsage(QTextStream& stream) {
    stream << "Usage: qorvel COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto& command : commands()) {
        stream << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary << '\n';
    }
    stream << "\nqorvel COMMAND --help describes one command.\n";
}

}  // namespace

bool registerCommand(Command command) {
    auto& all = registry();
    const auto at = std::lower_bound(all.begin(), all.end(), command,
                                     [](const Command& a, const Command& b) { return a.name < b.name; });
    all.insert(at, std::move(command));
    return true;
}

const std::vector<Command>& commands() {
    return registry();
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

}  // namespace cli

int main(int argc, char* argv[]) {
    // Drawing a picture (--png) needs fonts and pixmaps: a GUI application, without a display.
    const bool draws = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return std::strcmp(argument, "--png") == 0 || std::strncmp(argument, "--png=", 6) == 0;
    });
    if (draws) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The platform's notes about the missing display are not the command's to print.
        QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false\nqt.*.warning=false"));
    }
    const std::unique_ptr<QCoreApplication> app = draws ? std::make_unique<QGuiApplication>(argc, argv)
                                                        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qorvel"));
    // Names and paths that are not UTF-8 would reach the database as something else.
    for (int i = 1; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        [[maybe_unused]] const QString decoded = decoder.decode(QByteArrayView(argv[i]));
        if (decoder.hasError()) {
            cli::err() << "qorvel: argument " << i << " is not UTF-8 text\n";
            return cli::exitUsage;
        }
    }
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h")) {
        cli::printUsage(arguments.isEmpty() ? cli::err() : cli::out());
        return arguments.isEmpty() ? cli::exitUsage : cli::exitOk;
    }
    const QString name = arguments.takeFirst();
    for (const auto& command : cli::commands()) {
        if (command.name == name) {
            const int code = command.run(arguments);
            cli::out().flush();
            cli::err().flush();
            return code;
        }
    }
    cli::err() << "qorvel: unknown command '" << name << "'; see qorvel --help\n";
    return cli::exitUsage;
}
