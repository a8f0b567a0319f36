// A database of the host stand-in: one SQLite file (.qdb) holding the user's tables, the system catalogue
// (MSysObjects, MSysQueries) kept the way the real engine keeps it, and host-private tables for saved SQL
// text, forms, reports and descriptions. Implements the data access interface the add-in uses, and the
// operations the programs need to build and export a database.
#pragma once

#include "hostapi/host.h"
#include "host/jet/Analyser.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace qdb {

// How a database file is opened. A read-only connection refuses every write; its reads leave the file as
// it was, and its -wal and -shm files are gone again when it closes.
enum class OpenMode { Create, ReadWrite, ReadOnly };

struct FieldSpec {
    QString name;
    // Text, Memo, Byte, Integer, Long, Single, Double, Currency, DateTime, YesNo, AutoNumber; and for
    // tables imported from another engine's file also OLEObject and Attachment (blobs), ReplicationID
    // (text in braces) and Decimal.
    QString type;
};

struct TableSpec {
    QString name;
    QString description;
    std::vector<FieldSpec> fields;
    std::vector<QVariantList> rows;  // one value per field, in field order; a null QVariant is Null
};

struct QuerySpec {
    QString name;
    QString sql;
    QString description;
};

struct ControlSpec {
    QString name;
    QString rowSource;  // a table or query name, an SQL statement, or empty
};

// A saved query as another engine wrote it: its catalogue rows are stored as they are, never analysed, so
// the trees of an imported file follow the real engine's rows.
struct CatalogueQuerySpec {
    QString name;
    qint64 flags = 0;  // MSysObjects.Flags: the query type code plus the engine's own bits
    QString sql;
    QString description;
    std::vector<jet::CatalogueRow> rows;  // MSysQueries, in the order they were written
};

// A form or a report.
struct FormSpec {
    QString name;
    QString recordSource;  // a table or query name, an SQL statement, or empty
    QString description;
    std::vector<ControlSpec> controls;
};

// Collections: QueryDefs(i) and TableDefs(i) are in creation order. QueryDefs hold every saved query,
// the hidden ~sq_ queries of forms and reports and the add-in's ~TemporaryQuery ones included; TableDefs
// and the "Tables" container also list the catalogue tables MSysObjects and MSysQueries, as the real engine
// does. A hidden query's name joins its owner's and its control's names and so may pass 64 characters;
// only the owner and control names are held to the naming rules.
class QdbDatabase : public host::Database {
public:
    // Creates a new, empty database file; fails when the file exists.
    static std::shared_ptr<QdbDatabase> create(const QString& path);
    // Opens an existing database file. A file that is not a database of this engine fails with 3343 and
    // is left as it was, whatever the mode.
    static std::shared_ptr<QdbDatabase> open(const QString& path, OpenMode mode = OpenMode::ReadWrite);

    // Building a database. Names follow the host's object-naming rules (errInvalidName); a name taken by
    // another table or query fails with errObjectExists.
    virtual void createTable(const TableSpec& table) = 0;
    virtual void dropTable(const QString& name) = 0;
    virtual void saveForm(const FormSpec& form) = 0;  // creates or replaces; keeps its hidden queries in step
    virtual void saveReport(const FormSpec& report) = 0;
    // Adds a query with its catalogue rows as given (see CatalogueQuerySpec). A hidden ~sq_ query is added
    // before its form or report, which saveImportedForm then links to it.
    virtual void insertCatalogueQuery(const CatalogueQuerySpec& query) = 0;
    // Adds a form (report: true, a report) whose SQL record source and row sources are hidden queries
    // added already by insertCatalogueQuery: they are linked to it by name, not made again.
    virtual void saveImportedForm(const FormSpec& form, bool report) = 0;
    virtual void deleteForm(const QString& name) = 0;
    virtual void deleteReport(const QString& name) = 0;
    // Sets or clears (empty text) the Description of a document in a container ("Tables", "Forms",
    // "Reports").
    virtual void setDescription(const QString& container, const QString& document, const QString& text) = 0;

    // Reading a database back, in creation order.
    virtual std::vector<TableSpec> tables() = 0;
    virtual std::vector<QuerySpec> queries() = 0;  // saved queries without the hidden ~sq_ ones
    virtual std::vector<FormSpec> forms() = 0;
    virtual std::vector<FormSpec> reports() = 0;

    // Runs the work as one transaction: everything is written, or nothing when it throws.
    virtual void transaction(const std::function<void()>& work) = 0;
};

}  // namespace qdb
