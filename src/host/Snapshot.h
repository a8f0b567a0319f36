// Snapshot recordsets: the rows of a statement read into memory when it is opened. Filtered copies share
// the rows of their origin; an equality filter on one field is answered from a hash index on that field,
// built on first use and kept with the rows, so a filter costs as much as its matches.
#pragma once

#include "hostapi/host.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace qdb {

class SqliteStatement;

class SnapshotData {
public:
    // Reads every row of the statement.
    explicit SnapshotData(SqliteStatement& statement);
    SnapshotData(QStringList columns, std::vector<QVariant> cells);

    const QStringList& columns() const { return mColumns; }
    int columnCount() const { return int(mColumns.size()); }
    int rowCount() const { return mColumns.isEmpty() ? 0 : int(mCells.size() / mColumns.size()); }
    const QVariant* row(int index) const { return mCells.data() + size_t(index) * mColumns.size(); }
    // First column of that name, ignoring case; -1 when there is none.
    int columnIndex(const QString& name) const;
    // Rows (ascending) whose value in the column has the key (see equalityKey).
    const std::vector<int>& rowsWithKey(int column, const QString& key) const;

private:
    QStringList mColumns;
    std::vector<QVariant> mCells;
    mutable std::vector<std::unique_ptr<QHash<QString, std::vector<int>>>> mIndexes;
};

class SnapshotRecordset : public host::Recordset {
public:
    // rows: the rows of the data this recordset shows, ascending; null for all of them.
    SnapshotRecordset(std::shared_ptr<const SnapshotData> data,
                      std::shared_ptr<const std::vector<int>> rows = {});

    bool eof() const override;
    bool bof() const override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    int recordCount() const override;
    int fieldCount() const override;
    QString fieldName(int index) const override;
    QVariant value(const QString& field) const override;
    QString text(const QString& field) const override;
    bool isNull(const QString& field) const override;
    QString filter() const override;
    void setFilter(const QString& criteria) override;
    std::unique_ptr<Recordset> openRecordset() override;
    void close() override;

    // The same filtered copy found by testing every row: the baseline the index is measured against.
    std::unique_ptr<Recordset> openRecordsetByScan();

private:
    void checkOpen() const;
    int dataRow(int position) const;
    const QVariant& current(const QString& field) const;
    bool contains(int dataRow) const;

    std::shared_ptr<const SnapshotData> mData;
    std::shared_ptr<const std::vector<int>> mRows;
    mutable std::vector<bool> mMembership;  // built on first need, for filters of filtered copies
    int mPosition = 0;                      // -1 before the first row (BOF), count() after the last (EOF)
    QString mFilter;
    bool mClosed = false;
};

}  // namespace qdb
