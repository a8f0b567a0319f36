// The rows of one table for the datasheet view, read in pages on demand over a read-only connection of
// its own: opening a table of a million rows reads its count and the first screen, never the whole table.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

struct sqlite3;

namespace app {

class DatasheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows held in memory at most, in pages of kPageRows.
    static constexpr int kPageRows = 256;
    static constexpr int kCachedPages = 48;

    // Opens the table of the database file; throws std::runtime_error when it cannot be read.
    DatasheetModel(const QString& databasePath, const QString& table, QObject* parent = nullptr);
    ~DatasheetModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Pages read from the database so far (for tests: scrolling reads pages, opening only the first).
    int pagesRead() const { return mPagesRead; }

private:
    struct Page {
        std::vector<QVariantList> rows;
    };
    const Page& page(int index) const;
    QString displayText(int column, const QVariant& value) const;

    sqlite3* mDb = nullptr;
    QString mTable;
    QStringList mFields;
    QStringList mTypes;
    int mRows = 0;
    mutable QHash<int, std::shared_ptr<Page>> mPages;
    mutable QList<int> mRecent;  // most recently used last
    // The last rowid of every page read so far: a later page is found from the nearest one before it.
    mutable QMap<int, qint64> mPageEnds;
    mutable int mPagesRead = 0;
};

}  // namespace app
