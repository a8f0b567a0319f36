// The fields list of a query that reads 50 sources of 200 columns each (the data-source record with its
// qualified names, and the fields dialog's sorted entries), against reading the catalogue rows of those
// sources and their field definitions alone. Target: at most 3 times as long.
#include "catalogue/AddinContext.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/mMain.h"
#include "completion/CompletionLists.h"
#include "datasources/frmFields.h"
#include "datasources/mQueryDataSourceList.h"
#include "host/HostApplication.h"
#include "host/QdbDatabase.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSources = 50;
constexpr int kColumns = 200;
const QString kQuery = QStringLiteral("Wide Query");

struct Fixture {
    QTemporaryDir folder;
    std::shared_ptr<qdb::QdbDatabase> database;
    std::unique_ptr<qdb::HostApplication> application;
    std::unique_ptr<AddinContext> context;

    Fixture() {
        database = qdb::QdbDatabase::create(folder.filePath(QStringLiteral("wide.qdb")));
        QStringList sources;
        for (int s = 0; s < kSources; ++s) {
            qdb::TableSpec spec;
            spec.name = QStringLiteral("Source %1").arg(s);
            // Half the names repeat in every source (they become qualified), half are the source's own.
            for (int c = 0; c < kColumns; ++c) {
                spec.fields.push_back({c % 2 ? QStringLiteral("Shared %1").arg(c)
                                             : QStringLiteral("S%1_Column%2").arg(s).arg(c),
                                       QStringLiteral("Text")});
            }
            database->createTable(spec);
            sources << QLatin1Char('[') + spec.name + QLatin1Char(']');
        }
        database->createQueryDef(kQuery, QStringLiteral("SELECT [Source 0].[Shared 1] FROM ") +
                                             sources.join(QStringLiteral(", ")) + QLatin1Char(';'));
        application = qdb::HostApplication::create();
        application->setDatabase(database);
        context = std::make_unique<AddinContext>(application.get());
        // One build before any is measured, so that no measurement pays for the first growth of the heap.
        rQueryDataSourceFieldList(*context, kQuery, true);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double fieldsListSeconds = 0;
double dialogSeconds = 0;
double baselineSeconds = 0;
qsizetype entries = 0;

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the editor offers at a {field} placeholder: the record of the query's sources with its qualified
// names, each name once.
class FieldsOwner : public CompletionOwner {
public:
    platform::RichTextControl* rtbSQLEditor() const override { return nullptr; }
    std::unique_ptr<CV_QueryDataSource>& queryDataSource() override { return record; }
    CSQLColorize* colorizer() const override { return nullptr; }
    PopUpWindows& popUps() override { std::abort(); }
    std::unique_ptr<CV_QueryDataSource> record;
};

void FieldsList(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        FieldsOwner owner;
        owner.record = rQueryDataSourceFieldList(*f.context, kQuery, true);
        const QStringList list = CompletionLists(*f.context, owner).PrepareFieldsList();
        fieldsListSeconds += seconds(start) / double(state.max_iterations);
        entries = list.size();
        benchmark::DoNotOptimize(list);
    }
}

// The fields dialog's entries: the same record, the query's aliases added, sorted.
void FieldsDialogList(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto record = rQueryDataSourceFieldList(*f.context, kQuery, true);
        const QStringList list = FieldsDialogEntries(*f.context, *record, kQuery);
        dialogSeconds += seconds(start) / double(state.max_iterations);
        benchmark::DoNotOptimize(list);
    }
}

// The catalogue's source rows of the query and the field definitions of each source, nothing else.
void CatalogueAndFieldsAlone(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto rows = f.database->openRecordset(CatalogueStatement(catalogue::kQuerySources, kQuery));
        qsizetype columns = 0;
        for (; !rows->eof(); rows->moveNext()) {
            columns += f.database->tableDef(rows->text(QStringLiteral("Name1")))->fieldNames().size();
        }
        rows->close();
        baselineSeconds += seconds(start) / double(state.max_iterations);
        benchmark::DoNotOptimize(columns);
    }
}

BENCHMARK(CatalogueAndFieldsAlone)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FieldsList)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FieldsDialogList)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (fieldsListSeconds > 0 && baselineSeconds > 0) {
        std::printf(
            "fields list of %d sources x %d columns: %lld entries, %.1f ms; catalogue rows and field "
            "definitions alone: %.1f ms; ratio %.2f (target at most 3)\n",
            kSources, kColumns, static_cast<long long>(entries), fieldsListSeconds * 1000,
            baselineSeconds * 1000, fieldsListSeconds / baselineSeconds);
        std::printf("fields dialog's sorted entries with the query's aliases: %.1f ms; ratio %.2f\n",
                    dialogSeconds * 1000, dialogSeconds / baselineSeconds);
    }
    return 0;
}
