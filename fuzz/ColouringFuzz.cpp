// The line tokenizer and a full colouring pass on the in-memory control, on any text: the text stays as it
// was, every character keeps one colour, and no step of the pass reports a failure.
#include "colouring/CSQLColorize.h"
#include "colouring/SqlLineTokenizer.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/Platform.h"
#include "platform/Prompter.h"

#include <QString>

#include <cstdlib>

namespace {

// The colouriser reports a failure of any step through a message box: here that is a finding.
class AbortingPrompter : public platform::Prompter {
public:
    platform::MsgResult msgBox(const platform::Message&) override { std::abort(); }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { std::abort(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static AbortingPrompter prompter;
    platform::Services services;
    services.prompter = &prompter;
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    // One line: the runs lie inside it and do not overlap.
    const QString line = input.section(u'\n', 0, 0);
    int end = 0;
    for (const auto& run : SqlLineTokenizer::flatten(SqlLineTokenizer::tokenize(line), int(line.size()))) {
        if (run.start < end || run.length <= 0 || run.start + run.length > line.size()) {
            std::abort();
        }
        end = run.start + run.length;
    }

    platform::InMemoryRichTextControl control;
    CSQLColorize colorizer(services);
    colorizer.setRtb(&control);
    colorizer.setTrapUndo(true);
    control.setText(input);
    const QString text = control.text();
    colorizer.setTrapUndo(false);
    colorizer.FullParse = true;
    colorizer.rtb_Change();
    if (control.text() != text) {
        std::abort();
    }
    int covered = 0;
    for (const platform::ColourRun& run : control.colourRuns()) {
        if (run.start != covered || run.length <= 0) {
            std::abort();
        }
        covered += run.length;
    }
    if (covered != (text.isEmpty() ? 0 : text.size())) {
        std::abort();
    }
    return 0;
}
