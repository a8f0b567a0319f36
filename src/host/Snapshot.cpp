#include "host/Snapshot.h"

#include "host/HostErrors.h"
#include "host/HostText.h"
#include "host/RecordFilter.h"
#include "host/SqliteConnection.h"

namespace qdb {

SnapshotData::SnapshotData(SqliteStatement& statement) {
    const int count = statement.columnCount();
    for (int i = 0; i < count; ++i) {
        mColumns << statement.columnName(i);
    }
    while (statement.step()) {
        for (int i = 0; i < count; ++i) {
            mCells.push_back(statement.value(i));
        }
    }
    mIndexes.resize(size_t(count));
}

SnapshotData::SnapshotData(QStringList columns, std::vector<QVariant> cells)
    : mColumns(std::move(columns)), mCells(std::move(cells)) {
    mIndexes.resize(size_t(mColumns.size()));
}

int SnapshotData::columnIndex(const QString& name) const {
    for (int i = 0; i < mColumns.size(); ++i) {
        if (compareText(mColumns[i], name) == 0) {
            return i;
        }
    }
    return -1;
}

const std::vector<int>& SnapshotData::rowsWithKey(int column, const QString& key) const {
    auto& index = mIndexes[size_t(column)];
    if (!index) {
        index = std::make_unique<QHash<QString, std::vector<int>>>();
        const int rows = rowCount();
        for (int r = 0; r < rows; ++r) {
            if (const auto rowKey = equalityKey(row(r)[column])) {
                (*index)[*rowKey].push_back(r);
            }
        }
    }
    static const std::vector<int> none;
    const auto found = index->constFind(key);
    return found == index->constEnd() ? none : *found;
}

SnapshotRecordset::SnapshotRecordset(std::shared_ptr<const SnapshotData> data,
                                     std::shared_ptr<const std::vector<int>> rows)
    : mData(std::move(data)), mRows(std::move(rows)) {
    mPosition = recordCount() == 0 ? -1 : 0;
}

void SnapshotRecordset::checkOpen() const {
    if (mClosed) {
        throwObjectInvalid(kSourceRecordset);
    }
}

int SnapshotRecordset::dataRow(int position) const {
    return mRows ? (*mRows)[size_t(position)] : position;
}

bool SnapshotRecordset::eof() const {
    checkOpen();
    return recordCount() == 0 || mPosition >= recordCount();
}

bool SnapshotRecordset::bof() const {
    checkOpen();
    return recordCount() == 0 || mPosition < 0;
}

void SnapshotRecordset::moveFirst() {
    checkOpen();
    if (recordCount() == 0) {
        throwNoCurrentRecord(kSourceRecordset);
    }
    mPosition = 0;
}

void SnapshotRecordset::moveLast() {
    checkOpen();
    if (recordCount() == 0) {
        throwNoCurrentRecord(kSourceRecordset);
    }
    mPosition = recordCount() - 1;
}

void SnapshotRecordset::moveNext() {
    checkOpen();
    if (eof()) {
        throwNoCurrentRecord(kSourceRecordset);
    }
    ++mPosition;
}

int SnapshotRecordset::recordCount() const {
    checkOpen();
    return mRows ? int(mRows->size()) : mData->rowCount();
}

int SnapshotRecordset::fieldCount() const {
    checkOpen();
    return mData->columnCount();
}

QString SnapshotRecordset::fieldName(int index) const {
    checkOpen();
    if (index < 0 || index >= mData->columnCount()) {
        throwItemNotFound(kSourceRecordset);
    }
    return mData->columns()[index];
}

const QVariant& SnapshotRecordset::current(const QString& field) const {
    checkOpen();
    const int column = mData->columnIndex(field);
    if (column < 0) {
        throwItemNotFound(kSourceRecordset);
    }
    if (mPosition < 0 || mPosition >= recordCount()) {
        throwNoCurrentRecord(kSourceRecordset);
    }
    return mData->row(dataRow(mPosition))[column];
}

QVariant SnapshotRecordset::value(const QString& field) const {
    return current(field);
}

QString SnapshotRecordset::text(const QString& field) const {
    const QVariant& value = current(field);
    return value.isNull() ? QString() : value.toString();
}

bool SnapshotRecordset::isNull(const QString& field) const {
    return current(field).isNull();
}

QString SnapshotRecordset::filter() const {
    checkOpen();
    return mFilter;
}

void SnapshotRecordset::setFilter(const QString& criteria) {
    checkOpen();
    mFilter = criteria;
}

bool SnapshotRecordset::contains(int row) const {
    if (!mRows) {
        return true;
    }
    if (mMembership.empty()) {
        mMembership.assign(size_t(mData->rowCount()), false);
        for (int r : *mRows) {
            mMembership[size_t(r)] = true;
        }
    }
    return mMembership[size_t(row)];
}

std::unique_ptr<host::Recordset> SnapshotRecordset::openRecordset() {
    checkOpen();
    if (mFilter.trimmed().isEmpty()) {
        return std::make_unique<SnapshotRecordset>(mData, mRows);
    }
    const RecordFilter filter(mFilter, mData->columns());
    const auto equality = filter.indexableEquality();
    if (!equality) {
        return openRecordsetByScan();
    }
    auto rows = std::make_shared<std::vector<int>>();
    for (int r : mData->rowsWithKey(equality->column, equality->key)) {
        if (contains(r) && filter.matches(mData->row(r))) {
            rows->push_back(r);
        }
    }
    return std::make_unique<SnapshotRecordset>(mData, std::move(rows));
}

std::unique_ptr<host::Recordset> SnapshotRecordset::openRecordsetByScan() {
    checkOpen();
    const RecordFilter filter(mFilter, mData->columns());
    auto rows = std::make_shared<std::vector<int>>();
    const int count = recordCount();
    for (int position = 0; position < count; ++position) {
        const int r = dataRow(position);
        if (filter.matches(mData->row(r))) {
            rows->push_back(r);
        }
    }
    return std::make_unique<SnapshotRecordset>(mData, std::move(rows));
}

void SnapshotRecordset::close() {
    mClosed = true;
    mData.reset();
    mRows.reset();
}

}  // namespace qdb
