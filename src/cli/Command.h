// The commands of the qorvel tool. Each command lives in its own file and registers itself with
// QORVEL_COMMAND, so adding one touches nothing else.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

namespace cli {

// Exit codes shared by every command.
inline constexpr int exitOk = 0;
inline constexpr int exitNothing = 1;  // ran, but had nothing to show or the add-in refused
inline constexpr int exitUsage = 2;    // bad arguments or bad input

struct Command {
    QString name;
    QString synopsis;  // one line: the arguments, as in "DB --from FILE.json"
    QString summary;   // one line: what it does
    // Arguments after the command name; returns the exit code.
    std::function<int(const QStringList& arguments)> run;
};

bool registerCommand(Command command);
const std::vector<Command>& commands();

// Standard output and standard error, UTF-8.
QTextStream& out();
QTextStream& err();

}  // namespace cli

#define QORVEL_CONCAT_INNER(a, b) a##b
#define QORVEL_CONCAT(a, b) QORVEL_CONCAT_INNER(a, b)
#define QORVEL_COMMAND(...) \
    static const bool QORVEL_CONCAT(registered_command_, __LINE__) = ::cli::registerCommand(__VA_ARGS__)
