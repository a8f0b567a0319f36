#include "host/mdb/MdbFile.h"

// mdbtools.h opens an extern "C" block around glib's headers, which hold C++ templates; glib first.
#include <glib.h>
#include <mdbtools.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mdb {

namespace {

// Large enough for the longest memo (65,535 characters as UTF-8) or a bound blob; every fixed-size value is
// bound as a short text.
constexpr size_t kBindSize = 256 * 1024;
constexpr size_t kTextBindSize = 4096;  // 255 characters of at most 4 bytes each, and the end

bool isDecodedRaw(int type) {
    switch (type) {
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_NUMERIC:
        case MDB_COMPLEX:
            return true;
        default:
            return false;
    }
}

size_t bufferSize(int type) {
    switch (type) {
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_OLE:
        case MDB_BINARY:
        case MDB_COMPLEX:
            return kBindSize;
        default:
            return 256;
    }
}

// libmdb reports what it cannot read on standard error itself; the caller reports one line instead.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        mSaved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (mSaved >= 0 && null >= 0) {
            ::dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            ::close(null);
        }
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (mSaved >= 0) {
            ::dup2(mSaved, STDERR_FILENO);
            ::close(mSaved);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int mSaved = -1;
};

QString fieldType(const ::MdbColumn& column) {
    switch (column.col_type) {
        case MDB_BOOL:
            return QStringLiteral("YesNo");
        case MDB_BYTE:
            return QStringLiteral("Byte");
        case MDB_INT:
            return QStringLiteral("Integer");
        case MDB_LONGINT:
            return QStringLiteral("Long");
        case MDB_MONEY:
            return QStringLiteral("Currency");
        case MDB_FLOAT:
            return QStringLiteral("Single");
        case MDB_DOUBLE:
            return QStringLiteral("Double");
        case MDB_DATETIME:
            return QStringLiteral("DateTime");
        case MDB_TEXT:
            return QStringLiteral("Text");
        case MDB_MEMO:
            return QStringLiteral("Memo");
        case MDB_REPID:
            return QStringLiteral("ReplicationID");
        case MDB_NUMERIC:
            return QStringLiteral("Decimal");
        case MDB_COMPLEX:
            return QStringLiteral("Attachment");
        default:  // MDB_OLE, MDB_BINARY
            return QStringLiteral("OLEObject");
    }
}

qint64 littleEndian(const unsigned char* bytes, int size) {
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    // Sign-extend.
    const int unused = 64 - 8 * size;
    return qint64(value << unused) >> unused;
}

struct TableDefDeleter {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TableDefPointer = std::unique_ptr<MdbTableDef, TableDefDeleter>;

}  // namespace

QVariant dateFromDays(double days) {
    if (!std::isfinite(days) || std::abs(days) > 3.0e6) {
        return {};
    }
    const double whole = std::trunc(days);
    // Before 1899 the whole days count backwards but the fraction still counts the time forwards.
    qint64 milliseconds = std::llround(std::abs(days - whole) * 86400000.0);
    qint64 dayNumber = qint64(whole);
    if (milliseconds >= 86400000) {
        milliseconds -= 86400000;
        dayNumber += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(dayNumber);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(milliseconds)), Qt::UTC);
}

struct MdbFile::Handle {
    MdbHandle* mdb = nullptr;
    // The bound columns' buffers, kept from table to table: allocating them is most of the cost otherwise.
    std::vector<QByteArray> buffers;
    ~Handle() {
        if (mdb) {
            QuietStderr quiet;
            mdb_close(mdb);
        }
    }
};

