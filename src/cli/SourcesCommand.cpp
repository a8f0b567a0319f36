// qorvel sources DB QUERY: the tables and queries a saved query reads, one a line.
#include "cli/Command.h"
#include "cli/HostSession.h"
#include "datasources/mQueryDataSourceList.h"

namespace {

const char* const kUsage =
    "Usage: qorvel sources DB QUERY\n"
    "Prints the names of the tables and queries that the saved query QUERY reads (subqueries followed,\n"
    "the target of an append query included), one a line. Exit 1 when the query has no data sources.\n";

int runSources(const QStringList& arguments) {
    if (arguments.contains(QStringLiteral("--help"))) {
        cli::out() << kUsage;
        return cli::exitOk;
    }
    if (arguments.size() != 2 || arguments.first().startsWith(QLatin1Char('-'))) {
        cli::err() << kUsage;
        return cli::exitUsage;
    }
    cli::HostSession session;
    if (!session.open(arguments.at(0))) {
        return cli::exitUsage;
    }
    const std::unique_ptr<CV_QueryDataSource> dataSource = rQueryDataSourceFieldList(arguments.at(1), false);
    if (!dataSource) {
        return cli::exitNothing;
    }
    for (const auto& entry : dataSource->SourceNames) {
        cli::out() << entry.item << '\n';
    }
    return cli::exitOk;
}

}  // namespace

QORVEL_COMMAND({QStringLiteral("sources"), QStringLiteral("DB QUERY"),
                QStringLiteral("List the tables and queries that a saved query reads"), runSources});
