// A real engine's database file (.mdb, .accdb) opened read-only through libmdb: its system catalogue, its
// tables' definitions and rows, with every value exactly as stored.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace mdb {

// The file cannot be read; the message is one line naming the problem.
class MdbFileError : public std::runtime_error {
public:
    explicit MdbFileError(const QString& message)
        : std::runtime_error(message.toStdString()), mMessage(message) {}
    const QString& message() const noexcept { return mMessage; }

private:
    QString mMessage;
};

struct ColumnInfo {
    QString name;
    QString type;  // the engine's field type: Text, Memo, Byte, ..., OLEObject, Attachment, ReplicationID,
                   // Decimal
};

// One row of MSysObjects.
struct ObjectInfo {
    qint64 id = 0;
    qint64 parentId = 0;
    QString name;
    int type = 0;
    qint64 flags = 0;
    QString description;  // from the object's properties, empty when none
};

class MdbFile {
public:
    // Opens the file for reading only and reads its catalogue (MSysObjects). Throws MdbFileError for a file
    // that is missing, not a database, damaged, password-protected or of a format libmdb cannot read.
    explicit MdbFile(const QString& path);
    ~MdbFile();
    MdbFile(const MdbFile&) = delete;
    MdbFile& operator=(const MdbFile&) = delete;

    // "Jet 3", "Jet 4", "Access 2007", ...
    QString formatName() const;
    const std::vector<ObjectInfo>& objects() const { return mObjects; }
    // The tables of the user in catalogue order (no system or hidden tables).
    std::vector<ObjectInfo> userTables() const;

    std::vector<ColumnInfo> columns(const QString& table);
    // Calls row() for every row of the table with one value per column (a null QVariant for Null): integers,
    // doubles (Currency as its exact decimal value), QDateTime in UTC, text, QByteArray for blobs. Returns
    // the number of rows; fails with MdbFileError when fewer rows can be read than the table declares.
    // With only, the other columns are not read and stay Null.
    qint64 readRows(const QString& table, const std::function<void(const QVariantList&)>& row,
                    const QStringList& only = {});

private:
    struct Handle;
    std::unique_ptr<Handle> mHandle;
    QString mPath;
    std::vector<ObjectInfo> mObjects;
};

// A date of the real engine (days since 30 December 1899, the fraction the time of day, before 1899 counted
// backwards with the time still forwards) as a UTC date and time, to the millisecond.
QVariant dateFromDays(double days);

}  // namespace mdb
