// qorvel colour FILE [--ansi]: colours an SQL file as the editor does and prints the colour runs.
#include "cli/Command.h"
#include "cli/CommandLine.h"

#include "catalogue/AddinContext.h"
#include "editor/HeadlessEditor.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QString kSynopsis = QStringLiteral("FILE [--ansi]");
const QString kSummary =
    QStringLiteral("colour an SQL file as the editor does; print start, length and R,G,B of each colour run");

QList<platform::ColourRun> maximalRuns(const QList<platform::ColourRun>& runs) {
    QList<platform::ColourRun> merged;
    for (const auto& run : runs) {
        if (run.length <= 0) {
            continue;
        }
        if (!merged.isEmpty() && merged.last().colour == run.colour &&
            merged.last().start + merged.last().length == run.start) {
            merged.last().length += run.length;
        } else {
            merged.append(run);
        }
    }
    return merged;
}

int red(quint32 rgb) {
    return int(rgb & 0xFF);
}
int green(quint32 rgb) {
    return int((rgb >> 8) & 0xFF);
}
int blue(quint32 rgb) {
    return int((rgb >> 16) & 0xFF);
}

int runColour(const QStringList& arguments) {
    const QCommandLineOption ansiOption(
        QStringLiteral("ansi"), QStringLiteral("Prints the text itself in its colours (ANSI escapes)."));
    cli::CommandLine line(QStringLiteral("colour"), kSynopsis, kSummary, {ansiOption}, 1, 1);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString fileName = line.positional().constFirst();
    const bool ansi = line.isSet(QStringLiteral("ansi"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        cli::err() << "qorvel colour: cannot read '" << fileName << "': " << file.errorString() << '\n';
        return cli::exitUsage;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        cli::err() << "qorvel colour: '" << fileName << "' is not UTF-8 text\n";
        return cli::exitUsage;
    }

    // The control stores every line end as CR LF, so a file with LF line ends is read as if it had them.
    platform::InMemoryRichTextControl control;
    platform::InMemoryTimer timer;
    // No host behind the text, and no message boxes: colouring never shows its failures here.
    const AddinContext context(nullptr);
    HeadlessEditor editor(context, control, timer);
    editor.Initialize(text);

    const auto runs = maximalRuns(control.colourRuns());
    if (runs.isEmpty()) {
        return cli::exitNothing;
    }
    if (ansi) {
        const QString shown = control.text();
        for (const auto& run : runs) {
            QString piece = shown.mid(run.start, run.length);
            piece.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            cli::out() << QStringLiteral("\x1b[38;2;%1;%2;%3m")
                              .arg(red(run.colour))
                              .arg(green(run.colour))
                              .arg(blue(run.colour))
                       << piece;
        }
        cli::out() << "\x1b[0m";
        if (!shown.endsWith(QLatin1String("\r\n"))) {
            cli::out() << '\n';
        }
        return cli::exitOk;
    }
    for (const auto& run : runs) {
        cli::out() << run.start << '\t' << run.length << '\t' << red(run.colour) << ',' << green(run.colour)
                   << ',' << blue(run.colour) << '\n';
    }
    return cli::exitOk;
}

}  // namespace

QORVEL_COMMAND({QStringLiteral("colour"), kSynopsis, kSummary, runColour});
