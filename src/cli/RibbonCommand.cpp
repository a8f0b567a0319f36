// qorvel ribbon: the add-in's ribbon definition, as the host receives it.
#include "addin/AccessConnect.h"
#include "cli/Command.h"

namespace {

int runRibbon(const QStringList& arguments) {
    if (arguments == QStringList{QStringLiteral("--help")} ||
        arguments == QStringList{QStringLiteral("-h")}) {
        cli::out() << "Usage: qorvel ribbon\n\n"
                      "Prints the ribbon definition (custom UI XML) the add-in gives the host, as one line.\n"
                      "Exit codes: 0 printed, 2 usage error.\n";
        return cli::exitOk;
    }
    if (!arguments.isEmpty()) {
        cli::err() << "qorvel: ribbon takes no arguments; see qorvel ribbon --help\n";
        return cli::exitUsage;
    }
    const AccessConnect connect;
    cli::out() << connect.GetRibbonXML() << '\n';
    return cli::exitOk;
}

}  // namespace

QORVEL_COMMAND({QStringLiteral("ribbon"), QString(),
                QStringLiteral("Print the add-in's ribbon definition (XML)"), runRibbon});
