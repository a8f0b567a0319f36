// The windows the host opens an object in: a table's or query's datasheet, a query's design view and SQL
// view, a form's and a report's view. Each shows one object and says which, so that the main window can
// make it the current object while the window is active.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QAbstractItemModel;
class QTableView;
class QLabel;
class QTabWidget;

namespace qdb {
class QdbDatabase;
}

namespace app {

class ObjectWindow : public QWidget {
    Q_OBJECT
public:
    ObjectWindow(int objectType, QString name, int view, QWidget* parent = nullptr);
    int objectType() const { return mType; }
    QString name() const { return mName; }
    int view() const { return mView; }
    // The title of the window, such as "Orders : Table".
    QString title() const;

private:
    int mType;
    QString mName;
    int mView;
};

// The rows of a saved query for its datasheet, or nullptr while the host cannot run queries: then the
// datasheet shows the query's SQL with a note instead. The one place where query rows come in.
std::unique_ptr<QAbstractItemModel> queryRows(qdb::QdbDatabase& database, const QString& query);

class DatasheetWindow : public ObjectWindow {
    Q_OBJECT
public:
    // A table's rows from the file, or a query's rows (or its SQL and the note).
    DatasheetWindow(qdb::QdbDatabase& database, const QString& databasePath, int objectType,
                    const QString& name, QWidget* parent = nullptr);
    ~DatasheetWindow() override;
    QTableView* table() const { return mTable; }

private:
    void updateRecordLabel();
    std::unique_ptr<QAbstractItemModel> mModel;
    QTableView* mTable = nullptr;
    QLabel* mRecord = nullptr;
};

class QueryDesignWindow : public ObjectWindow {
    Q_OBJECT
public:
    // A query that was never saved shows an empty design.
    QueryDesignWindow(qdb::QdbDatabase& database, const QString& databasePath, const QString& name,
                      bool isNew, QWidget* parent = nullptr);
    // The plain text of the saved SQL, the host's SQL view.
    void showSqlView();
    bool showsSql() const;

private:
    QTabWidget* mViews = nullptr;
};

// A form's or report's view: its record source and controls.
class DocumentWindow : public ObjectWindow {
    Q_OBJECT
public:
    DocumentWindow(qdb::QdbDatabase& database, int objectType, const QString& name, int view,
                   QWidget* parent = nullptr);
};

}  // namespace app
