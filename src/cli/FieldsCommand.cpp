// qorvel fields DB QUERY: the columns of a saved query's data sources, one a line: the text inserted into
// SQL, the column name and the source, separated by tabs.
#include "cli/Command.h"
#include "cli/DataSourceCommand.h"
#include "datasources/CV_QueryDataSource.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("fields");

int run(const QStringList& arguments) {
    return runDataSourceCommand(
        kName,
        QStringLiteral(
            "Prints the columns of the data sources of the saved query QUERY, one a line: the text\n"
            "inserted into SQL for the column, a tab, the column name, a tab, the source that\n"
            "supplies it. Exit 1 when the query has no data sources or they offer no columns."),
        true,
        [](const CV_QueryDataSource& dataSource) {
            for (const auto& entry : dataSource.Fields) {
                const CV_QueryDataSourceField& field = entry.item;
                out() << field.FullName() << '\t' << field.Name << '\t' << field.TableName << '\n';
            }
            return !dataSource.Fields.isEmpty();
        },
        arguments);
}

QORVEL_COMMAND(
    {kName, QStringLiteral("DB QUERY"),
     QStringLiteral("List the columns of a saved query's data sources with the text to insert for each"),
     run});

}  // namespace

}  // namespace cli
