// qorvel import FILE.mdb|FILE.accdb DB [--force] [--report]: imports a real engine's database file.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/InterruptCleanup.h"
#include "host/DatabaseFile.h"
#include "host/mdb/MdbFile.h"
#include "host/mdb/MdbImporter.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("import");
const QString kSynopsis = QStringLiteral("FILE.mdb|FILE.accdb DB [--force] [--report]");

void printReport(const mdb::ImportSummary& summary) {
    int identical = 0;
    for (const mdb::QueryFidelity& query : summary.fidelity) {
        if (query.differences.isEmpty()) {
            ++identical;
            out() << query.name << "\tOK\n";
        } else {
            out() << query.name << "\tDIFF\t" << query.differences.join(QLatin1Char(' ')) << '\n';
        }
    }
    out() << identical << " of " << summary.fidelity.size() << " queries identical\n";
}

int run(const QStringList& arguments) {
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replaces DB when it exists."));
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("Prints per query whether the engine's analyser, given the rebuilt SQL, writes the\n"
                       "catalogue rows the real engine wrote."));
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral("Builds the database DB from a database file of the real engine: its tables\n"
                       "and rows, its saved queries with the catalogue rows it wrote and their SQL\n"
                       "rebuilt from them, its forms and reports. FILE is only read. DB appears\n"
                       "only once it is complete, and an existing DB is kept until then."),
        {force, report}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString source = line.positional().at(0);
    const QString target = line.positional().at(1);
    if (sameFile(target, source)) {
        return line.usageError(QStringLiteral("FILE and DB are the same file"));
    }
    mdb::ImportSummary summary;
    try {
        summary = mdb::importFile(source, target, line.isSet(QStringLiteral("force")), removeOnInterrupt);
    } catch (const mdb::MdbFileError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    } catch (const qdb::DatabaseFileError& error) {
        err() << "qorvel: " << error.message() << '\n';
        return exitUsage;
    } catch (const host::Error& error) {
        err() << "qorvel: cannot import " << quoted(source) << ": " << error.description() << '\n';
        return exitUsage;
    } catch (const std::exception& error) {
        err() << "qorvel: cannot import " << quoted(source) << ": " << error.what() << '\n';
        return exitUsage;
    }
    if (line.isSet(QStringLiteral("report"))) {
        printReport(summary);
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis,
                QStringLiteral("Imports a database file of the real engine (.mdb, .accdb)."), run});

}  // namespace

}  // namespace cli
