// The host's object model as the add-in sees it: the host application and its data access objects.
// Every call the add-in makes into the host goes through these interfaces; src/host implements them on an
// embedded engine, and tests may supply their own.
#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace host {

// The kinds of saved query, with the host's codes (QueryDef::type). The codes show in the catalogue and
// in the image keys of the tree window, so they stay as the host numbers them.
enum class QueryType {
    Select = 0,
    Crosstab = 16,
    Delete = 32,
    Update = 48,
    Append = 64,
    MakeTable = 80,
    DataDefinition = 96,
    PassThrough = 112,
    Union = 128,
    PassThroughBulk = 144,
    Procedure = 224,
};

enum class RecordsetType { Snapshot = 4 };

// What the host says of an object (SysCmd's object state): a closed object has none of them.
enum class ObjectState { Open = 1, Dirty = 2, New = 4 };
Q_DECLARE_FLAGS(ObjectStates, ObjectState)

// The view DoCmd opens an object in: Normal is the datasheet of a table or query and a form's form view.
enum class View { Normal = 0, Design = 1, Preview = 2 };
// CurrentView of an open object: its own codes, not the ones DoCmd opens with.
enum class CurrentView { Design = 0, FormBrowse = 1, Datasheet = 2 };
enum class DataMode { PropertySettings = -1, Add = 0, Edit = 1, ReadOnly = 2 };
enum class WindowMode { Normal = 0, Hidden = 1 };
// What closing an object does with unsaved changes.
enum class SaveOption { Prompt = 0, Yes = 1, No = 2 };

// DoCmd.RunCommand's commands.
enum class Command { NewObjectQuery = 135 };
enum class ProjectType { None = 0, ClientServer = 1, Database = 2 };
enum class MousePointer { Default = 0, Hourglass = 11 };

// Error numbers the add-in tests for.
inline constexpr int errCancelled = 2001;
inline constexpr int errObjectClosed = 2467;
inline constexpr int errObjectExists = 3012;
inline constexpr int errNoCurrentRecord = 3021;
inline constexpr int errSyntaxInExpression = 3075;
inline constexpr int errInvalidName = 3125;
inline constexpr int errInvalidSqlStatement = 3129;
inline constexpr int errItemNotFound = 3265;
inline constexpr int errPropertyNotFound = 3270;
inline constexpr int errObjectInvalid = 3420;

// The kinds of object the host knows, with its codes (they show in the catalogue and in image keys).
// The add-in's commands apply to tables, queries, forms and reports; the others may still be the
// current object or a page of the database window.
enum class ObjectType {
    Table = 0,
    Query = 1,
    Form = 2,
    Report = 3,
    Macro = 4,
    Module = 5,
    DataAccessPage = 6,
    ServerView = 7,
    Diagram = 8,
    StoredProcedure = 9,
    Function = 10,
};

// One object: its kind and its name as the database spells it. An empty name stands for the whole
// page of that kind in the database window (selectObject) or the current object (close).
struct ObjectRef {
    ObjectType type = ObjectType::Table;
    QString name;
    bool operator==(const ObjectRef&) const = default;
};

// A failure of a host call: number, description and source. Data access errors have a source that
// begins with "DAO.".
class Error : public std::exception {
public:
    Error(int number, QString description, QString source)
        : mNumber(number),
          mDescription(std::move(description)),
          mSource(std::move(source)),
          mWhat(mDescription.toStdString()) {}

    int number() const noexcept { return mNumber; }
    const QString& description() const noexcept { return mDescription; }
    const QString& source() const noexcept { return mSource; }
    const char* what() const noexcept override { return mWhat.c_str(); }

private:
    int mNumber;
    QString mDescription;
    QString mSource;
    std::string mWhat;
};

// A read-only snapshot of the rows of a statement, held in memory.
class Recordset {
public:
    virtual ~Recordset() = default;

    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    virtual void moveFirst() = 0;  // errNoCurrentRecord on an empty set
    virtual void moveLast() = 0;   // errNoCurrentRecord on an empty set
    virtual void moveNext() = 0;   // errNoCurrentRecord past the end
    // Complete at any time for a snapshot (the host guarantees it only after moveLast).
    virtual int recordCount() const = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The current row's value; a null QVariant for Null. errItemNotFound for an unknown field,
    // errNoCurrentRecord at BOF or EOF.
    virtual QVariant value(const QString& field) const = 0;
    // The value as text, Null read as empty text.
    virtual QString text(const QString& field) const = 0;
    virtual bool isNull(const QString& field) const = 0;

    // The criteria used by the next openRecordset(), such as "Name1 = 'Orders'".
    virtual QString filter() const = 0;
    virtual void setFilter(const QString& criteria) = 0;
    // A new snapshot of the rows of this one that meet the filter (all of them when there is none).
    virtual std::unique_ptr<Recordset> openRecordset() = 0;

    virtual void close() = 0;
};

// A saved query.
class QueryDef {
public:
    virtual ~QueryDef() = default;
    virtual QString name() const = 0;
    virtual QString sql() const = 0;
    // Saves new SQL text; errSyntaxInExpression or errInvalidSqlStatement when it is not valid.
    virtual void setSql(const QString& sql) = 0;
    virtual QueryType type() const = 0;
};

