// Snapshots and filters: navigation as the host's data access objects do it, text compares that ignore
// case for every letter, the host's Like, Null read as empty text, and filtered copies.
#include "HostTestSupport.h"

#include "host/Snapshot.h"

namespace {

class RecordsetTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        db->createTable({QStringLiteral("People"),
                         {},
                         {{QStringLiteral("Id"), QStringLiteral("Long")},
                          {QStringLiteral("Name"), QStringLiteral("Text")},
                          {QStringLiteral("City"), QStringLiteral("Text")},
                          {QStringLiteral("Age"), QStringLiteral("Integer")}},
                         {{1, QStringLiteral("Ärger"), QStringLiteral("Köln"), 30},
                          {2, QStringLiteral("ärger"), QVariant(), 41},
                          {3, QStringLiteral("O'Brien"), QStringLiteral("Cork"), 30},
                          {4, QStringLiteral("Smith"), QStringLiteral("köln"), QVariant()},
                          {5, QStringLiteral("smithers"), QStringLiteral("Springfield"), 52}}});
    }

    // The Id values of the rows of People that a filter keeps.
    QStringList filtered(const QString& criteria) {
        auto all = db->openRecordset(QStringLiteral("SELECT * FROM People ORDER BY Id"),
                                     host::RecordsetType::Snapshot);
        all->setFilter(criteria);
        auto rs = all->openRecordset();
        QStringList ids;
        for (; !rs->eof(); rs->moveNext()) {
            ids << rs->text(QStringLiteral("id"));
        }
        return ids;
    }
};

}  // namespace

TEST_F(RecordsetTest, NavigationFollowsTheHost) {
    auto rs = db->openRecordset(QStringLiteral("SELECT Id, Name FROM People WHERE Age = 30 ORDER BY Id"),
                                host::RecordsetType::Snapshot);
    EXPECT_FALSE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value(QStringLiteral("ID")), QVariant(qlonglong(1)));
    rs->moveNext();
    EXPECT_EQ(rs->text(QStringLiteral("name")), QStringLiteral("O'Brien"));
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(errorNumber([&] { rs->value(QStringLiteral("Name")); }), host::errNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveNext(); }), host::errNoCurrentRecord);
    rs->moveLast();
    EXPECT_EQ(rs->text(QStringLiteral("Id")), QStringLiteral("3"));
    rs->moveFirst();
    EXPECT_EQ(rs->text(QStringLiteral("Id")), QStringLiteral("1"));
    EXPECT_EQ(errorNumber([&] { rs->value(QStringLiteral("Nope")); }), host::errItemNotFound);
    rs->close();
    EXPECT_EQ(errorNumber([&] { rs->eof(); }), host::errObjectInvalid);

    auto empty = db->openRecordset(QStringLiteral("SELECT * FROM People WHERE Id = 99"),
                                   host::RecordsetType::Snapshot);
    EXPECT_TRUE(empty->bof());
    EXPECT_TRUE(empty->eof());
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_EQ(errorNumber([&] { empty->moveFirst(); }), host::errNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { empty->moveLast(); }), host::errNoCurrentRecord);
}

TEST_F(RecordsetTest, NullReadsAsEmptyText) {
    auto rs = db->openRecordset(QStringLiteral("SELECT City FROM People WHERE Id = 2"),
                                host::RecordsetType::Snapshot);
    EXPECT_TRUE(rs->isNull(QStringLiteral("City")));
    EXPECT_TRUE(rs->value(QStringLiteral("City")).isNull());
    EXPECT_EQ(rs->text(QStringLiteral("City")), QString());
}

