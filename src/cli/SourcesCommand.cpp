// qorvel sources DB QUERY: the tables and queries a saved query reads, one a line.
#include "cli/Command.h"
#include "cli/DataSourceCommand.h"
#include "datasources/CV_QueryDataSource.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("sources");

int run(const QStringList& arguments) {
    return runDataSourceCommand(
        kName,
        QStringLiteral(
            "Prints the names of the tables and queries that the saved query QUERY reads (subqueries\n"
            "followed, the target of an append query included), one a line. Exit 1 when the query\n"
            "has no data sources."),
        false,
        [](const CV_QueryDataSource& dataSource) {
            for (const auto& entry : dataSource.SourceNames) {
                out() << entry.item << '\n';
            }
            return true;
        },
        arguments);
}

QORVEL_COMMAND({kName, QStringLiteral("DB QUERY"),
                QStringLiteral("List the tables and queries that a saved query reads"), run});

}  // namespace

}  // namespace cli