MdbFile::MdbFile(const QString& path) : mHandle(std::make_unique<Handle>()), mPath(path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        throw MdbFileError(QStringLiteral("cannot read '%1': no such file").arg(path));
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        throw MdbFileError(QStringLiteral("cannot read '%1': %2").arg(path, probe.errorString()));
    }
    // Every file of the real engine begins with its signature; anything else is not handed to libmdb.
    const QByteArray header = probe.read(19);
    probe.close();
    const QByteArray signature = header.mid(4, 15);
    if (signature != "Standard Jet DB" && signature != "Standard ACE DB") {
        throw MdbFileError(QStringLiteral("'%1' is not a database file of the real engine").arg(path));
    }
    {
        QuietStderr quiet;
        mHandle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    }
    MdbHandle* mdb = mHandle->mdb;
    if (!mdb) {
        throw MdbFileError(
            QStringLiteral("'%1' is not a database file of the real engine, or is damaged").arg(path));
    }
    if (mdb->f->jet_version > MDB_VER_ACCDB_2019) {
        throw MdbFileError(QStringLiteral("'%1' is of a database format that cannot be read").arg(path));
    }
    const bool password = std::any_of(std::begin(mdb->f->db_passwd), std::end(mdb->f->db_passwd),
                                      [](char c) { return c != 0; });
    if (password) {
        throw MdbFileError(QStringLiteral("'%1' is password-protected").arg(path));
    }
    const auto damaged = [&] {
        return MdbFileError(QStringLiteral("'%1' is damaged: its catalogue cannot be read").arg(path));
    };
    // A whole number of pages, or the file was cut short.
    if (mdb->fmt->pg_size <= 0 || info.size() % mdb->fmt->pg_size != 0) {
        throw damaged();
    }
    {
        QuietStderr quiet;
        if (!mdb_read_catalog(mdb, MDB_ANY)) {
            throw damaged();
        }
    }
    try {
        const std::vector<ColumnInfo> catalogueColumns = columns(QStringLiteral("MSysObjects"));
        const auto at = [&](const char* name) {
            for (size_t i = 0; i < catalogueColumns.size(); ++i) {
                if (catalogueColumns[i].name == QLatin1String(name)) {
                    return int(i);
                }
            }
            throw damaged();
        };
        const int id = at("Id");
        const int parentId = at("ParentId");
        const int name = at("Name");
        const int type = at("Type");
        const int flags = at("Flags");
        const int properties = at("LvProp");
        const QStringList read = {QStringLiteral("Id"),    QStringLiteral("ParentId"),
                                  QStringLiteral("Name"),  QStringLiteral("Type"),
                                  QStringLiteral("Flags"), QStringLiteral("LvProp")};
        readRows(
            QStringLiteral("MSysObjects"),
            [&](const QVariantList& row) {
                ObjectInfo object{row[id].toLongLong(), row[parentId].toLongLong(), row[name].toString(),
                                  row[type].toInt(),    row[flags].toLongLong(),    QString()};
                if (object.name.isEmpty()) {
                    throw damaged();
                }
                QByteArray kkd = row[properties].toByteArray();
                if (kkd.startsWith("KKD")) {
                    QuietStderr quiet;
                    if (GPtrArray* sets = mdb_kkd_to_props(mdb, kkd.data(), size_t(kkd.size()))) {
                        for (guint i = 0; i < sets->len; ++i) {
                            auto* set = static_cast<MdbProperties*>(g_ptr_array_index(sets, i));
                            if (i == 0 && set->hash) {
                                if (const auto* text = static_cast<const char*>(
                                        g_hash_table_lookup(set->hash, "Description"))) {
                                    object.description = QString::fromUtf8(text);
                                }
                            }
                            mdb_free_props(set);
                        }
                        g_ptr_array_free(sets, TRUE);
                    }
                }
                mObjects.push_back(std::move(object));
            },
            read);
    } catch (const MdbFileError&) {
        throw damaged();
    }
}

MdbFile::~MdbFile() = default;

