#include "cli/CommandLine.h"

#include "cli/Command.h"
#include "host/QdbDatabase.h"

#include <QFileInfo>

namespace cli {

CommandLine::CommandLine(QString name, QString synopsis, QString description,
                         QList<QCommandLineOption> options, qsizetype minPositional, qsizetype maxPositional)
    : mName(std::move(name)),
      mSynopsis(std::move(synopsis)),
      mDescription(std::move(description)),
      mOptions(std::move(options)),
      mMinPositional(minPositional),
      mMaxPositional(maxPositional) {
    mParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    mParser.addOptions(mOptions);
    mParser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Shows this help.")));
}

std::optional<int> CommandLine::parse(const QStringList& arguments) {
    if (!mParser.parse(QStringList{QStringLiteral("qorvel")} + arguments)) {
        return usageError(mParser.errorText());
    }
    if (mParser.isSet(QStringLiteral("help"))) {
        out() << helpText();
        return exitOk;
    }
    const qsizetype count = mParser.positionalArguments().size();
    if (count < mMinPositional) {
        return usageError(QStringLiteral("missing arguments"));
    }
    if (count > mMaxPositional) {
        return usageError(QStringLiteral("too many arguments"));
    }
    return std::nullopt;
}

int CommandLine::usageError(const QString& problem) const {
    QString text = problem;
    while (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    err() << "qorvel " << mName << ": " << text.replace(QLatin1Char('\n'), QLatin1Char(' '))
          << "; usage: " << usageLine() << '\n';
    return exitUsage;
}

QString CommandLine::usageLine() const {
    return mSynopsis.isEmpty() ? QStringLiteral("qorvel ") + mName
                               : QStringLiteral("qorvel %1 %2").arg(mName, mSynopsis);
}

QString CommandLine::helpText() const {
    QString text = QStringLiteral("Usage: %1\n\n%2\n").arg(usageLine(), mDescription);
    if (!mOptions.isEmpty()) {
        text += QStringLiteral("\nOptions:\n");
        for (const auto& option : mOptions) {
            QString names = QStringLiteral("--") + option.names().join(QStringLiteral(", --"));
            if (!option.valueName().isEmpty()) {
                names += QLatin1Char(' ') + option.valueName();
            }
            text += QStringLiteral("  %1\n      %2\n").arg(names, option.description());
        }
    }
    return text;
}

std::shared_ptr<qdb::QdbDatabase> openDatabase(const QString& path, qdb::OpenMode mode) {
    const QFileInfo info(path);
    QString problem;
    if (!info.exists()) {
        problem = QStringLiteral("no such file");
    } else if (!info.isFile()) {
        problem = QStringLiteral("not a file");
    } else if (!info.isReadable()) {
        problem = QStringLiteral("permission denied");
    } else {
        try {
            return qdb::QdbDatabase::open(path, mode);
        } catch (const std::exception& error) {
            problem = QString::fromUtf8(error.what());
        }
    }
    err() << "qorvel: cannot open database " << quoted(path) << ": " << problem << '\n';
    return nullptr;
}

bool sameFile(const QString& first, const QString& second) {
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

QString quoted(const QString& name) {
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

int queryFailure(const host::Error& error, const QString& name) {
    if (error.number() == host::errItemNotFound) {
        err() << "qorvel: no query " << quoted(name) << '\n';
        return exitNothing;
    }
    err() << "qorvel: " << error.description() << '\n';
    return exitUsage;
}

}  // namespace cli
