// qorvel ribbon: the add-in's ribbon definition, as the host receives it.
#include "addin/AccessConnect.h"
#include "cli/Command.h"
#include "cli/CommandLine.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("ribbon");

int run(const QStringList& arguments) {
    CommandLine line(
        kName, QString(),
        QStringLiteral("Prints the ribbon definition (custom UI XML) the add-in gives the host, as one "
                       "line.\nExit codes: 0 printed, 2 usage error."),
        {}, 0, 0);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const AccessConnect connect;
    out() << connect.GetRibbonXML() << '\n';
    return exitOk;
}

QORVEL_COMMAND({kName, QString(), QStringLiteral("Print the add-in's ribbon definition (XML)"), run});

}  // namespace

}  // namespace cli
