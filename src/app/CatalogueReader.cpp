#include "app/CatalogueReader.h"

#include "host/HostText.h"
#include "host/SqliteConnection.h"

#include <sqlite3.h>

#include <memory>

namespace app {

namespace {

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using ReadOnly = std::unique_ptr<sqlite3, Closer>;

ReadOnly openReadOnly(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    qdb::registerHostText(db);
    return ReadOnly(db);
}

}  // namespace

std::vector<CatalogueRow> catalogueRows(const QString& databasePath, const QString& query) {
    std::vector<CatalogueRow> rows;
    const ReadOnly db = openReadOnly(databasePath);
    if (!db) {
        return rows;
    }
    try {
        // Names are compared as stored: the catalogue's own collation lives in the engine.
        qdb::SqliteStatement statement(
            db.get(),
            QStringLiteral("SELECT q.Attribute, q.Flag, q.Name1, q.Name2, q.Expression FROM MSysQueries q "
                           "INNER JOIN MSysObjects o ON o.Id = q.ObjectId WHERE o.Type = 5 AND "
                           "o.Name = ?1 COLLATE BINARY ORDER BY q.rowid"));
        statement.bind(1, query);
        while (statement.step()) {
            rows.push_back({int(statement.integer(0)), statement.value(1), statement.text(2),
                            statement.text(3), statement.text(4)});
        }
    } catch (const qdb::SqliteError&) {
        rows.clear();
    }
    return rows;
}

QStringList tableFields(const QString& databasePath, const QString& table) {
    QStringList fields;
    const ReadOnly db = openReadOnly(databasePath);
    if (!db) {
        return fields;
    }
    try {
        qdb::SqliteStatement statement(
            db.get(), QStringLiteral("SELECT f.Name FROM MSysQdbFields f INNER JOIN MSysObjects o ON o.Id = "
                                     "f.ObjectId WHERE o.Type = 1 AND o.Name = ?1 COLLATE BINARY ORDER BY "
                                     "f.Position"));
        statement.bind(1, table);
        while (statement.step()) {
            fields << statement.text(0);
        }
    } catch (const qdb::SqliteError&) {
    }
    return fields;
}

QString catalogueProblem(const QString& databasePath) {
    const ReadOnly db = openReadOnly(databasePath);
    if (!db) {
        return QStringLiteral("the file cannot be read");
    }
    try {
        qdb::SqliteStatement statement(
            db.get(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                                     "('MSysObjects', 'MSysQueries')"));
        if (statement.step() && statement.integer(0) == 2) {
            return QString();
        }
        return QStringLiteral(
            "it has no system catalogue (the tables MSysObjects and MSysQueries are missing)");
    } catch (const qdb::SqliteError& error) {
        if (error.code() == SQLITE_NOTADB) {
            return QStringLiteral("it is not a database");
        }
        if (error.code() == SQLITE_CORRUPT) {
            return QStringLiteral("the database is damaged");
        }
        return error.message();
    }
}

}  // namespace app