QString MdbFile::formatName() const {
    switch (mHandle->mdb->f->jet_version) {
        case MDB_VER_JET3:
            return QStringLiteral("Jet 3");
        case MDB_VER_JET4:
            return QStringLiteral("Jet 4");
        case MDB_VER_ACCDB_2007:
            return QStringLiteral("Access 2007");
        case MDB_VER_ACCDB_2010:
            return QStringLiteral("Access 2010");
        case MDB_VER_ACCDB_2013:
            return QStringLiteral("Access 2013");
        case MDB_VER_ACCDB_2016:
            return QStringLiteral("Access 2016");
        default:
            return QStringLiteral("Access 2019");
    }
}

std::vector<ObjectInfo> MdbFile::userTables() const {
    constexpr qint64 kSystem = 0x80000000LL;
    constexpr qint64 kHidden = 0x2LL;
    std::vector<ObjectInfo> tables;
    for (const ObjectInfo& object : mObjects) {
        const qint64 flags = object.flags & 0xffffffffLL;
        if (object.type == 1 && !(flags & (kSystem | kHidden)) &&
            !object.name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive)) {
            tables.push_back(object);
        }
    }
    return tables;
}

namespace {

TableDefPointer openTable(MdbHandle* mdb, const QString& name, const QString& path) {
    QuietStderr quiet;
    // From the catalogue read once on opening: looking a table up by name would read it all again.
    MdbCatalogEntry* entry = nullptr;
    for (guint i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (candidate->object_type == MDB_TABLE && QString::fromUtf8(candidate->object_name) == name) {
            entry = candidate;
            break;
        }
    }
    TableDefPointer table(entry ? mdb_read_table(entry) : nullptr);
    if (!table || !mdb_read_columns(table.get())) {
        throw MdbFileError(QStringLiteral("'%1' is damaged: table '%2' cannot be read").arg(path, name));
    }
    return table;
}

}  // namespace

std::vector<ColumnInfo> MdbFile::columns(const QString& table) {
    const TableDefPointer definition = openTable(mHandle->mdb, table, mPath);
    std::vector<ColumnInfo> list;
    for (guint i = 0; i < definition->num_cols; ++i) {
        const auto* column = static_cast<::MdbColumn*>(g_ptr_array_index(definition->columns, i));
        list.push_back({QString::fromUtf8(column->name), fieldType(*column)});
    }
    return list;
}

