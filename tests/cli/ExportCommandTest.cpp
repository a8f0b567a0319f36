// qorvel export: the JSON text of a database holds everything the JSON it was built from held, and building
// from an export exports the same text again.
#include "CliTestFiles.h"

#include "host/JsonDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ExportCommand, SampleDatabaseRoundTrip) {
    QTemporaryDir folder;
    const QString sample = sourceFile("samples/sample.json");
    ASSERT_EQ(runQorvel({"create", folder.filePath("first.qdb"), "--from", sample}).exitCode, 0);
    const QorvelRun exported =
        runQorvel({"export", folder.filePath("first.qdb"), folder.filePath("first.json")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.constData();
    EXPECT_TRUE(exported.out.isEmpty());
    const QByteArray first = readFileBytes(folder.filePath("first.json"));

    // Nothing of the sample is lost or changed on the way through the engine: queries keep their file order
    // and their text to the last line break, values keep their types.
    EXPECT_EQ(QString::fromUtf8(first),
              QString::fromUtf8(qdb::JsonDatabase::write(qdb::JsonDatabase::parse(readFileBytes(sample)))));

    ASSERT_EQ(runQorvel({"create", folder.filePath("second.qdb"), "--from", folder.filePath("first.json")})
                  .exitCode,
              0);
    ASSERT_EQ(runQorvel({"export", folder.filePath("second.qdb"), folder.filePath("second.json")}).exitCode,
              0);
    EXPECT_EQ(QString::fromUtf8(readFileBytes(folder.filePath("second.json"))), QString::fromUtf8(first));
}

TEST(ExportCommand, DatesAreKeptAsWrittenInAnyTimeZone) {
    // 02:30 on 31 March 2024 does not exist in Berlin's local time (clocks jump from 02:00 to 03:00).
    const QByteArray json = R"({
  "tables": [
    {
      "name": "Times",
      "fields": [
        {"name": "At", "type": "DateTime"}
      ],
      "rows": [
        ["2024-03-31T02:30:00"],
        ["2024-10-27T02:30:00"],
        ["2024-03-31"]
      ]
    }
  ],
  "queries": [],
  "forms": [],
  "reports": []
}
)";
    QTemporaryDir folder;
    writeFile(folder.filePath("times.json"), json);
    const QString db = folder.filePath("times.qdb");
    ASSERT_EQ(runQorvel({"create", db, "--from", folder.filePath("times.json")}, "Europe/Berlin").exitCode,
              0);
    ASSERT_EQ(runQorvel({"export", db, folder.filePath("out.json")}, "America/New_York").exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(readFileBytes(folder.filePath("out.json"))), QString::fromUtf8(json));
}

TEST(ExportCommand, MissingOrForeignDatabase) {
    QTemporaryDir folder;
    const QString missing = folder.filePath("missing.qdb");
    QorvelRun run = runQorvel({"export", missing, folder.filePath("out.json")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(), "qorvel: cannot open database '" + missing + "': no such file\n");

    const QString foreign = folder.filePath("foreign.qdb");
    writeFile(foreign, "This is a letter, not a database.\n");
    run = runQorvel({"export", foreign, folder.filePath("out.json")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.oneErrorLine()) << run.err.constData();
    EXPECT_TRUE(run.errText().startsWith("qorvel: cannot open database '" + foreign + "': "))
        << run.err.constData();
    EXPECT_FALSE(QFile::exists(folder.filePath("out.json")));

    // Exporting onto the database itself would destroy it.
    ASSERT_EQ(runQorvel({"create", folder.filePath("db.qdb"), "--from", testData("scenario.json")}).exitCode,
              0);
    const QByteArray before = readFileBytes(folder.filePath("db.qdb"));
    run = runQorvel({"export", folder.filePath("db.qdb"), folder.filePath("./db.qdb")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errText(),
              "qorvel export: DB and FILE.json are the same file; usage: qorvel export DB FILE.json\n");
    EXPECT_EQ(readFileBytes(folder.filePath("db.qdb")), before);
}

}  // namespace
