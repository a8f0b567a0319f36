// Writes seeds that only a program can make: for each SQL file given, the undo snapshot (TextRTF) of its
// text after a full colouring pass, as OUTDIR/NAME.snapshot.
#include "colouring/CSQLColorize.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTDIR FILE.sql...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        platform::InMemoryRichTextControl control;
        CSQLColorize colorizer(platform::Services{});
        colorizer.setRtb(&control);
        control.setText(QString::fromUtf8(file.readAll()));
        colorizer.FullParse = true;
        colorizer.rtb_Change();
        QFile seed(out.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".snapshot")));
        if (seed.open(QIODevice::WriteOnly)) {
            seed.write(control.textRTF());
        }
    }
    return 0;
}
