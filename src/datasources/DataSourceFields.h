// The columns a table or saved query offers, as the data-source record and the find dialog need them.
#pragma once

#include "catalogue/AddinContext.h"
#include "datasources/CV_QueryDataSource.h"
#include "hostapi/host.h"

#include <QString>
#include <QStringList>

#include <memory>

// A null database means the host's current database.

// Appends the fields of the table or saved query of that name to the record's Fields.
bool GetTableFields(AddinContext& context, const QString& name, CV_QueryDataSource& dataSource,
                    host::Database* database = nullptr);
// Fills names with the record's field names and source names, then the query's aliases when a query is
// given; names is left as it was when nothing was found. False when there is no record.
bool DataSourceFieldNames(AddinContext& context, const CV_QueryDataSource* dataSource, host::QueryDef* query,
                          QStringList& names);
// A new record holding the table and its fields, or nothing when the table cannot be read.
std::unique_ptr<CV_QueryDataSource> TableDataSource(const AddinContext& context, const QString& tableName,
                                                    host::Database* database = nullptr);
