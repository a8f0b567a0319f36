// qorvel-host as a process under Xvfb: the SQL editor opened on a saved query, the caret moved with the
// arrow keys onto its placeholders, and the lists that pop up there, as the host reports them.
#include "common/HostProcess.h"
#include "host/JsonDatabase.h"
#include "host/QdbDatabase.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Placeholders inside literals, where the engine lets a saved query keep them.
const QString kQuery = QStringLiteral("Placeholder Pick");
const QString kSql = QStringLiteral(
    "SELECT Customers.CompanyName, '{table1}'\r\nFROM Customers\r\nWHERE Customers.City = '{value1}';");

// The windows that --describe printed: file, window name and list rows, in the order they were written.
struct Window {
    QString file;
    QString name;
    QStringList rows;
};

std::vector<Window> described(const QString& output) {
    std::vector<Window> windows;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('\t'))) {
            if (!windows.empty()) {
                windows.back().rows << line.mid(1);
            }
        } else if (line.contains(QLatin1Char('\t'))) {
            windows.push_back(
                {line.section(QLatin1Char('\t'), 0, 0), line.section(QLatin1Char('\t'), 1), {}});
        }
    }
    return windows;
}

QStringList names(const QJsonArray& objects) {
    QStringList list;
    for (const QJsonValue& object : objects) {
        list << object.toObject().value(QStringLiteral("name")).toString();
    }
    return list;
}

}  // namespace

TEST(CompletionProcess, ArrowKeysOntoPlaceholdersPopUpTheirLists) {
    if (!haveXvfb()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // The sample database with one more query that holds placeholders.
    QFile json(QStringLiteral(QORVEL_SOURCE_DIR "/samples/sample.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    QJsonObject sample = QJsonDocument::fromJson(json.readAll()).object();
    QJsonArray queries = sample.value(QStringLiteral("queries")).toArray();
    queries.append(QJsonObject{{QStringLiteral("name"), kQuery}, {QStringLiteral("sql"), kSql}});
    sample.insert(QStringLiteral("queries"), queries);
    const QString database = folder.filePath(QStringLiteral("sample.qdb"));
    qdb::JsonDatabase::build(*qdb::QdbDatabase::create(database),
                             qdb::JsonDatabase::parse(QJsonDocument(sample).toJson()));

    const HostSandbox host(folder.path());
    const HostRun registered = host.registerAddin();
    ASSERT_EQ(registered.exitCode, 0) << registered.all().toStdString();

    // End, then Left twice: the caret passes the closing brace (nothing) into {table1}. Ctrl+End, then Left
    // three times: past the semicolon and the quote (nothing), the brace (nothing), into {value1}. The
    // script takes a picture of each list and cancels it.
    const QString picture = folder.filePath(QStringLiteral("editor.png"));
    QStringList arguments;
    arguments << database << QStringLiteral("--select") << QStringLiteral("query:") + kQuery
              << QStringLiteral("--click") << QStringLiteral("QueryEditor");
    for (const char* key : {"End", "Left", "Left", "Ctrl+End", "Left", "Left", "Left"}) {
        arguments << QStringLiteral("--key") << QString::fromLatin1(key);
    }
    arguments << QStringLiteral("--screenshot") << picture << QStringLiteral("--describe");
    const HostRun run = host.run(arguments);
    const QString& output = run.out;
    ASSERT_EQ(run.exitCode, 0) << run.all().toStdString();

    std::vector<Window> lists;
    for (const Window& window : described(output)) {
        if (window.name == QLatin1String("frmList")) {
            lists.push_back(window);
        }
    }
    ASSERT_EQ(lists.size(), 2u) << output.toStdString();

    // The tables and saved queries, each once; no system tables and no hidden ~sq_ queries of the forms.
    QStringList objects = names(sample.value(QStringLiteral("tables")).toArray()) + names(queries);
    EXPECT_EQ(lists[0].rows.size(), objects.size()) << lists[0].rows.join('|').toStdString();
    EXPECT_EQ(QSet<QString>(lists[0].rows.cbegin(), lists[0].rows.cend()),
              QSet<QString>(objects.cbegin(), objects.cend()));

    // The fields of the query's one data source, then the value kinds.
    QStringList fields;
    for (const QJsonValue& table : sample.value(QStringLiteral("tables")).toArray()) {
        if (table.toObject().value(QStringLiteral("name")).toString() == QLatin1String("Customers")) {
            fields = names(table.toObject().value(QStringLiteral("fields")).toArray());
        }
    }
    ASSERT_FALSE(fields.isEmpty());
    fields << QStringLiteral("<Null>") << QStringLiteral("<Numeric>") << QStringLiteral("<String>");
    EXPECT_EQ(lists[1].rows, fields);

    for (const Window& list : lists) {
        const QImage image(list.file);
        EXPECT_FALSE(image.isNull()) << list.file.toStdString();
        EXPECT_GT(image.height(), 20) << "the list's picture is empty";
    }
}
