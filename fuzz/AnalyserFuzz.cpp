// The analyser on any text: catalogue rows or the host's error, never a crash, a leak or a hang.
#include "host/jet/Analyser.h"
#include "hostapi/host.h"

#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const jet::QueryAnalysis analysis = jet::analyse(sql);
        // A statement it accepts always has the begin and end rows.
        if (analysis.rows.size() < 2 || analysis.rows.front().attribute != 0 ||
            analysis.rows.back().attribute != 255) {
            std::abort();
        }
    } catch (const host::Error&) {
        // Refused text is a result like any other.
    }
    return 0;
}
