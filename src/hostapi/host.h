// The host's object model as the add-in sees it: the host application and its data access objects.
// Every call the add-in makes into the host goes through these interfaces; src/host implements them on an
// embedded engine, and tests may supply their own.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace host {

// Object type codes (the host's numbering).
inline constexpr int acTable = 0;
inline constexpr int acQuery = 1;
inline constexpr int acForm = 2;
inline constexpr int acReport = 3;
inline constexpr int acMacro = 4;
inline constexpr int acModule = 5;

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

inline constexpr int dbOpenSnapshot = 4;

// SysCmd actions and object state bits.
inline constexpr int acSysCmdAccessVer = 7;
inline constexpr int acSysCmdGetObjectState = 10;
inline constexpr int acObjStateOpen = 1;
inline constexpr int acObjStateDirty = 2;
inline constexpr int acObjStateNew = 4;

// Views, data and window modes, save options, commands.
inline constexpr int acViewNormal = 0;  // datasheet for tables and queries
inline constexpr int acViewDesign = 1;
// CurrentView of an open object: its own codes, not the ones DoCmd opens with.
inline constexpr int acCurViewDesign = 0;
inline constexpr int acCurViewFormBrowse = 1;
inline constexpr int acCurViewDatasheet = 2;
inline constexpr int acEdit = 1;
inline constexpr int acFormPropertySettings = -1;
inline constexpr int acWindowNormal = 0;
inline constexpr int acHidden = 1;
inline constexpr int acSavePrompt = 0;
inline constexpr int acSaveYes = 1;
inline constexpr int acSaveNo = 2;
inline constexpr int acCmdNewObjectQuery = 135;
inline constexpr int acProjectTypeClientServer = 1;
inline constexpr int acProjectTypeDatabase = 2;
inline constexpr int mousePointerDefault = 0;
inline constexpr int mousePointerHourglass = 11;

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

// The kinds of saved object a name may stand for, with the host's codes.
enum class ObjectType { Table = acTable, Query = acQuery, Form = acForm, Report = acReport };

// One saved object: its kind and its name as the database spells it.
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

    virtual std::unique_ptr<Recordset> openRecordset(const QString& sql, int type = dbOpenSnapshot) = 0;
};

// CurrentProject.
class CurrentProject {
public:
    virtual ~CurrentProject() = default;
    virtual QString fullName() = 0;    // empty when no database is open
    virtual int projectType() = 0;     // acProjectTypeClientServer or acProjectTypeDatabase
    virtual int connectionMode() = 0;  // 1 and 13 mean read-only
};

// CurrentData.AllQueries(name).
struct AccessObjectState {
    bool isLoaded = false;
    int currentView = acCurViewDatasheet;  // acCurViewDesign, acCurViewFormBrowse or acCurViewDatasheet
};

class DoCmd {
public:
    virtual ~DoCmd() = default;
    virtual void openQuery(const QString& name, int view, int dataMode) = 0;
    virtual void openTable(const QString& name, int view, int dataMode) = 0;
    virtual void openForm(const QString& name, int view, const QString& filterName,
                          const QString& whereCondition, int dataMode, int windowMode) = 0;
    virtual void openReport(const QString& name, int view, int windowMode = acWindowNormal) = 0;
    virtual void close(int objectType, const QString& name, int save) = 0;
    virtual void selectObject(int objectType, const QString& name, bool inDatabaseWindow) = 0;
    virtual void runCommand(int command) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual int mousePointer() = 0;
    virtual void setMousePointer(int pointer) = 0;
    virtual bool hasActiveDatasheet() = 0;
    virtual void activeDatasheetSetFocus() = 0;  // fails when there is no active datasheet
};

// The host application object.
class Application {
public:
    virtual ~Application() = default;

    virtual int currentObjectType() = 0;
    virtual QString currentObjectName() = 0;
    // SysCmd(7) gives the version text; SysCmd(10, type, name) the object state bits.
    virtual QVariant sysCmd(int action, const QVariant& argument1 = {}, const QVariant& argument2 = {}) = 0;
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
