// The data-source record of saved queries in a real engine database, and the qorvel commands that print it.
#include "../catalogue/TestDatabase.h"

#include "catalogue/mMain.h"
#include "common/QorvelProcess.h"
#include "common/TextFiles.h"
#include "datasources/mQueryDataSourceList.h"

namespace {

QStringList Names(const KeyedCollection<QString>& names) {
    QStringList list;
    for (const auto& entry : names) {
        list << entry.item;
    }
    return list;
}

class DataSourceList : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        DeleteTemporaryQueries(context());
        table("T1", {"ID", "Order Date"});
        table("T2", {"ID", "Qty_2"});
        table("U", {"Code"});
        table("Src", {"Code"});
        table("Target", {"Code"});
        table("My Table", {"Col", "Note"});
        query("Both", "SELECT T1.*, T2.* FROM T1 INNER JOIN T2 ON T1.ID = T2.ID;");
        query("With Sub", "SELECT T1.ID, s.Code FROM T1, (SELECT U.Code FROM U) AS s;");
        query("Append", "INSERT INTO Target ( Code ) SELECT Src.Code FROM Src;");
        query("Over Query", "SELECT Both.*, [My Table].* FROM Both, [My Table];");
        query("O'Brien Orders", "SELECT [My Table].* FROM [My Table];");
    }

    // The fields as the fields command prints them.
    static QString FieldLines(const CV_QueryDataSource& record) {
        QString text;
        for (const auto& entry : record.Fields) {
            text += entry.item.FullName() + '\t' + entry.item.Name + '\t' + entry.item.TableName + '\n';
        }
        return text;
    }

    static QString Reference(const QString& name) {
        return readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name);
    }
};

}  // namespace

TEST_F(DataSourceList, SourceNamesOfQueries) {
    KeyedCollection<QString> names;
    EXPECT_TRUE(SourceTablesListGet(context(), "Both", names));
    EXPECT_EQ(Names(names), (QStringList{"T1", "T2"}));

    KeyedCollection<QString> created;
    EXPECT_TRUE(SourceTablesListGet(context(), "With Sub", created));
    EXPECT_EQ(Names(created), (QStringList{"T1", "U"}));

    // the target of an append query comes after its sources; names already listed are skipped
    EXPECT_TRUE(SourceTablesListGet(context(), "Append", created));
    EXPECT_EQ(Names(created), (QStringList{"T1", "U", "Src", "Target"}));
    DeleteTemporaryQueries(context());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(DataSourceList, RecordOfAQuery) {
    auto record = rQueryDataSourceFieldList(context(), "Both", true);
    ASSERT_TRUE(record);
    EXPECT_EQ(Names(record->SourceNames), (QStringList{"T1", "T2"}));
    EXPECT_EQ(FieldLines(*record), Reference("both.fields.txt"));

    record = rQueryDataSourceFieldList(context(), "Over Query", true);
    ASSERT_TRUE(record);
    EXPECT_EQ(FieldLines(*record), Reference("over-query.fields.txt"));

    // without the analysis the full names are the plain names
    record = rQueryDataSourceFieldList(context(), "Both", false);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Fields.at(1).FullName(), "Order Date");

    // a subquery is followed, and its temporary query deleted afterwards
    record = rQueryDataSourceFieldList(context(), "With Sub", true);
    ASSERT_TRUE(record);
    EXPECT_EQ(Names(record->SourceNames), (QStringList{"T1", "U"}));
    EXPECT_EQ(record->Fields.count(), 3);
    EXPECT_EQ(context().temporaryQueryCount(), 0);
    EXPECT_FALSE(queryNames().join(',').contains("~TemporaryQuery"));

    // a name with an apostrophe
    record = rQueryDataSourceFieldList(context(), "O'Brien Orders", true);
    ASSERT_TRUE(record);
    EXPECT_EQ(Names(record->SourceNames), QStringList{"My Table"});

    // no sources, no record
    EXPECT_FALSE(rQueryDataSourceFieldList(context(), "Missing", true));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
}

TEST_F(DataSourceList, CommandsPrintSourcesAndFields) {
    const auto run = [&](const QStringList& arguments, QString* output = nullptr) {
        const QorvelRun done = runQorvel(arguments);
        if (output) {
            *output = done.outText();
        }
        return done.exitCode;
    };
    // the command opens the file itself: let go of it first
    application->setDatabase(nullptr);
    database.reset();

    QString output;
    EXPECT_EQ(run({"sources", path, "Over Query"}, &output), 0);
    EXPECT_EQ(output, "Both\nMy Table\n");
    EXPECT_EQ(run({"fields", path, "Over Query"}, &output), 0);
    EXPECT_EQ(output, Reference("over-query.fields.txt"));
    EXPECT_EQ(run({"sources", path, "Missing"}, &output), 1);
    EXPECT_EQ(output, "");
    EXPECT_EQ(run({"fields", path, "Missing"}, &output), 1);
    EXPECT_EQ(run({"fields", path}), 2);
    EXPECT_EQ(run({"sources", folder.filePath("none.qdb"), "Both"}), 2);
}
