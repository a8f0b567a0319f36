// The windows the host opens an object in: a table's or query's datasheet, a query's design view and SQL
// view, a form's and a report's view. Each shows one object and says which, so that the main window can
// make it the current object while the window is active.
#pragma once

#include "host/QueryResult.h"
#include "hostapi/host.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <optional>

class QTableView;
class QLabel;
class QTabWidget;

namespace qdb {
class QdbDatabase;
}

namespace app {

class DatasheetModel;

class ObjectWindow : public QWidget {
    Q_OBJECT
public:
    ObjectWindow(host::ObjectType objectType, QString name, host::View view, QWidget* parent = nullptr);
    host::ObjectType objectType() const { return mType; }
    QString name() const { return mName; }
    host::View view() const { return mView; }
    // The title of the window, such as "Orders : Table".
    QString title() const;

private:
    host::ObjectType mType;
    QString mName;
    host::View mView;
};

// Runs a saved query for its datasheet, asking for its parameters through prompt. Host errors as the
// engine raises them (errCancelled when a prompt was cancelled). An action query is refused (3219) before
// it runs: running one changes data, which only an explicit command may.
std::unique_ptr<DatasheetModel> queryRows(qdb::QdbDatabase& database, const QString& query,
                                          const qdb::ParameterValues& prompt);

// True for the query types that change data or the design (append, update, delete, make-table,
// data definition) rather than return rows.
bool isActionQueryType(host::QueryType type);

// The host's "Enter Parameter Value" prompt for one parameter: its name as the label, a line edit, OK and
// Cancel. Nothing when cancelled; an empty answer is Null, as in the host.
std::optional<QVariant> askParameterValue(QWidget* parent, const QString& name);

class DatasheetWindow : public ObjectWindow {
    Q_OBJECT
public:
    // A table's rows from the file.
    DatasheetWindow(const QString& databasePath, const QString& table, QWidget* parent = nullptr);
    // A query's rows, run already (queryRows).
    DatasheetWindow(const QString& query, std::unique_ptr<DatasheetModel> rows, QWidget* parent = nullptr);
    ~DatasheetWindow() override;
    QTableView* table() const { return mTable; }
    // A table's datasheet reads its rows again (after an action query changed them); false for a query's
    // or when the table can no longer be read.
    bool reload();

private:
    void showRows();
    void updateRecordLabel();
    QString mDatabasePath;  // a table's
    std::unique_ptr<DatasheetModel> mModel;
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
    DocumentWindow(qdb::QdbDatabase& database, host::ObjectType objectType, const QString& name,
                   host::View view, QWidget* parent = nullptr);
};

}  // namespace app
