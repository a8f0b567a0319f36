// The JSON database reader on any bytes: a description of a database or one error, never a crash.
#include "host/JsonDatabase.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const qdb::DatabaseSpec spec = qdb::JsonDatabase::parse(json);
        // What it reads it can write, and what it wrote it reads back the same.
        const qdb::DatabaseSpec again = qdb::JsonDatabase::parse(qdb::JsonDatabase::write(spec));
        if (again.tables.size() != spec.tables.size() || again.queries.size() != spec.queries.size() ||
            again.forms.size() != spec.forms.size() || again.reports.size() != spec.reports.size()) {
            std::abort();
        }
    } catch (const qdb::JsonDatabaseError& error) {
        if (error.message().isEmpty() || error.message().contains(u'\n')) {
            std::abort();  // the message is one line
        }
    }
    return 0;
}
