// A recordset's Filter criteria on any text, parsed against a few columns and evaluated on a few rows: the
// host's error or an answer, never a crash.
#include "host/RecordFilter.h"
#include "hostapi/host.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QStringList columns = {QStringLiteral("Name"), QStringLiteral("Amount"),
                                        QStringLiteral("Order Date"), QStringLiteral("Done")};
    static const QVariant rows[][4] = {
        {QStringLiteral("Ann"), 12.5, QDateTime(QDate(2024, 1, 2), QTime(0, 0)), true},
        {QVariant(), 0, QVariant(), false},
        {QStringLiteral("Ölçü *?#[]"), -7, QDateTime(QDate(1899, 12, 30), QTime(13, 5)), QVariant()},
    };
    const QString criteria = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const qdb::RecordFilter filter(criteria, columns);
        for (const auto& row : rows) {
            filter.matches(row);
        }
        filter.indexableEquality();
    } catch (const host::Error&) {
        // Criteria the host refuses.
    }
    return 0;
}
