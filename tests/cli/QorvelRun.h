// Runs the built qorvel program and gathers what it printed, for the end-to-end tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <ostream>

struct QorvelRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QString errText() const { return QString::fromUtf8(err); }
    // True when standard error holds exactly one line.
    bool oneErrorLine() const { return err.endsWith('\n') && err.count('\n') == 1; }
};

// timeZone: the TZ the program runs in, when not the machine's.
QorvelRun runQorvel(const QStringList& arguments, const QString& timeZone = QString());

// A scenario file in tests/cli/data, or a file of the repository.
QString testData(const QString& name);
QString sourceFile(const QString& path);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& contents);

// The names of every entry of a folder, hidden ones included.
QStringList folderEntries(const QDir& folder);

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}
