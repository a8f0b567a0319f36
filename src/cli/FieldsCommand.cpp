// qorvel fields DB QUERY: the columns of a saved query's data sources, one a line: the text inserted into
// SQL, the column name and the source, separated by tabs.
#include "cli/Command.h"
#include "cli/HostSession.h"
#include "datasources/mQueryDataSourceList.h"

namespace {

const char* const kUsage =
    "Usage: qorvel fields DB QUERY\n"
    "Prints the columns of the data sources of the saved query QUERY, one a line: the text inserted into\n"
    "SQL for the column, a tab, the column name, a tab, the source that supplies it. Exit 1 when the\n"
    "query has no data sources or they offer no columns.\n";

int runFields(const QStringList& arguments) {
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
    const std::unique_ptr<CV_QueryDataSource> dataSource = rQueryDataSourceFieldList(arguments.at(1), true);
    if (!dataSource || dataSource->Fields.isEmpty()) {
        return cli::exitNothing;
    }
    for (const auto& entry : dataSource->Fields) {
        const CV_QueryDataSourceField& field = entry.item;
        cli::out() << field.FullName() << '\t' << field.Name << '\t' << field.TableName << '\n';
    }
    return cli::exitOk;
}

}  // namespace

QORVEL_COMMAND(
    {QStringLiteral("fields"), QStringLiteral("DB QUERY"),
     QStringLiteral("List the columns of a saved query's data sources with the text to insert for each"),
     runFields});
