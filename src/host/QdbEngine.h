// The implementation of QdbDatabase on one SQLite connection. Private to src/host.
#pragma once

#include "host/QdbDatabase.h"
#include "host/SqliteConnection.h"
#include "host/jet/Analyser.h"

#include <QString>

#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace qdb {

class QueryRunner;

// MSysObjects.Type of each kind of object.
inline constexpr int kTypeTable = 1;
inline constexpr int kTypeQuery = 5;
inline constexpr int kTypeForm = -32768;
inline constexpr int kTypeReport = -32764;
// MSysObjects.Flags of the catalogue's own tables, and the bits added to the query type of a hidden query.
inline constexpr qint64 kFlagsSystem = -2147483648LL;
inline constexpr qint64 kFlagsHiddenQuery = 3;

class QdbEngine : public QdbDatabase, public std::enable_shared_from_this<QdbEngine> {
public:
    QdbEngine(const QString& path, OpenMode mode);
    ~QdbEngine() override;

    // host::Database
    QString name() const override;
    std::optional<host::ObjectRef> findObject(host::ObjectType type, const QString& name) override;
    int queryDefCount() override;
    std::shared_ptr<host::QueryDef> queryDef(int index) override;
    std::shared_ptr<host::QueryDef> queryDef(const QString& name) override;
    void deleteQueryDef(const QString& name) override;
    void refreshQueryDefs() override;
    std::shared_ptr<host::QueryDef> createQueryDef(const QString& name,
                                                   const std::optional<QString>& sql) override;
    int tableDefCount() override;
    std::shared_ptr<host::TableDef> tableDef(int index) override;
    std::shared_ptr<host::TableDef> tableDef(const QString& name) override;
    QStringList documentNames(const QString& container) override;
    QVariant documentProperty(const QString& container, const QString& document,
                              const QString& property) override;
    std::unique_ptr<host::Recordset> openRecordset(const QString& sql, host::RecordsetType type) override;

    // QdbDatabase
    void createTable(const TableSpec& table) override;
    void dropTable(const QString& name) override;
    void saveForm(const FormSpec& form) override;
    void saveReport(const FormSpec& report) override;
    void insertCatalogueQuery(const CatalogueQuerySpec& query) override;
    void saveImportedForm(const FormSpec& form, bool report) override;
    void deleteForm(const QString& name) override;
    void deleteReport(const QString& name) override;
    void setDescription(const QString& container, const QString& document, const QString& text) override;
    std::vector<TableSpec> tables() override;
    std::vector<QuerySpec> queries() override;
    std::vector<FormSpec> forms() override;
    std::vector<FormSpec> reports() override;
    void transaction(const std::function<void()>& work) override;
    QueryResult runQuery(const QString& name, const ParameterValues& parameters,
                         const RunOptions& options) override;
    QueryResult runSql(const QString& sql, const ParameterValues& parameters,
                       const RunOptions& options) override;

    // Used by the query runner.
    SqliteConnection& connection() { return mConnection; }
    // The table or saved query of that name: its stored name, and a table's fields or a query's SQL.
    std::optional<std::tuple<QString, int, qint64>> findSource(const QString& name);
    // The field type of a table's field ("Text", "YesNo", ...), empty when unknown.
    QString fieldType(const QString& table, const QString& field);
    // ALTER TABLE: a field added at the end, or dropped.
    void addField(const QString& table, const FieldSpec& field);
    void dropField(const QString& table, const QString& field);

    // Used by the QueryDef and TableDef objects, which refer to their object by id.
    QString objectName(qint64 id, int type, const QString& source);
    QString querySql(qint64 id);
    void setQuerySql(qint64 id, const QString& sql);
    int queryType(qint64 id);
    QStringList tableFieldNames(qint64 id);

private:
    struct ObjectRow {
        qint64 id = 0;
        QString name;
        int type = 0;
        qint64 flags = 0;
    };

    void createSchema();
    void checkSchema();
    template <typename Work>
    auto guarded(const QString& source, Work&& work) -> decltype(work());

    std::optional<ObjectRow> findObject(const QString& name, const std::vector<int>& types);
    // The object of that name and one of the types, errItemNotFound when there is none.
    ObjectRow requireObject(const QString& name, const std::vector<int>& types, const QString& source);
    const std::vector<qint64>& objectIds(int type);
    // QueryDefs(index) or TableDefs(index); errItemNotFound outside the collection.
    qint64 objectIdAt(int type, int index, const QString& source);
    void invalidateCaches();
    qint64 insertObject(const QString& name, int type, qint64 flags);
    void deleteObjectRows(qint64 id);

    qint64 insertQuery(const QString& name, const QString& sql, const jet::QueryAnalysis& analysis,
                       bool hidden);
    qint64 insertQueryObject(const QString& name, const QString& sql, qint64 flags);
    void writeCatalogueRows(qint64 id, const std::vector<jet::CatalogueRow>& rows);
    void deleteQuery(qint64 id);
    // imported: the hidden queries of SQL sources exist already and are linked, not analysed and made.
    void saveFormOrReport(const FormSpec& form, int type, bool imported = false);
    void deleteFormOrReport(const QString& name, int type);
    void deleteHiddenQueries(qint64 ownerId);
    std::vector<FormSpec> readFormsOrReports(int type);
    void setObjectDescription(qint64 id, const QString& text);
    std::optional<QString> objectDescription(qint64 id);
    std::vector<int> containerTypes(const QString& container);
    // The document of that name in the container, errItemNotFound when there is none.
    ObjectRow requireDocument(const QString& container, const QString& document);

    QString mPath;
    SqliteConnection mConnection;
    std::unique_ptr<QueryRunner> mRunner;
    int mSavepointDepth = 0;
    // Ids of the queries and of the tables in creation order: QueryDefs(i) and TableDefs(i). Read again
    // after any change, here or through another connection.
    qint64 mDataVersion = -1;
    std::optional<std::vector<qint64>> mQueryIds;
    std::optional<std::vector<qint64>> mTableIds;
};

// Whether a record source or row source is an SQL statement (and so owns a hidden query) rather than the
// name of a table or query.
bool isSqlStatement(const QString& source);

// The name of the hidden query of a form's or report's record source, and of a control's row source.
// catalogueType: kTypeForm or kTypeReport, the catalogue's numbering (not host::ObjectType's).
QString hiddenRecordSourceQueryName(int catalogueType, const QString& owner);
QString hiddenRowSourceQueryName(int catalogueType, const QString& owner, const QString& control);

}  // namespace qdb
