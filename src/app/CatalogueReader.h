// Reads what the host's views show straight from a database file over a read-only connection: the
// catalogue rows of a saved query and the fields of a table. The views never change the database.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace app {

struct CatalogueRow {
    int attribute = 0;
    QVariant flag;
    QString name1;
    QString name2;
    QString expression;
};

// The MSysQueries rows of the saved query (its stored name), in the order the engine wrote them; empty
// when the file cannot be read.
std::vector<CatalogueRow> catalogueRows(const QString& databasePath, const QString& query);
// The fields of a table in their order; empty for an unknown table.
QStringList tableFields(const QString& databasePath, const QString& table);
// Whether the file holds the system catalogue (MSysObjects and MSysQueries); the text of the problem, or
// an empty text when it is a database the host can open.
QString catalogueProblem(const QString& databasePath);

}  // namespace app
