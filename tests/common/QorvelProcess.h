// Runs the built qorvel program and gathers what it printed, for the end-to-end tests of every subsystem.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct QorvelRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
    // True when standard error holds exactly one line.
    bool oneErrorLine() const { return err.endsWith('\n') && err.count('\n') == 1; }
};

// The program under test: this build's, unless QORVEL_PROGRAM names another.
inline QString qorvelProgram() {
    const QString other = qEnvironmentVariable("QORVEL_PROGRAM");
    return other.isEmpty() ? QStringLiteral(QORVEL_BINARY_DIR "/bin/qorvel") : other;
}

// timeZone: the TZ the program runs in, when not the machine's.
inline QorvelRun runQorvel(const QStringList& arguments, const QString& timeZone = QString()) {
    QProcess process;
    if (!timeZone.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TZ"), timeZone);
        process.setProcessEnvironment(environment);
    }
    process.start(qorvelProgram(), arguments);
    QorvelRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "qorvel " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " did not finish normally";
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
