#include "host/SqliteConnection.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QDateTime>

#include <utility>

namespace qdb {

namespace {

[[noreturn]] void fail(sqlite3* db, int code) {
    throw SqliteError(code,
                      db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code)));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : mDb(db) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &mStatement, nullptr);
    if (rc != SQLITE_OK) {
        fail(db, rc);
    }
    if (!mStatement) {
        throw SqliteError(SQLITE_MISUSE, QStringLiteral("not a statement"));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(mStatement);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : mDb(other.mDb), mStatement(std::exchange(other.mStatement, nullptr)) {}

SqliteStatement& SqliteStatement::bind(int position, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(mStatement, position);
    } else {
        switch (value.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(mStatement, position, value.toBool() ? -1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::Char:
            case QMetaType::UChar:
            case QMetaType::ULongLong:
            case QMetaType::ULong:
            case QMetaType::UShort:
                rc = sqlite3_bind_int64(mStatement, position, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(mStatement, position, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob64(mStatement, position, bytes.constData(),
                                         sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDateTime: {
                // As written, in the time zone it was given in; milliseconds only when there are any.
                const QDateTime dateTime = value.toDateTime();
                const QString format = dateTime.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                              : QStringLiteral("yyyy-MM-dd HH:mm:ss");
                const QByteArray text = dateTime.toString(format).toUtf8();
                rc = sqlite3_bind_text(mStatement, position, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDate:
                rc = sqlite3_bind_text(mStatement, position,
                                       value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8(), -1,
                                       SQLITE_TRANSIENT);
                break;
            default: {
                const QByteArray utf8 = value.toString().toUtf8();
                rc = sqlite3_bind_text64(mStatement, position, utf8.constData(), sqlite3_uint64(utf8.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
        }
    }
    if (rc != SQLITE_OK) {
        fail(mDb, rc);
    }
    return *this;
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(mStatement);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    const int code = rc;
    sqlite3_reset(mStatement);
    fail(mDb, code);
}

void SqliteStatement::reset() {
    sqlite3_reset(mStatement);
    sqlite3_clear_bindings(mStatement);
}

void SqliteStatement::run() {
    while (step()) {
    }
}

bool SqliteStatement::isReadOnly() const {
    return sqlite3_stmt_readonly(mStatement) != 0;
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(mStatement);
}

QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(mStatement, column));
}

QVariant SqliteStatement::value(int column) const {
    switch (sqlite3_column_type(mStatement, column)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(mStatement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(mStatement, column));
        case SQLITE_TEXT:
            return QVariant(text(column));
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(mStatement, column));
            return QVariant(QByteArray(data, sqlite3_column_bytes(mStatement, column)));
        }
        default:
            return QVariant();
    }
}

QString SqliteStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(mStatement, column)) : QString();
}

qint64 SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(mStatement, column);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(mStatement, column) == SQLITE_NULL;
}

QString SqliteStatement::originTable(int column) const {
    return QString::fromUtf8(sqlite3_column_table_name(mStatement, column));
}

QString SqliteStatement::originColumn(int column) const {
    return QString::fromUtf8(sqlite3_column_origin_name(mStatement, column));
}

SqliteConnection::SqliteConnection(const QString& path, bool create) {
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &mDb, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            mDb ? QString::fromUtf8(sqlite3_errmsg(mDb)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(mDb);
        mDb = nullptr;
        throw SqliteError(rc, message);
    }
    sqlite3_extended_result_codes(mDb, 1);
    // Another program with the same file open (the desktop host and the command line) holds its lock
    // only for one save: wait for it rather than fail.
    sqlite3_busy_timeout(mDb, 5000);
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(mDb);
}

void SqliteConnection::exec(const QString& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(mDb, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw SqliteError(rc, text);
    }
}

SqliteStatement SqliteConnection::prepare(const QString& sql) {
    return SqliteStatement(mDb, sql);
}

qint64 SqliteConnection::lastInsertId() const {
    return sqlite3_last_insert_rowid(mDb);
}

int SqliteConnection::changes() const {
    return sqlite3_changes(mDb);
}

QString SqliteConnection::quote(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace qdb
