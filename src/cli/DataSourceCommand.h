// What `qorvel sources` and `qorvel fields` share: the arguments DB QUERY, the database opened as the
// host's current one, and the add-in's data-source record of the query.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CV_QueryDataSource;

namespace cli {

// print writes the record and returns false when it had nothing to print (exit 1, as for no record).
int runDataSourceCommand(const QString& name, const QString& description, bool analyzeFields,
                         const std::function<bool(const CV_QueryDataSource&)>& print,
                         const QStringList& arguments);

}  // namespace cli
