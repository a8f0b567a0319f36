// qorvel import end to end: the report, the rebuilt SQL of every query, the catalogue rows against those
// mdb-export reads independently, the trees of an imported file, and files that must be refused.
#include "common/QStringPrinter.h"
#include "common/QorvelProcess.h"
#include "common/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

QString testFile(const QString& name) {
    return QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name;
}

// The records of CSV text as mdb-export writes it (RFC 4180 quoting, line breaks inside quotes).
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            record << field;
            records.push_back(record);
            record.clear();
            field.clear();
        } else if (c != QLatin1Char('\r') || quoted) {
            field += c;
        }
    }
    return records;
}

std::vector<QStringList> mdbExport(const QString& file, const QString& table) {
    QProcess process;
    process.start(QStringLiteral("mdb-export"), {file, table});
    EXPECT_TRUE(process.waitForFinished(60000)) << "mdb-export did not run";
    return parseCsv(QString::fromUtf8(process.readAllStandardOutput()));
}

class ImportCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        db = folder->filePath(QStringLiteral("nwind.qdb"));
        report = runQorvel({QStringLiteral("import"), testFile(QStringLiteral("nwind.mdb")), db,
                            QStringLiteral("--report")});
    }
    static void TearDownTestSuite() { delete folder; }

    static inline QTemporaryDir* folder = nullptr;
    static inline QString db;
    static inline QorvelRun report;
};

TEST_F(ImportCommand, ReportsTheFidelityOfEveryQuery) {
    ASSERT_EQ(report.exitCode, 0) << report.errText().toStdString();
    EXPECT_TRUE(report.err.isEmpty());
    const QStringList lines = report.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 23);
    std::map<QString, QString> differing;
    for (const QString& line : lines.mid(0, 22)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        ASSERT_GE(fields.size(), 2) << line.toStdString();
        if (fields[1] == QLatin1String("DIFF")) {
            ASSERT_EQ(fields.size(), 3);
            differing[fields[0]] = fields[2];
        } else {
            EXPECT_EQ(fields[1], QStringLiteral("OK")) << line.toStdString();
        }
    }
    // The real engine's crosstab layout, which its SQL text cannot carry (see the README).
    const std::map<QString, QString> expected = {
        {QStringLiteral("Quarterly Orders by Product"), QStringLiteral("6 9")},
    };
    EXPECT_EQ(differing, expected);
    EXPECT_EQ(lines.last(), QStringLiteral("21 of 22 queries identical"));
}

TEST_F(ImportCommand, RebuildsTheSqlOfEveryQuery) {
    const QString reference = readTextFile(testFile(QStringLiteral("nwind_queries.sql")));
    int compared = 0;
    for (const QString& block : reference.split(QStringLiteral("-- "), Qt::SkipEmptyParts)) {
        const qsizetype end = block.indexOf(QLatin1Char('\n'));
        const QString name = block.left(end);
        QString expected = block.mid(end + 1).trimmed() + QLatin1Char('\n');
        expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const QorvelRun sql = runQorvel({QStringLiteral("sql"), db, name});
        EXPECT_EQ(sql.exitCode, 0) << name.toStdString();
        EXPECT_EQ(sql.outText(), expected) << name.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, 22);
}

TEST_F(ImportCommand, CatalogueRowsAreThoseTheRealEngineWrote) {
    const QString source = testFile(QStringLiteral("nwind.mdb"));
    std::map<QString, QString> ids;
    const auto objects = mdbExport(source, QStringLiteral("MSysObjects"));
    ASSERT_FALSE(objects.empty());
    const qsizetype idColumn = objects[0].indexOf(QStringLiteral("Id"));
    const qsizetype nameColumn = objects[0].indexOf(QStringLiteral("Name"));
    for (const QStringList& row : objects) {
        ids[row.value(nameColumn)] = row.value(idColumn);
    }
    const auto queries = mdbExport(source, QStringLiteral("MSysQueries"));
    ASSERT_FALSE(queries.empty());
    const QStringList header = queries[0];
    const auto at = [&](const QStringList& row, const char* column) {
        return row.value(header.indexOf(QLatin1String(column)));
    };
    for (const QString& name : {QStringLiteral("Invoices"), QStringLiteral("Customers and Suppliers by City"),
                                QStringLiteral("Quarterly Orders by Product")}) {
        QStringList expected;
        for (const QStringList& row : queries) {
            if (at(row, "ObjectId") == ids[name]) {
                expected << QStringList{at(row, "Attribute"), at(row, "Flag"), at(row, "Name1"),
                                        at(row, "Name2"), at(row, "Expression")}
                                .join(QLatin1Char('|'));
            }
        }
        const QorvelRun catalogue = runQorvel({QStringLiteral("catalogue"), db, name});
        ASSERT_EQ(catalogue.exitCode, 0);
        const auto rows = parseCsv(catalogue.outText());
        QStringList stored;
        for (size_t i = 1; i < rows.size(); ++i) {
            stored << rows[i].mid(1).join(QLatin1Char('|'));
        }
        EXPECT_GT(expected.size(), 4) << name.toStdString();
        EXPECT_EQ(stored, expected) << name.toStdString();
    }
}

