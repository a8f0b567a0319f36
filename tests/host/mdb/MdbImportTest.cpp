// The importer on the real test files: tables and values, queries and their catalogue rows, forms and
// reports, and the re-use of an imported copy.
#include "common/QStringPrinter.h"
#include "host/QdbDatabase.h"
#include "host/mdb/MdbFile.h"
#include "host/mdb/MdbImporter.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QString testFile(const QString& name) {
    return QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name;
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// One value of a table as the engine gives it back: text, or "<null>".
QString value(host::Database& db, const QString& sql) {
    auto rs = db.openRecordset(sql, host::dbOpenSnapshot);
    if (rs->eof()) {
        return QStringLiteral("<no row>");
    }
    const QString field = rs->fieldName(0);
    return rs->isNull(field) ? QStringLiteral("<null>") : rs->text(field);
}

class NorthwindImport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        path = folder->filePath(QStringLiteral("nwind.qdb"));
        summary = mdb::importFile(testFile(QStringLiteral("nwind.mdb")), path, false);
    }
    static void TearDownTestSuite() { delete folder; }
    void SetUp() override { db = qdb::QdbDatabase::open(path); }

    static inline QTemporaryDir* folder = nullptr;
    static inline QString path;
    static inline mdb::ImportSummary summary;
    std::shared_ptr<qdb::QdbDatabase> db;
};

TEST_F(NorthwindImport, EveryUserTableWithAllItsRows) {
    EXPECT_EQ(summary.format, QStringLiteral("Jet 3"));
    std::map<QString, size_t> counts;
    for (const qdb::TableSpec& table : db->tables()) {
        counts[table.name] = table.rows.size();
    }
    const std::map<QString, size_t> expected = {
        {QStringLiteral("Order Details"), 2155}, {QStringLiteral("Orders"), 830},
        {QStringLiteral("Products"), 77},        {QStringLiteral("Shippers"), 3},
        {QStringLiteral("Categories"), 8},       {QStringLiteral("Customers"), 91},
        {QStringLiteral("Employees"), 9},        {QStringLiteral("Suppliers"), 29},
        {QString::fromUtf8("Umsätze"), 830},
    };
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(summary.tables, 9);
    EXPECT_EQ(summary.rows, 2155 + 830 + 77 + 3 + 8 + 91 + 9 + 29 + 830);
}