class TableDef {
public:
    virtual ~TableDef() = default;
    virtual QString name() const = 0;
    virtual QStringList fieldNames() const = 0;  // in the table's field order
};

// The open database (the data access layer's Database).
class Database {
public:
    virtual ~Database() = default;

    virtual QString name() const = 0;  // full path of the database file

    // The object of that kind and name (ignoring case), or nothing when the database has none.
    virtual std::optional<ObjectRef> findObject(ObjectType type, const QString& name) = 0;

    // QueryDefs: by name (ignoring case) or index; errItemNotFound when missing.
    virtual int queryDefCount() = 0;
    virtual std::shared_ptr<QueryDef> queryDef(int index) = 0;
    virtual std::shared_ptr<QueryDef> queryDef(const QString& name) = 0;
    virtual void deleteQueryDef(const QString& name) = 0;
    virtual void refreshQueryDefs() = 0;
    // errObjectExists when the name is taken, errInvalidName when it breaks the naming rules,
    // errSyntaxInExpression or errInvalidSqlStatement for invalid SQL. Without SQL the query is empty.
    virtual std::shared_ptr<QueryDef> createQueryDef(const QString& name,
                                                     const std::optional<QString>& sql = std::nullopt) = 0;

    // TableDefs: by name (ignoring case) or index; errItemNotFound when missing.
    virtual int tableDefCount() = 0;
    virtual std::shared_ptr<TableDef> tableDef(int index) = 0;
    virtual std::shared_ptr<TableDef> tableDef(const QString& name) = 0;

    // Containers(container).Documents: "Tables" lists tables and queries, then "Forms", "Reports".
    virtual QStringList documentNames(const QString& container) = 0;
    // Containers(container).Documents(document).Properties(property): errItemNotFound for a missing
    // container or document, errPropertyNotFound for a property that is not set.
    virtual QVariant documentProperty(const QString& container, const QString& document,
                                      const QString& property) = 0;

    virtual std::unique_ptr<Recordset> openRecordset(const QString& sql,
                                                     RecordsetType type = RecordsetType::Snapshot) = 0;
};

// CurrentProject.
class CurrentProject {
public:
    virtual ~CurrentProject() = default;
    virtual QString fullName() = 0;  // empty when no database is open
    virtual ProjectType projectType() = 0;
    virtual int connectionMode() = 0;  // 1 and 13 mean read-only
};

// CurrentData.AllQueries(name).
struct AccessObjectState {
    bool isLoaded = false;
    CurrentView currentView = CurrentView::Datasheet;
};

class DoCmd {
public:
    virtual ~DoCmd() = default;
    virtual void openQuery(const QString& name, View view, DataMode dataMode) = 0;
    virtual void openTable(const QString& name, View view, DataMode dataMode) = 0;
    virtual void openForm(const QString& name, View view, const QString& filterName,
                          const QString& whereCondition, DataMode dataMode, WindowMode windowMode) = 0;
    virtual void openReport(const QString& name, View view, WindowMode windowMode = WindowMode::Normal) = 0;
    virtual void close(const ObjectRef& object, SaveOption save) = 0;
    virtual void selectObject(const ObjectRef& object, bool inDatabaseWindow) = 0;
    virtual void runCommand(Command command) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual MousePointer mousePointer() = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
    virtual bool hasActiveDatasheet() = 0;
    virtual void activeDatasheetSetFocus() = 0;  // fails when there is no active datasheet
};

// The host application object.
class Application {
public:
    virtual ~Application() = default;

    // The object that has the focus, or nothing when none has.
    virtual std::optional<ObjectRef> currentObject() = 0;
    // SysCmd(acSysCmdAccessVer): the version text, such as "12.0" or "9.0 Beta".
    virtual QString accessVersion() = 0;
    // SysCmd(acSysCmdGetObjectState, type, name).
    virtual ObjectStates objectState(const ObjectRef& object) = 0;
    // The open database, or nullptr when none is open.
    virtual std::shared_ptr<Database> currentDb() = 0;
    virtual CurrentProject& currentProject() = 0;
    // CurrentData.AllQueries(name); errItemNotFound for an unknown query.
    virtual AccessObjectState allQueries(const QString& name) = 0;
    // Forms(name).RecordSource and Reports(name).RecordSource of an open form or report.
    virtual QString formRecordSource(const QString& form) = 0;
    virtual QString reportRecordSource(const QString& report) = 0;
    virtual DoCmd& doCmd() = 0;
    virtual Screen& screen() = 0;
    virtual void echo(bool on) = 0;
    virtual void refreshDatabaseWindow() = 0;
    virtual quintptr hWndAccessApp() = 0;
    // DCount(expression, domain, criteria).
    virtual long dCount(const QString& expression, const QString& domain, const QString& criteria) = 0;
    // Runs one of the host's named procedures (wizard entry points); unknown names fail.
    virtual QVariant run(const QString& procedure) = 0;
    virtual void sendKeys(const QString& keys, bool wait) = 0;
};

}  // namespace host

Q_DECLARE_OPERATORS_FOR_FLAGS(host::ObjectStates)