TEST_F(ImportCommand, TreesFollowTheRealCatalogue) {
    const auto tree = [&](const QStringList& arguments) {
        const QorvelRun run = runQorvel(QStringList{arguments.first(), db} + arguments.mid(1));
        EXPECT_EQ(run.exitCode, 0) << run.errText().toStdString();
        return run.outText();
    };
    // The sources in the order the real engine listed them, not the order of the SQL text.
    EXPECT_EQ(tree({QStringLiteral("uses"), QStringLiteral("Invoices Filter")}),
              QStringLiteral("Invoices Filter\n"
                             "    Invoices\n"
                             "        Orders\n"
                             "        Order Details\n"
                             "        Customers\n"
                             "        Employees\n"
                             "        Products\n"
                             "        Shippers\n"));
    EXPECT_EQ(tree({QStringLiteral("uses"), QStringLiteral("Category Sales for 1995")}),
              QStringLiteral("Category Sales for 1995\n"
                             "    Product Sales for 1995\n"
                             "        Categories\n"
                             "        Order Details\n"
                             "        Orders\n"
                             "        Products\n"));
    EXPECT_EQ(tree({QStringLiteral("uses"), QStringLiteral("Customers and Suppliers by City")}),
              QStringLiteral("Customers and Suppliers by City\n"
                             "    Customers\n"
                             "    Suppliers\n"));
    EXPECT_EQ(tree({QStringLiteral("uses"), QStringLiteral("Sales by Year"), QStringLiteral("--type"),
                    QStringLiteral("query"), QStringLiteral("--find"), QStringLiteral("Discount")}),
              QStringLiteral("Sales by Year\n"
                             "    Orders\n"
                             "    Order Subtotals (*)\n"
                             "        Order Details\n"));
    EXPECT_EQ(tree({QStringLiteral("usedby"), QStringLiteral("Order Subtotals")}),
              QStringLiteral("Order Subtotals\n"
                             "    Employee Sales by Country\n"
                             "    Sales by Year\n"
                             "    Sales Totals by Amount\n"
                             "    Summary of Sales by Quarter\n"
                             "    Summary of Sales by Year\n"));
}

TEST(ImportRefusal, AnExistingDatabaseIsKeptWithoutForce) {
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("dates.qdb"));
    const QString source = testFile(QStringLiteral("DateTestDatabase.mdb"));
    ASSERT_EQ(runQorvel({QStringLiteral("import"), source, target}).exitCode, 0);
    const QorvelRun again = runQorvel({QStringLiteral("import"), source, target});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.oneErrorLine());
    EXPECT_EQ(runQorvel({QStringLiteral("import"), source, target, QStringLiteral("--force")}).exitCode, 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"dates.qdb"});
}

// Damaged, protected and foreign files: one line naming the problem, exit 2, no crash, nothing left.
TEST(ImportRefusal, DamagedAndForeignFiles) {
    QFile original(testFile(QStringLiteral("nwind.mdb")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    constexpr qsizetype kPage = 2048;  // Jet 3; the definition of MSysObjects is on page 2
    const auto flipped = [&](qsizetype page, int step) {
        QByteArray damaged = bytes;
        for (qsizetype i = page * kPage; i < (page + 1) * kPage; i += step) {
            damaged[i] = char(~damaged[i]);
        }
        return damaged;
    };
    QByteArray password = bytes;
    password[0x42] = char(password[0x42] ^ 0x55);  // the encoded password in the file's header
    const std::vector<std::tuple<const char*, QByteArray, const char*>> cases = {
        {"truncated", bytes.left(100000), "damaged"},
        {"half", bytes.left(bytes.size() / 2), "damaged"},
        {"header only", bytes.left(kPage), "damaged"},
        {"catalogue definition flipped", flipped(2, 7), "damaged"},
        {"catalogue definition erased", flipped(2, 1), "damaged"},
        {"catalogue rows erased", flipped(6, 1), "damaged"},
        {"password", password, "password-protected"},
        {"text", QByteArray("not a database\n").repeated(500), "not a database file"},
        {"empty", QByteArray(), "not a database file"},
    };
    for (const auto& [name, contents, problem] : cases) {
        QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("source.mdb"));
        {
            QFile file(source);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        const QorvelRun run =
            runQorvel({QStringLiteral("import"), source, folder.filePath(QStringLiteral("out.qdb"))});
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_TRUE(run.oneErrorLine()) << name << ": " << run.errText().toStdString();
        EXPECT_TRUE(run.errText().contains(QLatin1String(problem)))
            << name << ": " << run.errText().toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"source.mdb"})
            << name;
    }
    const QorvelRun missing = runQorvel({QStringLiteral("import"), QStringLiteral("/nonexistent/x.mdb"),
                                         QDir::temp().filePath(QStringLiteral("never.qdb"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.oneErrorLine());
}

}  // namespace
