// Rebuilds the SQL text of a saved query from the catalogue rows the real engine wrote for it (MSysQueries),
// in the form the host's SQL view shows: one clause a line, joins nested in parentheses, CR LF line ends.
#pragma once

#include "host/jet/Analyser.h"

#include <QString>

#include <vector>

namespace mdb {

// The rows of one query in any order (the engine writes them in no fixed order); a row of an attribute
// this does not know is ignored. Throws std::invalid_argument when the rows do not describe a statement
// (no attribute 1, a join naming no source of the query).
QString reconstructSql(const std::vector<jet::CatalogueRow>& rows);

// A name as the host writes it in SQL: in square brackets unless it is a plain word.
QString sqlName(const QString& name);

}  // namespace mdb
