// qorvel fields DB QUERY: the columns of a saved query's data sources, one a line: the text inserted into
// SQL, the column name and the source, separated by tabs.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "datasources/mQueryDataSourceList.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("fields");
const QString kSynopsis = QStringLiteral("DB QUERY");

int run(const QStringList& arguments) {
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral(
            "Prints the columns of the data sources of the saved query QUERY, one a line: the text\n"
            "inserted into SQL for the column, a tab, the column name, a tab, the source that\n"
            "supplies it. Exit 1 when the query has no data sources or they offer no columns."),
        {}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    HostSession session;
    if (!session.open(line.positional().at(0))) {
        return exitUsage;
    }
    const std::unique_ptr<CV_QueryDataSource> dataSource =
        rQueryDataSourceFieldList(line.positional().at(1), true);
    if (!dataSource || dataSource->Fields.isEmpty()) {
        return exitNothing;
    }
    for (const auto& entry : dataSource->Fields) {
        const CV_QueryDataSourceField& field = entry.item;
        out() << field.FullName() << '\t' << field.Name << '\t' << field.TableName << '\n';
    }
    return exitOk;
}

QORVEL_COMMAND(
    {kName, kSynopsis,
     QStringLiteral("List the columns of a saved query's data sources with the text to insert for each"),
     run});

}  // namespace

}  // namespace cli
