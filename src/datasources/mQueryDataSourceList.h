// Builds the data-source record of a saved query from the engine's catalogue: which tables and queries it
// reads, and the columns they offer.
#pragma once

#include "catalogue/AddinContext.h"
#include "datasources/CV_QueryDataSource.h"
#include "hostapi/host.h"
#include "support/KeyedCollection.h"

#include <QString>

#include <memory>

// The record of a saved query (fields analysed when asked), or nothing when the query has no sources.
// A null database means the current database. Temporary queries are deleted before it returns.
std::unique_ptr<CV_QueryDataSource> rQueryDataSourceFieldList(AddinContext& context, const QString& queryName,
                                                              bool analyze = true,
                                                              host::Database* database = nullptr);
// Appends to names the query's sources (subqueries followed) and the target of an append query.
bool SourceTablesListGet(AddinContext& context, const QString& queryName, KeyedCollection<QString>& names,
                         host::Database* database = nullptr);
// Appends the names of one query's sources, following subqueries through temporary queries.
void AddQuerySources(AddinContext& context, const QString& queryName, KeyedCollection<QString>& names,
                     host::Database* database = nullptr);
// True when the text at the 1-based position lies inside a square-bracketed name: going forward, a "]"
// comes before any "[".
bool rIsNotReservedWord(const QString& text, int position);
