// The catalogue routines against a real engine database: field lists of tables and queries, aliases,
// temporary queries, object tests, and names that hold apostrophes.
#include "TestDatabase.h"

#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "datasources/CV_QueryDataSource.h"
#include "datasources/DataSourceFields.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace {

// Each field as "key | Name | TableName".
QStringList Describe(const CV_QueryDataSource& record) {
    QStringList lines;
    for (const auto& entry : record.Fields) {
        lines << entry.key + " | " + entry.item.Name + " | " + entry.item.TableName;
    }
    return lines;
}

class CatalogueRoutines : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        DeleteTemporaryQueries(context());
        table("A", {"Id", "Name"});
        table("B", {"BId", "Amount"});
    }

    QStringList fieldsOf(const QString& name) {
        CV_QueryDataSource record;
        EXPECT_TRUE(GetTableFields(context(), name, record));
        return Describe(record);
    }
};

}  // namespace

TEST_F(CatalogueRoutines, FieldsOfTablesAndQueryColumns) {
    EXPECT_EQ(fieldsOf("a"), (QStringList{"[a].[Id] | Id | a", "[a].[Name] | Name | a"}));

    // a qualified column, then the star of the other source
    query("Star Join", "SELECT A.Id, B.* FROM A INNER JOIN B ON A.Id = B.BId;");
    EXPECT_EQ(fieldsOf("Star Join"),
              (QStringList{"[Star Join].[Id] | Id | A", "[B].[BId] | BId | B", "[B].[Amount] | Amount | B"}));

    // an alias gives the name only; a bracketed column loses its brackets; a bare column is left out
    query("Aliased", "SELECT [A].[Name] AS Label, [A].[Id], Amount FROM A, B;");
    EXPECT_EQ(fieldsOf("Aliased"), (QStringList{"[Aliased].[Label] | Label | ", "[Aliased].[Id] | Id | A"}));

    // a star through a source alias of a named source adds nothing; through the name it does
    query("Aliased Star", "SELECT x.* FROM A AS x;");
    EXPECT_TRUE(fieldsOf("Aliased Star").isEmpty());

    // no column rows at all: the first named source only
    query("Everything", "SELECT * FROM B, A;");
    EXPECT_EQ(fieldsOf("Everything"), (QStringList{"[B].[BId] | BId | B", "[B].[Amount] | Amount | B"}));

    // neither table nor query: nothing, and no failure
    EXPECT_TRUE(fieldsOf("Missing").isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(CatalogueRoutines, SubquerySourceIsFollowedThroughATemporaryQuery) {
    query("Sub", "SELECT s.* FROM (SELECT B.BId, B.Amount FROM B) AS s;");
    EXPECT_EQ(fieldsOf("Sub"), (QStringList{"[~TemporaryQuery1].[BId] | BId | B",
                                            "[~TemporaryQuery1].[Amount] | Amount | B"}));
    EXPECT_TRUE(queryNames().contains("~TemporaryQuery1"));
    DeleteTemporaryQueries(context());
    EXPECT_FALSE(queryNames().contains("~TemporaryQuery1"));

    // a union's first part stands for all of it
    query("Both", "SELECT A.Id FROM A UNION SELECT B.BId FROM B;");
    EXPECT_EQ(fieldsOf("Both"), (QStringList{"[~TemporaryQuery1].[Id] | Id | A"}));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(CatalogueRoutines, TemporaryQueriesAreNumberedAndReset) {
    QString first;
    QString second;
    CreateTemporaryQuery(context(), "SELECT A.Id FROM A;", nullptr, first);
    CreateTemporaryQuery(context(), "SELECT B.BId FROM B;", database.get(), second);
    EXPECT_EQ(first, "~TemporaryQuery1");
    EXPECT_EQ(second, "~TemporaryQuery2");
    EXPECT_EQ(context().temporaryQueryCount(), 2);

    query("Kept", "SELECT A.Id FROM A;");
    query("~temporaryquery9", "SELECT A.Id FROM A;");  // other case: not the add-in's
    DeleteTemporaryQueries(context());
    EXPECT_EQ(context().temporaryQueryCount(), 0);
    EXPECT_FALSE(queryNames().contains("~TemporaryQuery1"));
    EXPECT_FALSE(queryNames().contains("~TemporaryQuery2"));
    EXPECT_TRUE(queryNames().contains("Kept"));
    EXPECT_TRUE(queryNames().contains("~temporaryquery9"));

    // a definition left over from an earlier run is overwritten, not duplicated
    database->deleteQueryDef("~temporaryquery9");
    query("~TemporaryQuery1", "SELECT A.Name FROM A;");
    QString again;
    CreateTemporaryQuery(context(), "SELECT B.Amount FROM B;", nullptr, again);
    EXPECT_EQ(again, "~TemporaryQuery1");
    EXPECT_EQ(queryNames().count("~TemporaryQuery1"), 1);
    EXPECT_TRUE(database->queryDef("~TemporaryQuery1")->sql().contains("B.Amount"));

    // text that is not a statement: the name comes back, but no query was made
    QString broken;
    CreateTemporaryQuery(context(), "this is not SQL", nullptr, broken);
    EXPECT_EQ(broken, "~TemporaryQuery2");
    EXPECT_FALSE(IsQuery(context(), broken));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CatalogueRoutines, AliasesAndFieldNames) {
    query("One", "SELECT A.Id AS Code, A.Name FROM A;");
    query("Two", "SELECT B.BId AS code, B.Amount AS Total FROM B;");
    KeyedCollection<QString> aliases;
    EXPECT_TRUE(AddAliases(context(), "One", aliases));
    EXPECT_TRUE(AddAliases(context(), "Two", aliases));
    QStringList found;
    for (const auto& entry : aliases) {
        found << entry.item;
    }
    EXPECT_EQ(found, (QStringList{"Code", "Total"}));  // the same alias once

    std::unique_ptr<CV_QueryDataSource> record = TableDataSource(context(), "A");
    ASSERT_TRUE(record);
    EXPECT_EQ(Describe(*record), (QStringList{"[A].[Id] | Id | ", "[A].[Name] | Name | "}));
    EXPECT_EQ(record->SourceNames.at(0), "A");
    EXPECT_FALSE(TableDataSource(context(), "Missing"));

    QStringList names{"untouched"};
    EXPECT_FALSE(DataSourceFieldNames(context(), nullptr, nullptr, names));
    EXPECT_EQ(names, QStringList{"untouched"});
    auto two = database->queryDef("Two");
    EXPECT_TRUE(DataSourceFieldNames(context(), record.get(), two.get(), names));
    EXPECT_EQ(names, (QStringList{"Id", "Name", "A", "code", "Total"}));
    CV_QueryDataSource empty;
    EXPECT_TRUE(DataSourceFieldNames(context(), &empty, nullptr, names));
    EXPECT_EQ(names, (QStringList{"Id", "Name", "A", "code", "Total"}));  // nothing found: left as it was
}

TEST_F(CatalogueRoutines, NamesWithApostrophesAndPlaceholders) {
    table("O'Brien", {"Ref"});
    query("O'Brien Orders", "SELECT [O'Brien].Ref AS [Their Ref], B.* FROM [O'Brien], B;");
    EXPECT_TRUE(IsQuery(context(), "O'Brien Orders"));
    EXPECT_EQ(fieldsOf("O'Brien Orders"), (QStringList{"[O'Brien Orders].[Their Ref] | Their Ref | ",
                                                       "[B].[BId] | BId | B", "[B].[Amount] | Amount | B"}));
    KeyedCollection<QString> aliases;
    EXPECT_TRUE(AddAliases(context(), "O'Brien Orders", aliases));
    EXPECT_EQ(aliases.count(), 1);

    // a name that holds the placeholder itself is substituted once
    query("Q{Name}", "SELECT A.Id FROM A;");
    EXPECT_EQ(fieldsOf("Q{Name}"), QStringList{"[Q{Name}].[Id] | Id | A"});

    // a filter on a name with an apostrophe
    auto pairs = database->openRecordset(catalogue::kAllQuerySourcePairs);
    pairs->setFilter(FilterEquals("Name1", "o'brien"));
    auto users = pairs->openRecordset();
    ASSERT_FALSE(users->eof());
    EXPECT_EQ(users->text("Name"), "O'Brien Orders");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(CatalogueRoutines, DuplicateFieldKeysArePassedOver) {
    query("Odd", "SELECT A.Id, A.Name FROM A;");
    CV_QueryDataSource record;
    CV_QueryDataSourceField earlier;
    earlier.Name = "Id";
    record.Fields.add(earlier, "[odd].[id]");
    EXPECT_TRUE(GetTableFields(context(), "Odd", record));
    EXPECT_EQ(Describe(record), (QStringList{"[odd].[id] | Id | ", "[Odd].[Name] | Name | A"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CatalogueRoutines, ObjectTestsAndState) {
    query("Q", "SELECT A.Id FROM A;");
    EXPECT_TRUE(IsTable(context(), "a"));
    EXPECT_FALSE(IsTable(context(), "Q"));
    EXPECT_TRUE(IsQuery(context(), "q", database.get()));
    EXPECT_FALSE(IsQuery(context(), "A"));
    EXPECT_FALSE(IsQuery(context(), ""));

    application->setVersion("9.0");
    EXPECT_EQ(AccessMajorVersion(context()), 9);
    application->setVersion("12.0");
    EXPECT_EQ(AccessMajorVersion(context()), 12);
    application->setVersion("nonsense");
    EXPECT_EQ(AccessMajorVersion(context()), 0);

    application->setObjectState({host::ObjectType::Query, "Q"},
                                host::ObjectState::Open | host::ObjectState::Dirty);
    EXPECT_TRUE(IsQueryDirty(context(), host::ObjectRef{host::ObjectType::Query, "Q"}));
    EXPECT_FALSE(IsQueryNew(context(), host::ObjectRef{host::ObjectType::Query, "Q"}));
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Query, "Q"});
    EXPECT_TRUE(IsQueryDirty(context()));
    application->setObjectState({host::ObjectType::Query, "Q"},
                                host::ObjectState::Open | host::ObjectState::Dirty | host::ObjectState::New);
    EXPECT_TRUE(IsQueryNew(context()));
    EXPECT_FALSE(IsQueryDirty(context()));
    application->setCurrentObject(host::ObjectRef{host::ObjectType::Table, "A"});
    EXPECT_FALSE(IsQueryNew(context()));
    EXPECT_FALSE(IsQueryNew(context(), host::ObjectRef{host::ObjectType::Form, "Q"}));

    database->saveForm({"Orders Form", "SELECT A.* FROM A", "", {}});
    database->saveReport({"Invoice", "B", "", {}});
    EXPECT_FALSE(rFormIsOpen(context(), "Orders Form"));
    EXPECT_EQ(FormRecordSource(context(), "Orders Form"), "SELECT A.* FROM A");
    EXPECT_FALSE(rFormIsOpen(context(), "Orders Form"));  // closed again
    EXPECT_EQ(ReportRecordSource(context(), "Invoice"), "B");
    EXPECT_FALSE(rReportIsOpen(context(), "Invoice"));
    EXPECT_EQ(ReportRecordSource(context(), "No Such Report"), "");

    database->setDescription("Tables", "A", "The A table");
    database->setDescription("Forms", "Orders Form", "Entry form");
    EXPECT_EQ(ObjectDescription(context(), {host::ObjectType::Table, "A"}), "The A table");
    EXPECT_EQ(ObjectDescription(context(), {host::ObjectType::Table, "B"}), "");
    EXPECT_EQ(ObjectDescription(context(), {host::ObjectType::Form, "Orders Form"}), "Entry form");
    EXPECT_EQ(ObjectDescription(context(), {host::ObjectType::Module, "A"}), "");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(CatalogueRoutines, QueriesThatReadThemselvesEndTheSearch) {
    query("Loop1", "SELECT * FROM Loop2;");
    query("Loop2", "SELECT Loop1.* FROM Loop1;");
    EXPECT_TRUE(fieldsOf("Loop1").isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(CatalogueRoutines, StarWithoutQualifierIsReported) {
    // The engine never writes a bare star column, but a catalogue from elsewhere may hold one: put it in
    // behind the engine's back.
    query("Bare Star", "SELECT A.Id, A.Name FROM A;");
    sqlite3* connection = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &connection), SQLITE_OK);
    // The catalogue's text columns name the engine's collation; an exact one serves this one statement.
    sqlite3_create_collation(connection, "HOSTTEXT", SQLITE_UTF8, nullptr,
                             [](void*, int lengthA, const void* a, int lengthB, const void* b) {
                                 const int common = std::min(lengthA, lengthB);
                                 const int order = std::memcmp(a, b, static_cast<std::size_t>(common));
                                 return order != 0 ? order : lengthA - lengthB;
                             });
    const char* statement =
        "UPDATE MSysQueries SET Expression = '*' WHERE Attribute = 6 AND Expression = 'A.Name' AND ObjectId "
        "= "
        "(SELECT Id FROM MSysObjects WHERE Name = 'Bare Star');";
    EXPECT_EQ(sqlite3_exec(connection, statement, nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(connection), 1);
    sqlite3_close(connection);

    CV_QueryDataSource record;
    EXPECT_FALSE(GetTableFields(context(), "Bare Star", record));
    EXPECT_EQ(Describe(record), QStringList{"[Bare Star].[Id] | Id | A"});  // the fields added so far
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.first().contains("GetTableFields"));
}
