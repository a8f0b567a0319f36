// Builds the engine's host::Error values with the host's numbers and texts.
#pragma once

#include "hostapi/host.h"

#include <QString>

namespace qdb {

class SqliteError;

inline const QString kSourceDatabase = QStringLiteral("DAO.Database");
inline const QString kSourceQueryDef = QStringLiteral("DAO.QueryDef");
inline const QString kSourceQueryDefs = QStringLiteral("DAO.QueryDefs");
inline const QString kSourceTableDefs = QStringLiteral("DAO.TableDefs");
inline const QString kSourceRecordset = QStringLiteral("DAO.Recordset");
inline const QString kSourceContainers = QStringLiteral("DAO.Containers");
inline const QString kSourceApplication = QStringLiteral("Microsoft Access");

inline constexpr int errTableExists = 3010;
inline constexpr int errUnknownField = 3070;
inline constexpr int errInputTableNotFound = 3078;
inline constexpr int errFieldDefinedTwice = 3191;
inline constexpr int errInvalidFieldType = 3259;
inline constexpr int errDatabaseError = 3049;
inline constexpr int errCannotOpenDatabase = 3024;
inline constexpr int errFormNotOpen = 2450;
inline constexpr int errReportNotOpen = 2451;
inline constexpr int errProcedureNotFound = 2517;
inline constexpr int errCommandNotAvailable = 2046;

[[noreturn]] void throwItemNotFound(const QString& source);
[[noreturn]] void throwObjectExists(const QString& name, const QString& source);
[[noreturn]] void throwInvalidName(const QString& name, const QString& source);
[[noreturn]] void throwObjectInvalid(const QString& source);
[[noreturn]] void throwNoCurrentRecord(const QString& source);
[[noreturn]] void throwSyntax(const QString& expression, const QString& source);
// A failure of SQLite while running a statement, given the host's nearest error.
[[noreturn]] void throwStatementError(const SqliteError& error, const QString& source);
// A failure of SQLite while reading or writing the engine's own tables.
[[noreturn]] void throwDatabaseError(const SqliteError& error, const QString& source);

}  // namespace qdb