TEST_F(NorthwindImport, ValuesAreExact) {
    // Currency to the cent and beyond, never rounded through text.
    EXPECT_EQ(value(*db, QStringLiteral("SELECT Freight FROM Orders WHERE OrderID = 10330")),
              QStringLiteral("12.75"));
    EXPECT_EQ(value(*db, QStringLiteral("SELECT UnitPrice FROM [Order Details] WHERE OrderID = 10248 AND "
                                        "ProductID = 11")),
              QStringLiteral("14"));
    EXPECT_EQ(value(*db, QStringLiteral("SELECT OrderDate FROM Orders WHERE OrderID = 10330")),
              QStringLiteral("1994-11-16 00:00:00"));
    // Null stays Null; an empty value would not.
    EXPECT_EQ(value(*db, QStringLiteral("SELECT ShipRegion FROM Orders WHERE OrderID = 10331")),
              QStringLiteral("<null>"));
    EXPECT_EQ(value(*db, QStringLiteral("SELECT count(*) FROM Orders WHERE ShippedDate IS NULL")),
              QStringLiteral("21"));
    // Text beyond ASCII, in a table whose own name is beyond ASCII.
    EXPECT_EQ(value(*db, QString::fromUtf8("SELECT ShipAddress FROM [Umsätze] WHERE OrderID = 10330")),
              QString::fromUtf8("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
    // Yes/No as the host's -1 and 0.
    EXPECT_EQ(value(*db, QStringLiteral("SELECT count(*) FROM Products WHERE Discontinued = -1")),
              QStringLiteral("8"));
    // OLE objects whole, as blobs.
    EXPECT_EQ(value(*db, QStringLiteral("SELECT LenB(Picture) FROM Categories WHERE CategoryID = 1")),
              QStringLiteral("10746"));
}

TEST_F(NorthwindImport, FieldTypesFollowTheRealOnes) {
    for (const qdb::TableSpec& table : db->tables()) {
        if (table.name != QLatin1String("Categories")) {
            continue;
        }
        std::vector<std::pair<QString, QString>> fields;
        for (const qdb::FieldSpec& field : table.fields) {
            fields.emplace_back(field.name, field.type);
        }
        const std::vector<std::pair<QString, QString>> expected = {
            {QStringLiteral("CategoryID"), QStringLiteral("Long")},
            {QStringLiteral("CategoryName"), QStringLiteral("Text")},
            {QStringLiteral("Description"), QStringLiteral("Memo")},
            {QStringLiteral("Picture"), QStringLiteral("OLEObject")},
        };
        EXPECT_EQ(fields, expected);
        return;
    }
    FAIL() << "no table Categories";
}

TEST_F(NorthwindImport, QueriesFormsReportsAndDescriptions) {
    EXPECT_EQ(summary.queries, 22);
    EXPECT_EQ(db->queryDefCount(), 22);
    EXPECT_EQ(db->forms().size(), 21u);
    EXPECT_EQ(db->reports().size(), 13u);
    // The query type comes from the real catalogue: union and crosstab.
    EXPECT_EQ(db->queryDef(QStringLiteral("Customers and Suppliers by City"))->type(),
              host::QueryType::Union);
    EXPECT_EQ(db->queryDef(QStringLiteral("Quarterly Orders by Product"))->type(), host::QueryType::Crosstab);
    EXPECT_EQ(db->documentProperty(QStringLiteral("Forms"), QStringLiteral("Customer Orders Subform1"),
                                   QStringLiteral("Description")),
              QVariant(QStringLiteral("Subform used on Customer Orders form.")));
}

TEST(DateImport, Jet4DatesAndTextAsStored) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dates.qdb"));
    const mdb::ImportSummary summary =
        mdb::importFile(testFile(QStringLiteral("DateTestDatabase.mdb")), path, false);
    EXPECT_EQ(summary.format, QStringLiteral("Jet 4"));
    EXPECT_EQ(summary.tables, 1);  // the hidden tables of the newer format are not the user's
    auto db = qdb::QdbDatabase::open(path);
    const auto at = [&](int id, const char* field) {
        return value(
            *db,
            QStringLiteral("SELECT %1 FROM DateTest WHERE IDCol = %2").arg(QLatin1String(field)).arg(id));
    };
    EXPECT_EQ(at(1, "DateTimeCol"), QStringLiteral("2021-12-02 00:00:00"));
    EXPECT_EQ(at(2, "DateTimeCol"), QStringLiteral("9999-01-01 00:00:00"));
    // Before 1899 the days count backwards.
    EXPECT_EQ(at(3, "DateTimeCol"), QStringLiteral("1898-01-01 00:00:00"));
    EXPECT_EQ(at(4, "DateTimeCol"), QStringLiteral("0632-01-01 00:00:00"));
    EXPECT_EQ(at(6, "LongTextCol"), QStringLiteral("New line\r\nin field"));
}

TEST(DateConversion, TimeOfDayAndDaysBefore1899) {
    EXPECT_EQ(mdb::dateFromDays(0.0).toDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(mdb::dateFromDays(1.5).toDateTime(), QDateTime(QDate(1899, 12, 31), QTime(12, 0), Qt::UTC));
    // -1.25 is 29 December 1899 at 6:00: the whole part backwards, the fraction forwards.
    EXPECT_EQ(mdb::dateFromDays(-1.25).toDateTime(), QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    // Milliseconds are kept, not rounded to the second.
    EXPECT_EQ(mdb::dateFromDays(2.0 + 1.5 / 86400.0).toDateTime(),
              QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1, 500), Qt::UTC));
    EXPECT_TRUE(mdb::dateFromDays(std::nan("")).isNull());
}

TEST(ImportedCopy, ReusedWhileTheSourceIsUnchangedAndTheSourceIsNeverWritten) {
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("dates.mdb"));
    ASSERT_TRUE(QFile::copy(testFile(QStringLiteral("DateTestDatabase.mdb")), source));
    // Read-only, as a file on a share or a CD would be.
    QFile::setPermissions(source, QFileDevice::ReadOwner);
    const QByteArray before = fileHash(source);
    const QString data = folder.filePath(QStringLiteral("imported"));

    const QString first = mdb::importedCopy(source, data);
    ASSERT_TRUE(QFileInfo::exists(first));
    const QDateTime made = QFileInfo(first).lastModified();
    QThread::msleep(20);
    EXPECT_EQ(mdb::importedCopy(source, data), first);
    EXPECT_EQ(QFileInfo(first).lastModified(), made) << "an unchanged source is not imported again";
    EXPECT_EQ(fileHash(source), before);

    // A changed source is imported again, and the stale copy goes.
    QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    }
    const QString second = mdb::importedCopy(source, data);
    EXPECT_NE(second, first);
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_EQ(QDir(data).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(CatalogueQueries, RowsAreStoredAsGivenAndHiddenQueriesJoinTheirForm) {
    QTemporaryDir folder;
    auto db = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("t.qdb")));
    db->createTable(
        {QStringLiteral("Orders"), QString(), {{QStringLiteral("Id"), QStringLiteral("Long")}}, {}});
    // Rows the analyser would never write for this text: the catalogue keeps them all the same.
    const std::vector<jet::CatalogueRow> rows = {
        {0, {}, {}, {}, {}},
        {255, {}, {}, {}, {}},
        {1, 1, {}, {}, {}},
        {3, 8, {}, {}, {}},
        {5, {}, QStringLiteral("Orders"), {}, {}},
        {6, 0, {}, {}, QStringLiteral("Orders.Id")},
    };
    db->insertCatalogueQuery({QStringLiteral("~sq_fOrder Form"), 8 + 3,
                              QStringLiteral("SELECT Orders.Id FROM Orders;"), QString(), rows});
    db->saveImportedForm(
        {QStringLiteral("Order Form"), QStringLiteral("SELECT Orders.Id FROM Orders;"), QString(), {}},
        false);
    auto rs = db->openRecordset(QStringLiteral("SELECT Attribute, Flag FROM MSysQueries ORDER BY rowid"),
                                host::dbOpenSnapshot);
    QStringList stored;
    while (!rs->eof()) {
        stored << rs->text(QStringLiteral("Attribute")) + QLatin1Char(':') +
                      (rs->isNull(QStringLiteral("Flag")) ? QStringLiteral("-")
                                                          : rs->text(QStringLiteral("Flag")));
        rs->moveNext();
    }
    EXPECT_EQ(stored, QStringList({"0:-", "255:-", "1:1", "3:8", "5:-", "6:0"}));
    EXPECT_EQ(db->queryDef(QStringLiteral("~sq_fOrder Form"))->type(), host::QueryType::Select);
    // The hidden query belongs to its form: it goes with it.
    db->deleteForm(QStringLiteral("Order Form"));
    EXPECT_EQ(db->queryDefCount(), 0);
}

}  // namespace
