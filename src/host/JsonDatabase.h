// A database as JSON text: its tables (fields and rows), saved queries, forms and reports with their
// controls, and descriptions. Test scenarios and the sample database live in the repository in this form.
#pragma once

#include "host/QdbDatabase.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace qdb {

// Everything a JSON database holds, in file order.
struct DatabaseSpec {
    std::vector<TableSpec> tables;
    std::vector<QuerySpec> queries;
    std::vector<FormSpec> forms;
    std::vector<FormSpec> reports;
};

// Bad JSON input or a database that cannot be built from it; the message is one line naming the object.
class JsonDatabaseError : public std::runtime_error {
public:
    explicit JsonDatabaseError(const QString& message)
        : std::runtime_error(message.toStdString()), mMessage(message) {}
    const QString& message() const noexcept { return mMessage; }

private:
    QString mMessage;
};

class JsonDatabase {
public:
    // The field type names, in the order they are documented.
    static const QStringList& fieldTypes();

    // Reads JSON text; checks its shape, field types, row values and names (a table and a query may not
    // share a name, nor two forms, two reports or two controls of one form). Malformed JSON gives the
    // line and column of the fault.
    static DatabaseSpec parse(const QByteArray& json);
    // Writes JSON text, indented, with keys in a fixed order and one line per field and row.
    static QByteArray write(const DatabaseSpec& spec);

    // Builds the described objects into a database, all or nothing: tables, then queries in order, then
    // forms and reports. An object the engine refuses ends the build with the engine's message.
    static void build(QdbDatabase& database, const DatabaseSpec& spec);
    // Reads the objects of a database back (hidden queries of forms and reports are left out).
    static DatabaseSpec read(QdbDatabase& database);
};

}  // namespace qdb
