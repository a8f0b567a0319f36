// qorvel sql DB NAME: prints the SQL text of a saved query.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "host/QdbDatabase.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("sql");
const QString kSynopsis = QStringLiteral("DB NAME");

int run(const QStringList& arguments) {
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Prints the SQL text of the saved query NAME exactly as stored, line breaks\n"
                       "included; no line break is added after it."),
        {}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString name = line.positional().at(1);
    const auto database = openDatabase(line.positional().constFirst(), qdb::OpenMode::ReadOnly);
    if (!database) {
        return exitUsage;
    }
    try {
        out() << database->queryDef(name)->sql();
    } catch (const host::Error& error) {
        return queryFailure(error, name);
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Prints the SQL text of a saved query."), run});

}  // namespace

}  // namespace cli
