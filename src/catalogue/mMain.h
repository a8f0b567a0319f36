// The main module: catalogue routines and the host services that several tools share.
#pragma once

#include "catalogue/host.h"

#include <QString>

#include <memory>

class CV_QueryDataSource;

// Counter of the temporary queries ("~TemporaryQuery" + number) made for subqueries.
extern qint16 TemporaryQueryCount;

// Catalogue routines. A null database means the host's current database.
bool GetTableFields(const QString& name, CV_QueryDataSource& dataSource, host::Database* database = nullptr);
// Creates or overwrites the next temporary query with the SQL text; name receives its name even when
// nothing could be created.
void CreateTemporaryQuery(const QString& sql, host::Database* database, QString& name);
void DeleteTemporaryQueries(host::Database* database = nullptr);
// True when find occurs in text at or after start (1-based; 0 counts as 1), as a whole word if asked.
bool SQLFind(const QString& text, const QString& find, bool wholeWords, int start = 0);

// Object tests and properties. A null database means the current database.
bool IsTable(const QString& name, host::Database* database = nullptr);
bool IsQuery(const QString& name, host::Database* database = nullptr);
QString FormRecordSource(const QString& formName);
QString ReportRecordSource(const QString& reportName);
QString ObjectDescription(int objectType, const QString& name);

// A catalogue statement with every "{Name}" replaced by the object's name, made safe to stand between
// apostrophes.
QString CatalogueStatement(const QString& statement, const QString& name);

// The add-in's version ("3.0.26") and title line ("VEXOR Qorvel Editor v.3.0.26").
QString AppVersionText();
QString AppTitleAndVersion();
// The host's major version (SysCmd 7), 0 when it cannot be read.
quint8 AccessMajorVersion();
