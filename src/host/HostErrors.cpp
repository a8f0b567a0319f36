#include "host/HostErrors.h"

#include "host/SqliteConnection.h"

#include <QRegularExpression>

namespace qdb {

void throwItemNotFound(const QString& source) {
    throw host::Error(host::errItemNotFound, QStringLiteral("Item not found in this collection."), source);
}

void throwObjectExists(const QString& name, const QString& source) {
    throw host::Error(host::errObjectExists, QStringLiteral("Object '%1' already exists.").arg(name), source);
}

void throwInvalidName(const QString& name, const QString& source) {
    throw host::Error(
        host::errInvalidName,
        QStringLiteral("'%1' isn't a valid name. Make sure that it doesn't include invalid characters "
                       "or punctuation and that it isn't too long.")
            .arg(name),
        source);
}

void throwObjectInvalid(const QString& source) {
    throw host::Error(host::errObjectInvalid, QStringLiteral("Object invalid or no longer set."), source);
}

void throwNoCurrentRecord(const QString& source) {
    throw host::Error(host::errNoCurrentRecord, QStringLiteral("No current record."), source);
}

void throwSyntax(const QString& expression, const QString& source) {
    throw host::Error(host::errSyntaxInExpression,
                      QStringLiteral("Syntax error in query expression '%1'.").arg(expression), source);
}

void throwStatementError(const SqliteError& error, const QString& source) {
    static const QRegularExpression noTable(QStringLiteral("^no such table: (?:\\w+\\.)?(.*)$"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.*)$"));
    // Raised by the host's functions: "#number text".
    static const QRegularExpression hostFailure(QStringLiteral("^#(\\d+) (.*)$"));
    const QString& message = error.message();
    if (const auto match = hostFailure.match(message); match.hasMatch()) {
        throw host::Error(match.captured(1).toInt(), match.captured(2), source);
    }
    if (const auto match = noTable.match(message); match.hasMatch()) {
        throw host::Error(
            errInputTableNotFound,
            QStringLiteral("The Microsoft Access database engine cannot find the input table or "
                           "query '%1'. Make sure it exists and that its name is spelled correctly.")
                .arg(match.captured(1)),
            source);
    }
    if (const auto match = noColumn.match(message); match.hasMatch()) {
        throw host::Error(3061, QStringLiteral("Too few parameters. Expected 1."), source);
    }
    if ((error.code() & 0xff) == 19 /* SQLITE_CONSTRAINT */) {
        if (message.startsWith(QLatin1String("NOT NULL"))) {
            throw host::Error(3162,
                              QStringLiteral("You tried to assign the Null value to a variable that is not a "
                                             "Variant data type."),
                              source);
        }
        throw host::Error(3022,
                          QStringLiteral("The changes you requested to the table were not successful because "
                                         "they would create duplicate values in the index, primary key, or "
                                         "relationship. Change the data in the field or fields that contain "
                                         "duplicate data, remove the index, or redefine the index to permit "
                                         "duplicate entries and try again."),
                          source);
    }
    throw host::Error(host::errSyntaxInExpression,
                      QStringLiteral("Syntax error in query expression (%1).").arg(message), source);
}

void throwDatabaseError(const SqliteError& error, const QString& source) {
    throw host::Error(errDatabaseError, QStringLiteral("Database error: %1").arg(error.message()), source);
}

}  // namespace qdb
