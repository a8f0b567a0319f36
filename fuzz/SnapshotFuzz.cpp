// The undo snapshot decoder on any bytes: nothing, or a snapshot whose runs cover its text and which
// encodes to bytes that decode to the same snapshot.
#include "platform/RichTextSnapshot.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<platform::RichTextSnapshot> snapshot = platform::RichTextSnapshot::fromTextRTF(bytes);
    if (!snapshot) {
        return 0;
    }
    qsizetype covered = 0;
    for (const platform::ColourRun& run : snapshot->runs) {
        if (run.start != covered || run.length <= 0) {
            std::abort();
        }
        covered += run.length;
    }
    if (covered != snapshot->text.size()) {
        std::abort();
    }
    const auto again = platform::RichTextSnapshot::decode(snapshot->encode());
    if (!again || *again != *snapshot) {
        std::abort();
    }
    return 0;
}
