#include "cli/DataSourceCommand.h"

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"
#include "datasources/mQueryDataSourceList.h"

namespace cli {

int runDataSourceCommand(const QString& name, const QString& description, bool analyzeFields,
                         const std::function<bool(const CV_QueryDataSource&)>& print,
                         const QStringList& arguments) {
    CommandLine line(name, QStringLiteral("DB QUERY"), description, {}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    HostSession session;
    if (!session.open(line.positional().at(0))) {
        return exitUsage;
    }
    const std::unique_ptr<CV_QueryDataSource> dataSource =
        rQueryDataSourceFieldList(session.context(), line.positional().at(1), analyzeFields);
    return dataSource && print(*dataSource) ? exitOk : exitNothing;
}

}  // namespace cli
