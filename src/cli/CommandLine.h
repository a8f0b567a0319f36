// Argument handling shared by every command: options and positional arguments, --help, one-line usage
// errors, and opening the database a command works on.
#pragma once

#include "hostapi/host.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace qdb {
class QdbDatabase;
enum class OpenMode;
}  // namespace qdb

namespace cli {

class CommandLine {
public:
    // name and synopsis as registered; description: what --help says after the usage line.
    CommandLine(QString name, QString synopsis, QString description, QList<QCommandLineOption> options,
                qsizetype minPositional, qsizetype maxPositional);

    // Parses the arguments after the command name. Returns the exit code when the command is done already
    // (help shown: exitOk; usage error reported: exitUsage), or nothing when it should run.
    std::optional<int> parse(const QStringList& arguments);

    bool isSet(const QString& option) const { return mParser.isSet(option); }
    QString value(const QString& option) const { return mParser.value(option); }
    QStringList positional() const { return mParser.positionalArguments(); }

    // Reports a usage error on one line and returns exitUsage.
    int usageError(const QString& problem) const;

private:
    QString usageLine() const;
    QString helpText() const;

    QString mName;
    QString mSynopsis;
    QString mDescription;
    QList<QCommandLineOption> mOptions;
    qsizetype mMinPositional;
    qsizetype mMaxPositional;
    QCommandLineParser mParser;
};

// Opens an existing database; a missing, unreadable or foreign file is reported on one line and gives null,
// and is left as it was. A command that only reads opens read-only.
std::shared_ptr<qdb::QdbDatabase> openDatabase(const QString& path, qdb::OpenMode mode);

// Whether two paths name one existing file.
bool sameFile(const QString& first, const QString& second);

// The name in quotes, for messages.
QString quoted(const QString& name);

// Reports a failure to read the saved query of that name on one line: exitNothing when there is no such
// query, exitUsage for any other failure.
int queryFailure(const host::Error& error, const QString& name);

}  // namespace cli
