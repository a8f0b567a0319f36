// A small RAII wrapper over the SQLite C API: one connection, prepared statements, and the error of a
// failed call as an exception that keeps SQLite's message.
#pragma once

#include <QString>
#include <QVariant>

#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace qdb {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const QString& message)
        : std::runtime_error(message.toStdString()), mCode(code), mMessage(message) {}
    int code() const noexcept { return mCode; }
    const QString& message() const noexcept { return mMessage; }

private:
    int mCode;
    QString mMessage;
};

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binds by 1-based position; a null QVariant binds Null, a bool binds the host's -1 or 0.
    SqliteStatement& bind(int position, const QVariant& value);
    // Steps once; true while a row is available.
    bool step();
    void reset();
    // True when the statement cannot change the database.
    bool isReadOnly() const;
    // Runs a statement that returns no rows.
    void run();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    bool isNull(int column) const;
    // The table and column a result column reads directly, empty for a computed column.
    QString originTable(int column) const;
    QString originColumn(int column) const;

private:
    sqlite3* mDb;
    sqlite3_stmt* mStatement = nullptr;
};

class SqliteConnection {
public:
    // Opens (or, with create, creates) the database file.
    SqliteConnection(const QString& path, bool create);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* handle() const { return mDb; }
    void exec(const QString& sql);
    SqliteStatement prepare(const QString& sql);
    qint64 lastInsertId() const;
    int changes() const;

    // Double-quoted identifier, safe for any name.
    static QString quote(const QString& identifier);

private:
    sqlite3* mDb = nullptr;
};

}  // namespace qdb
