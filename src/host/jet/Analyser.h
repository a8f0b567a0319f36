// The engine's Access-SQL analyser: reads the text of a saved query and gives the query type code and the
// MSysQueries rows the engine keeps for it.
#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace jet {

// One MSysQueries row of a query (without ObjectId, which the engine assigns). A null QVariant is Null.
struct CatalogueRow {
    int attribute = 0;
    QVariant flag;        // integer or Null
    QVariant name1;       // text or Null
    QVariant name2;       // text or Null
    QVariant expression;  // text or Null

    bool operator==(const CatalogueRow&) const = default;
};

struct QueryAnalysis {
    int type = 0;                    // query type code: 0, 16, 32, 48, 64, 80, 96, 112, 128
    std::vector<CatalogueRow> rows;  // in catalogue order, from attribute 0 to attribute 255
};

// Analyses the SQL text of a query. Throws host::Error (source "DAO.QueryDef"): 3129 when the text is not a
// statement, 3075 when an expression or clause in it is broken. Sources need not exist.
QueryAnalysis analyse(const QString& sql);

}  // namespace jet
