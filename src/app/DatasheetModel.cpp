#include "app/DatasheetModel.h"

#include "host/HostText.h"
#include "host/SqliteConnection.h"

#include <sqlite3.h>

#include <QColor>
#include <QLocale>

#include <algorithm>

#include <optional>
#include <stdexcept>

namespace app {

DatasheetModel::DatasheetModel(const QString& databasePath, const QString& table, QObject* parent)
    : QAbstractTableModel(parent), mTable(table) {
    const QByteArray path = databasePath.toUtf8();
    if (sqlite3_open_v2(path.constData(), &mDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const std::string message = mDb ? sqlite3_errmsg(mDb) : "cannot open";
        sqlite3_close(mDb);
        mDb = nullptr;
        throw std::runtime_error(message);
    }
    // The catalogue's names compare as the host compares text.
    qdb::registerHostText(mDb);
    try {
        // Field names and types in the table's own order, as the engine recorded them.
        qdb::SqliteStatement fields(mDb,
                                    QStringLiteral("SELECT f.Name, f.Type FROM MSysQdbFields f INNER JOIN "
                                                   "MSysObjects o ON o.Id = f.ObjectId WHERE o.Type = 1 "
                                                   "AND o.Name = ?1 ORDER BY f.Position"));
        fields.bind(1, table);
        while (fields.step()) {
            mFields << fields.text(0);
            mTypes << fields.text(1);
        }
        if (mFields.isEmpty()) {
            // A catalogue table: its columns as SQLite has them.
            qdb::SqliteStatement info(mDb, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
            info.bind(1, table);
            while (info.step()) {
                mFields << info.text(0);
                mTypes << QString();
            }
        }
        qdb::SqliteStatement count(
            mDb, QStringLiteral("SELECT count(*) FROM ") + qdb::SqliteConnection::quote(table));
        mRows = count.step() ? int(count.integer(0)) : 0;
    } catch (const qdb::SqliteError& error) {
        sqlite3_close(mDb);
        mDb = nullptr;
        throw std::runtime_error(error.message().toStdString());
    }
}

DatasheetModel::DatasheetModel(qdb::QueryResult rows, QObject* parent)
    : QAbstractTableModel(parent), mResult(std::move(rows)) {
    mFields = mResult.columns;
    mTypes = mResult.fieldTypes;
    mRows = mResult.rowCount();
}

DatasheetModel::~DatasheetModel() {
    mPages.clear();
    sqlite3_close(mDb);
}

int DatasheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : mRows;
}

int DatasheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(mFields.size());
}

const DatasheetModel::Page& DatasheetModel::page(int index) const {
    if (auto found = mPages.constFind(index); found != mPages.constEnd()) {
        mRecent.removeOne(index);
        mRecent.append(index);
        return **found;
    }
    auto loaded = std::make_shared<Page>();
    if (mDb) {
        readTablePage(index, *loaded);
    } else {
        readResultPage(index, *loaded);
    }
    ++mPagesRead;
    mPages.insert(index, loaded);
    mRecent.append(index);
    while (mRecent.size() > kCachedPages) {
        mPages.remove(mRecent.takeFirst());
    }
    return *loaded;
}

void DatasheetModel::readTablePage(int index, Page& loaded) const {
    QString columns;
    for (const QString& field : mFields) {
        columns +=
            (columns.isEmpty() ? QString() : QStringLiteral(", ")) + qdb::SqliteConnection::quote(field);
    }
    const QString from =
        QStringLiteral("SELECT rowid, %1 FROM %2 ").arg(columns, qdb::SqliteConnection::quote(mTable));
    // Seek from the end of the nearest page read before this one, so that scrolling down costs one page.
    auto anchor = mPageEnds.lowerBound(index);
    qint64 skip = qint64(index) * kPageRows;
    QString sql;
    std::optional<qint64> after;
    if (anchor != mPageEnds.begin()) {
        --anchor;
        after = anchor.value();
        skip = qint64(index - anchor.key() - 1) * kPageRows;
        sql = from +
              QStringLiteral("WHERE rowid > ?1 ORDER BY rowid LIMIT %1 OFFSET %2").arg(kPageRows).arg(skip);
    } else {
        sql = from + QStringLiteral("ORDER BY rowid LIMIT %1 OFFSET %2").arg(kPageRows).arg(skip);
    }
    try {
        qdb::SqliteStatement statement(mDb, sql);
        if (after) {
            statement.bind(1, *after);
        }
        qint64 lastRowid = 0;
        while (statement.step()) {
            lastRowid = statement.integer(0);
            QVariantList row;
            row.reserve(mFields.size());
            for (int column = 0; column < mFields.size(); ++column) {
                row << statement.value(column + 1);
            }
            loaded.rows.push_back(std::move(row));
        }
        if (!loaded.rows.empty()) {
            mPageEnds.insert(index, lastRowid);
        }
    } catch (const qdb::SqliteError&) {
        // A table changed or dropped under the view shows empty rows rather than failing the paint.
    }
}

void DatasheetModel::readResultPage(int index, Page& loaded) const {
    const int first = index * kPageRows;
    const int last = std::min(mRows, first + kPageRows);
    const int columns = int(mFields.size());
    for (int row = first; row < last; ++row) {
        QVariantList values;
        values.reserve(columns);
        for (int column = 0; column < columns; ++column) {
            values << mResult.cell(row, column);
        }
        loaded.rows.push_back(std::move(values));
    }
}

QString DatasheetModel::displayText(int column, const QVariant& value) const {
    if (value.isNull()) {
        return QString();
    }
    const QString& type = mTypes.value(column);
    if (type == QLatin1String("Currency")) {
        return QLocale().toCurrencyString(value.toDouble(), QStringLiteral("$"));
    }
    if (type == QLatin1String("DateTime")) {
        QString text = value.toString();
        text.replace(QLatin1Char('T'), QLatin1Char(' '));
        if (text.endsWith(QLatin1String(" 00:00:00"))) {
            text.chop(9);
        }
        return text;
    }
    return value.toString();
}

QVariant DatasheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= mRows) {
        return {};
    }
    const bool yesNo = mTypes.value(index.column()) == QLatin1String("YesNo");
    if (role != Qt::DisplayRole && role != Qt::CheckStateRole && role != Qt::TextAlignmentRole) {
        return {};
    }
    const Page& rows = page(index.row() / kPageRows);
    const std::size_t offset = std::size_t(index.row() % kPageRows);
    if (offset >= rows.rows.size()) {
        return {};
    }
    const QVariant& value = rows.rows[offset].value(index.column());
    if (role == Qt::CheckStateRole) {
        return yesNo ? QVariant(value.toInt() != 0 ? Qt::Checked : Qt::Unchecked) : QVariant();
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return yesNo ? QVariant() : QVariant(displayText(index.column(), value));
}

QVariant DatasheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return mFields.value(section);
    }
    return section + 1;
}

}  // namespace app
