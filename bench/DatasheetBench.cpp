// Opening the datasheet of a table of 1,000,000 rows (the view, its paged model and the first screen
// painted) against a plain SQLite count of the same table, and paging through it at random places.
#include "app/DatasheetModel.h"
#include "app/ObjectWindows.h"
#include "host/QdbDatabase.h"

#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kRows = 1000000;
constexpr int kRepeats = 5;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString databasePath() {
    return folder().filePath(QStringLiteral("big.qdb"));
}

void buildDatabase() {
    {
        auto database = qdb::QdbDatabase::create(databasePath());
        qdb::TableSpec table;
        table.name = QStringLiteral("Readings");
        table.fields = {{QStringLiteral("ReadingID"), QStringLiteral("Long")},
                        {QStringLiteral("Sensor"), QStringLiteral("Text")},
                        {QStringLiteral("Value"), QStringLiteral("Double")},
                        {QStringLiteral("Taken"), QStringLiteral("DateTime")}};
        database->createTable(table);
    }
    // The rows go in through SQLite directly: building them is not what is measured.
    sqlite3* db = nullptr;
    sqlite3_open(databasePath().toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Readings VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    for (int i = 0; i < kRows; ++i) {
        const QByteArray sensor = QStringLiteral("Sensor %1").arg(i % 97).toUtf8();
        sqlite3_bind_int(insert, 1, i + 1);
        sqlite3_bind_text(insert, 2, sensor.constData(), int(sensor.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 3, i * 0.25);
        sqlite3_bind_text(insert, 4, "2024-03-01 10:00:00", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

std::shared_ptr<qdb::QdbDatabase>& database() {
    static std::shared_ptr<qdb::QdbDatabase> db;
    return db;
}

double countMs = 0;
double openMs = 0;
double pageMs = 0;

void PlainCount(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kRepeats; ++i) {
            sqlite3* db = nullptr;
            sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            sqlite3_stmt* count = nullptr;
            sqlite3_prepare_v2(db, "SELECT count(*) FROM Readings", -1, &count, nullptr);
            sqlite3_step(count);
            benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
            sqlite3_finalize(count);
            sqlite3_close(db);
        }
        countMs = double(timer.nsecsElapsed()) / 1e6 / kRepeats;
    }
}

void OpenDatasheet(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kRepeats; ++i) {
            app::DatasheetWindow window(databasePath(), QStringLiteral("Readings"));
            window.resize(900, 600);
            window.show();
            // The first screen painted.
            QApplication::processEvents();
            benchmark::DoNotOptimize(window.table()->model()->rowCount());
        }
        openMs = double(timer.nsecsElapsed()) / 1e6 / kRepeats;
    }
}

// Jumps to random places, as dragging the scroll bar does: one page read each.
void RandomPages(benchmark::State& state) {
    app::DatasheetModel model(databasePath(), QStringLiteral("Readings"));
    constexpr int kJumps = 200;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kJumps; ++i) {
            const int row = int(QRandomGenerator::global()->bounded(kRows));
            benchmark::DoNotOptimize(model.data(model.index(row, 1)));
        }
        pageMs = double(timer.nsecsElapsed()) / 1e6 / kJumps;
    }
}

BENCHMARK(PlainCount)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenDatasheet)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RandomPages)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    buildDatabase();
    database() = qdb::QdbDatabase::open(databasePath());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf(
        "\nDatasheet of %d rows: opened in %.1f ms, a plain SQLite count in %.1f ms: ratio %.1f (target at "
        "most 10)\n",
        kRows, openMs, countMs, countMs > 0 ? openMs / countMs : 0.0);
    std::printf("A jump to a random place of the table reads one page in %.2f ms\n", pageMs);
    database().reset();
    return 0;
}