qint64 MdbFile::readRows(const QString& tableName, const std::function<void(const QVariantList&)>& row,
                         const QStringList& only) {
    MdbHandle* mdb = mHandle->mdb;
    const TableDefPointer table = openTable(mdb, tableName, mPath);
    QuietStderr quiet;
    // libmdb converts each bound value in a buffer of the bind size: large only where a value can be.
    bool large = false;
    for (guint i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<::MdbColumn*>(g_ptr_array_index(table->columns, i));
        large = large || (bufferSize(column->col_type) == kBindSize && column->col_type != MDB_TEXT);
    }
    mdb_set_bind_size(mdb, large ? kBindSize : kTextBindSize);
    mdb_set_boolean_fmt_numbers(mdb);
    const guint count = table->num_cols;
    std::vector<QByteArray>& buffers = mHandle->buffers;
    if (buffers.size() < count) {
        buffers.resize(count);
    }
    std::vector<int> lengths(count, 0);
    std::vector<::MdbColumn*> columns(count);
    std::vector<bool> wanted(count);
    for (guint i = 0; i < count; ++i) {
        columns[i] = static_cast<::MdbColumn*>(g_ptr_array_index(table->columns, i));
        wanted[i] = only.isEmpty() || only.contains(QString::fromUtf8(columns[i]->name), Qt::CaseInsensitive);
        if (!wanted[i]) {
            continue;
        }
        // Fixed-size values are decoded from the row itself; converting them to text would only cost.
        if (isDecodedRaw(columns[i]->col_type)) {
            continue;
        }
        const qsizetype size = qsizetype(bufferSize(columns[i]->col_type));
        if (buffers[i].size() < size) {
            buffers[i].resize(size);
        }
        mdb_bind_column(table.get(), int(i) + 1, buffers[i].data(), &lengths[i]);
    }
    mdb_rewind_table(table.get());
    qint64 rows = 0;
    QVariantList values;
    values.reserve(count);
    std::vector<guint> objects;
    while (mdb_fetch_row(table.get())) {
        ++rows;
        values.clear();
        objects.clear();
        for (guint i = 0; i < count; ++i) {
            ::MdbColumn* column = columns[i];
            if (!wanted[i]) {
                values << QVariant();
                continue;
            }
            const int start = column->cur_value_start;
            const int length = column->cur_value_len;
            const auto* bytes = mdb->pg_buf + start;
            if (column->col_type == MDB_BOOL) {
                // Kept in the null mask, so never Null; the host's truth values are -1 and 0.
                values << (lengths[i] > 0 && buffers[i][0] == '1' ? -1 : 0);
                continue;
            }
            const bool inPage = start >= 0 && length >= 0 && size_t(start) + size_t(length) <= MDB_PGSIZE;
            if ((start == 0 && length == 0) || !inPage) {
                values << QVariant();
                continue;
            }
            switch (column->col_type) {
                case MDB_BYTE:
                    values << (length >= 1 ? QVariant(int(bytes[0])) : QVariant());
                    break;
                case MDB_INT:
                    values << (length >= 2 ? QVariant(int(littleEndian(bytes, 2))) : QVariant());
                    break;
                case MDB_COMPLEX:
                    // The attachments themselves live in a hidden table libmdb offers no reader for.
                    values << QVariant();
                    break;
                case MDB_LONGINT:
                    values << (length >= 4 ? QVariant(littleEndian(bytes, 4)) : QVariant());
                    break;
                case MDB_MONEY:
                    // Ten-thousandths in a 64-bit integer: the nearest double to the exact amount.
                    values << (length >= 8 ? QVariant(double(littleEndian(bytes, 8)) / 10000.0) : QVariant());
                    break;
                case MDB_FLOAT:
                    values << (length >= 4 ? QVariant(double(mdb_get_single(mdb->pg_buf, start)))
                                           : QVariant());
                    break;
                case MDB_DOUBLE:
                    values << (length >= 8 ? QVariant(mdb_get_double(mdb->pg_buf, start)) : QVariant());
                    break;
                case MDB_DATETIME:
                    values << (length >= 8 ? dateFromDays(mdb_get_double(mdb->pg_buf, start)) : QVariant());
                    break;
                case MDB_TEXT:
                case MDB_MEMO:
                    values << QString::fromUtf8(buffers[i].constData(), lengths[i]);
                    break;
                case MDB_REPID:
                    values << QString::fromUtf8(buffers[i].constData(), lengths[i]);
                    break;
                case MDB_NUMERIC: {
                    char* text = mdb_numeric_to_string(mdb, start, column->col_scale, column->col_prec);
                    values << QString::fromUtf8(text);
                    g_free(text);
                    break;
                }
                case MDB_OLE:
                    // Read last: following an OLE value reads other pages.
                    values << QVariant();
                    objects.push_back(i);
                    break;
                default:  // MDB_BINARY
                    values << QByteArray(reinterpret_cast<const char*>(bytes), length);
            }
        }
        for (guint i : objects) {
            size_t size = 0;
            void* data = mdb_ole_read_full(mdb, columns[i], &size);
            values[i] = data ? QByteArray(static_cast<const char*>(data), qsizetype(size)) : QByteArray("");
            std::free(data);
        }
        row(values);
    }
    if (rows < qint64(table->num_rows)) {
        throw MdbFileError(QStringLiteral("'%1' is damaged: table '%2' has %3 of its %4 rows")
                               .arg(mPath, tableName)
                               .arg(rows)
                               .arg(table->num_rows));
    }
    return rows;
}

}  // namespace mdb
