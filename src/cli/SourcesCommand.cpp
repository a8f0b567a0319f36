// qorvel sources DB QUERY: the tables and queries a saved query reads, one a line.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "datasources/mQueryDataSourceList.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("sources");
const QString kSynopsis = QStringLiteral("DB QUERY");

int run(const QStringList& arguments) {
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral(
            "Prints the names of the tables and queries that the saved query QUERY reads (subqueries\n"
            "followed, the target of an append query included), one a line. Exit 1 when the query\n"
            "has no data sources."),
        {}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    HostSession session;
    if (!session.open(line.positional().at(0))) {
        return exitUsage;
    }
    const std::unique_ptr<CV_QueryDataSource> dataSource =
        rQueryDataSourceFieldList(line.positional().at(1), false);
    if (!dataSource) {
        return exitNothing;
    }
    for (const auto& entry : dataSource->SourceNames) {
        out() << entry.item << '\n';
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("List the tables and queries that a saved query reads"),
                run});

}  // namespace

}  // namespace cli
