// Imports a real engine's database file into a .qdb: the user's tables with their rows, every saved query
// with the catalogue rows the real engine wrote (copied, never re-analysed) and its SQL text rebuilt from
// them, forms and reports with the SQL of their hidden queries, and descriptions. The source is only read.
#pragma once

#include "host/QdbDatabase.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace mdb {

class MdbFile;

// How the engine's own analyser, given a query's rebuilt SQL, agrees with the rows the real engine wrote.
struct QueryFidelity {
    QString name;
    QStringList differences;  // the attributes whose rows differ, as numbers; empty when all agree
};

struct ImportSummary {
    QString format;  // "Jet 3", "Jet 4", ...
    int tables = 0;
    qint64 rows = 0;
    int queries = 0;  // hidden ~sq_ queries included
    int forms = 0;
    int reports = 0;
    std::vector<QueryFidelity> fidelity;  // one per query, in catalogue order
};

// Fills an empty database from an open file, all or nothing.
ImportSummary importInto(MdbFile& file, qdb::QdbDatabase& database);

// Imports the file source into the new database file target (written under a temporary name and renamed
// into place, as qdb::buildDatabaseFile does). Throws MdbFileError for a source that cannot be read and
// qdb::DatabaseFileError for a target that cannot be written.
// watch: as for qdb::buildDatabaseFile.
ImportSummary importFile(const QString& source, const QString& target, bool replace,
                         const std::function<std::shared_ptr<void>(const QStringList&)>& watch = {});

// The attributes whose rows differ between the real engine's rows of a query and the analyser's, compared
// attribute by attribute in the order each engine wrote them. Representations that mean the same are equal:
// Flag 0 and Null on the column and grouping rows (6 and 9) of a query other than a crosstab, the aliases
// each engine generates for the parts of a union, and the order of the sources of a query with joins (the
// real engine keeps them in the order they were added in its designer, which the SQL text does not hold).
QStringList differingAttributes(const std::vector<jet::CatalogueRow>& real,
                                const std::vector<jet::CatalogueRow>& analysed);

// For a program that opens real files (the desktop host): the imported copy of source in folder, made when
// there is none yet or the source changed since (its size or modification time), and re-used otherwise.
// Returns the copy's path. The source file is never written.
QString importedCopy(const QString& source, const QString& folder);

}  // namespace mdb
