// Importing the Jet 3 test file (tables and rows, queries with their rebuilt SQL, forms and reports) against
// reading every row of its tables with libmdb alone, the least any import must do.
#include "host/mdb/MdbImporter.h"

// mdbtools.h opens an extern "C" block around glib's headers, which hold C++ templates; glib first.
#include <glib.h>
#include <mdbtools.h>

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const QString kSource = QStringLiteral(QORVEL_SOURCE_DIR "/tests/host/mdb/data/nwind.mdb");
double importSeconds = 0;
double readSeconds = 0;

// Every row of every user table, each column bound as libmdb's own programs bind them.
long readAllRows() {
    MdbHandle* mdb = mdb_open(QFile::encodeName(kSource).constData(), MDB_NOFLAGS);
    if (!mdb) {
        return -1;
    }
    mdb_set_bind_size(mdb, 256 * 1024);
    long rows = 0;
    GPtrArray* catalogue = mdb_read_catalog(mdb, MDB_TABLE);
    for (guint i = 0; catalogue && i < catalogue->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalogue, i));
        if (!mdb_is_user_table(entry)) {
            continue;
        }
        MdbTableDef* table = mdb_read_table(entry);
        if (!table) {
            continue;
        }
        mdb_read_columns(table);
        std::vector<std::vector<char>> buffers(table->num_cols, std::vector<char>(256 * 1024));
        std::vector<int> lengths(table->num_cols);
        for (guint c = 0; c < table->num_cols; ++c) {
            mdb_bind_column(table, int(c) + 1, buffers[c].data(), &lengths[c]);
        }
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            ++rows;
        }
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return rows;
}

// The fastest of the runs: on a machine shared with other work the slower runs measure the others.
template <typename Work>
double fastest(benchmark::State& state, Work&& work) {
    double best = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void ReadWithLibmdb(benchmark::State& state) {
    long rows = 0;
    readSeconds = fastest(state, [&] { rows = readAllRows(); });
    state.counters["rows"] = double(rows);
}

void ImportFile(benchmark::State& state) {
    QTemporaryDir folder;
    qint64 rows = 0;
    int run = 0;
    importSeconds = fastest(state, [&] {
        rows = mdb::importFile(kSource, folder.filePath(QStringLiteral("n%1.qdb").arg(run++)), false).rows;
    });
    state.counters["rows"] = double(rows);
}

BENCHMARK(ReadWithLibmdb)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ImportFile)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (importSeconds > 0 && readSeconds > 0) {
        std::printf(
            "import of nwind.mdb: %.1f ms, reading its rows with libmdb alone: %.1f ms; ratio %.2f "
            "(target at most 3)\n",
            importSeconds * 1e3, readSeconds * 1e3, importSeconds / readSeconds);
    }
    return 0;
}
