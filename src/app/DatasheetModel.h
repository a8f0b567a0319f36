// The rows of a datasheet view, handed to the view in pages on demand. A table's pages are read over a
// read-only connection of its own: opening a table of a million rows reads its count and the first
// screen, never the whole table. A query's rows come from the engine all at once (it runs the statement to
// the end, as it must for parameters, crosstabs and TOP), and are paged from memory the same way.
#pragma once

#include "host/QueryResult.h"

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
    // The rows a query gave.
    explicit DatasheetModel(qdb::QueryResult rows, QObject* parent = nullptr);
    ~DatasheetModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Pages read so far (for tests: scrolling reads pages, opening only the first).
    int pagesRead() const { return mPagesRead; }
    // Pages held now; never more than kCachedPages.
    int pagesHeld() const { return int(mPages.size()); }

private:
    struct Page {
        std::vector<QVariantList> rows;
    };
    const Page& page(int index) const;
    void readTablePage(int index, Page& page) const;
    void readResultPage(int index, Page& page) const;
    QString displayText(int column, const QVariant& value) const;

    sqlite3* mDb = nullptr;
    QString mTable;
    qdb::QueryResult mResult;  // a query's rows; unused for a table
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