TEST_F(RecordsetTest, StatementsCompareTextIgnoringCaseOfEveryLetter) {
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Id FROM People WHERE Name = 'ÄRGER' ORDER BY Id"),
                     QStringLiteral("Id")),
              QStringList({QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Id FROM People WHERE [City] Like 'K?LN' ORDER BY Id"),
                     QStringLiteral("Id")),
              QStringList({QStringLiteral("1"), QStringLiteral("4")}));
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Id FROM People WHERE Name Like 'smith*' ORDER BY Id"),
                     QStringLiteral("Id")),
              QStringList({QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(
        column(*db, QStringLiteral("SELECT Id FROM People WHERE Name Like '[!a-r]*' ORDER BY Id"),
               QStringLiteral("Id")),
        QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(
        column(*db,
               QStringLiteral("SELECT City FROM People WHERE City IS NOT NULL GROUP BY City ORDER BY City"),
               QStringLiteral("City")),
        QStringList({QStringLiteral("Cork"), QStringLiteral("Köln"), QStringLiteral("Springfield")}));
}

TEST_F(RecordsetTest, FiltersMeetTheHostsCriteria) {
    EXPECT_EQ(filtered(QStringLiteral("Name = 'ärger'")),
              QStringList({QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(filtered(QStringLiteral("[Name] = 'O''Brien'")), QStringList{QStringLiteral("3")});
    EXPECT_EQ(filtered(QStringLiteral("Age = 30")), QStringList({QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(filtered(QStringLiteral("City Is Null")), QStringList{QStringLiteral("2")});
    EXPECT_EQ(filtered(QStringLiteral("Age Is Not Null AND City = 'KÖLN'")),
              QStringList{QStringLiteral("1")});
    EXPECT_EQ(filtered(QStringLiteral("Name Like 'smith*' Or (Age > 40 And Not City Is Null)")),
              QStringList({QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(filtered(QStringLiteral("Not (Name Like 'S*')")),
              QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(filtered(QStringLiteral("City <> 'Cork'")),
              QStringList({QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(filtered(QStringLiteral("Id In (2, 5) And People.Age Between 40 And 60")),
              QStringList({QStringLiteral("2"), QStringLiteral("5")}));
    EXPECT_EQ(filtered(QStringLiteral("Name = \"Smith\"")), QStringList{QStringLiteral("4")});
    EXPECT_EQ(filtered(QStringLiteral("Age > -1 AND Age < 31")),
              QStringList({QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(filtered(QString()).size(), 5);
    for (const char* malformed :
         {"Name = ", "Name = 'open", "(Age = 30", "Age = 30 30", "And", "Name Like"}) {
        EXPECT_EQ(errorNumber([&] { filtered(QString::fromLatin1(malformed)); }), host::errSyntaxInExpression)
            << malformed;
    }
    EXPECT_EQ(errorNumber([&] { filtered(QStringLiteral("Nope = 1")); }), 3070);
}

// A filter nests as deep as the analyser lets a query nest; deeper ones are refused, never a crashed stack.
TEST_F(RecordsetTest, DeepFiltersAreRefusedBeyondTheAnalysersLimit) {
    EXPECT_EQ(filtered(QString(150, u'(') + QStringLiteral("Age = 30") + QString(150, u')')),
              QStringList({QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(filtered(QStringLiteral("Not ").repeated(150) + QStringLiteral("Age = 30")),
              QStringList({QStringLiteral("1"), QStringLiteral("3")}));
    EXPECT_EQ(errorNumber([&] { filtered(QString(100000, u'(') + QStringLiteral("Age = 30")); }),
              host::errSyntaxInExpression);
    EXPECT_EQ(
        errorNumber([&] { filtered(QStringLiteral("Not ").repeated(100000) + QStringLiteral("Age = 30")); }),
        host::errSyntaxInExpression);
}

TEST_F(RecordsetTest, FilterOfAFilteredCopyKeepsBothCriteria) {
    auto all =
        db->openRecordset(QStringLiteral("SELECT * FROM People ORDER BY Id"), host::RecordsetType::Snapshot);
    all->setFilter(QStringLiteral("City = 'Köln'"));
    auto koeln = all->openRecordset();
    EXPECT_EQ(koeln->recordCount(), 2);
    EXPECT_EQ(koeln->filter(), QString());
    koeln->setFilter(QStringLiteral("Name = 'smith'"));
    auto smith = koeln->openRecordset();
    ASSERT_EQ(smith->recordCount(), 1);
    EXPECT_EQ(smith->text(QStringLiteral("Id")), QStringLiteral("4"));
    koeln->setFilter(QStringLiteral("Name = 'O''Brien'"));
    EXPECT_EQ(koeln->openRecordset()->recordCount(), 0);
    // The origin is untouched by its copies.
    EXPECT_EQ(all->recordCount(), 5);
    EXPECT_EQ(all->text(QStringLiteral("Id")), QStringLiteral("1"));
}

TEST_F(RecordsetTest, OpeningStatementsThatAreNotQueries) {
    EXPECT_EQ(errorNumber([&] {
                  db->openRecordset(QStringLiteral("DELETE FROM People"), host::RecordsetType::Snapshot);
              }),
              3219);
    EXPECT_EQ(errorNumber([&] {
                  db->openRecordset(QStringLiteral("SELECT * FROM Missing"), host::RecordsetType::Snapshot);
              }),
              3078);
    EXPECT_EQ(
        errorNumber([&] { db->openRecordset(QStringLiteral("SELEKT 1"), host::RecordsetType::Snapshot); }),
        host::errInvalidSqlStatement);
    EXPECT_EQ(errorNumber([&] {
                  db->openRecordset(QStringLiteral("SELECT * FROM People WHERE"),
                                    host::RecordsetType::Snapshot);
              }),
              host::errSyntaxInExpression);
    EXPECT_EQ(errorNumber([&] { db->openRecordset(QStringLiteral("   "), host::RecordsetType::Snapshot); }),
              host::errInvalidSqlStatement);
    EXPECT_EQ(db->openRecordset(QStringLiteral("people"), host::RecordsetType::Snapshot)->recordCount(), 5);
    EXPECT_EQ(column(*db, QStringLiteral("SELECT Count(*) AS n FROM People"), QStringLiteral("n")),
              QStringList{QStringLiteral("5")});
}

TEST_F(RecordsetTest, IndexedFiltersAnswerAsAScanDoes) {
    const QStringList names = {QStringLiteral("Ärger"), QStringLiteral("ÄRGER"), QStringLiteral("o'brien"),
                               QStringLiteral("Smith"), QStringLiteral("7"),     QString()};
    std::vector<QVariantList> rows;
    for (int i = 0; i < 300; ++i) {
        const QString name = names[(i * 7) % names.size()];
        rows.push_back({i, name.isNull() ? QVariant() : QVariant(name), i % 4,
                        (i % 5 == 0) ? QVariant() : QVariant(i % 3)});
    }
    db->createTable({QStringLiteral("Many"),
                     {},
                     {{QStringLiteral("Id"), QStringLiteral("Long")},
                      {QStringLiteral("Name"), QStringLiteral("Text")},
                      {QStringLiteral("Kind"), QStringLiteral("Long")},
                      {QStringLiteral("Other"), QStringLiteral("Long")}},
                     rows});
    auto all = db->openRecordset(QStringLiteral("SELECT * FROM Many"), host::RecordsetType::Snapshot);
    auto* snapshot = dynamic_cast<qdb::SnapshotRecordset*>(all.get());
    ASSERT_NE(snapshot, nullptr);
    all->setFilter(QStringLiteral("Kind <> 3"));
    auto partial = all->openRecordset();
    auto* partialSnapshot = dynamic_cast<qdb::SnapshotRecordset*>(partial.get());
    for (const char* criteria :
         {"Name = 'ärger'", "Name = 'O''Brien'", "Name = 7", "Kind = 2", "Other = 1 AND Name = 'smith'",
          "Name = 'Smith' And Kind = 1", "[Name] = 'nobody'", "Name = '7' OR Other Is Null"}) {
        const QString filter = QString::fromUtf8(criteria);
        for (qdb::SnapshotRecordset* source : {snapshot, partialSnapshot}) {
            source->setFilter(filter);
            auto indexed = source->openRecordset();
            auto scanned = source->openRecordsetByScan();
            ASSERT_EQ(indexed->recordCount(), scanned->recordCount()) << criteria;
            for (; !indexed->eof(); indexed->moveNext(), scanned->moveNext()) {
                EXPECT_EQ(indexed->value(QStringLiteral("Id")), scanned->value(QStringLiteral("Id")))
                    << criteria;
            }
        }
    }
    snapshot->setFilter(QStringLiteral("Name = 'ärger'"));
    EXPECT_EQ(snapshot->openRecordset()->recordCount(), 100);
}
