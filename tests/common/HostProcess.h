// qorvel-host as a process, for the tests that drive the desktop program whole: a registry and data folders
// of the test's own, so that nothing of the user's is read or changed, and a display from xvfb-run.
// QORVEL_HOST and QORVEL_PLAVO name this build's host program and add-in library.
#pragma once

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

inline bool haveXvfb() {
    return !QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty();
}

struct HostRun {
    int exitCode = -1;  // -1 when the host did not end normally in time
    QString out;
    QString err;
    QString all() const { return out + err; }
};

class HostSandbox {
public:
    // folder: where the registry and the data and configuration folders go.
    explicit HostSandbox(const QString& folder) : mEnvironment(QProcessEnvironment::systemEnvironment()) {
        const QDir dir(folder);
        mEnvironment.insert(QStringLiteral("QORVEL_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
        mEnvironment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        mEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        // The tests' own offscreen platform would leave xvfb-run's display unused.
        mEnvironment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }

    // Starts the host with the arguments, under xvfb-run when asked.
    void start(QProcess& process, QStringList arguments, bool underXvfb,
               QProcess::ProcessChannelMode channels = QProcess::MergedChannels) const {
        process.setProcessEnvironment(mEnvironment);
        process.setProcessChannelMode(channels);
        arguments.prepend(QStringLiteral(QORVEL_HOST));
        if (underXvfb) {
            arguments.prepend(QStringLiteral("-a"));
            process.start(QStringLiteral("xvfb-run"), arguments);
        } else {
            process.start(arguments.takeFirst(), arguments);
        }
    }

    // Runs the host to its end, for two minutes at most.
    HostRun run(const QStringList& arguments, bool underXvfb = true) const {
        QProcess process;
        start(process, arguments, underXvfb, QProcess::SeparateChannels);
        HostRun run;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // Registers this build's add-in, as the README says a user does.
    HostRun registerAddin() const {
        return run({QStringLiteral("--register"), QStringLiteral(QORVEL_PLAVO)}, false);
    }

private:
    QProcessEnvironment mEnvironment;
};
