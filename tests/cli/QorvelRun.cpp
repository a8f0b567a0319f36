#include "QorvelRun.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

QorvelRun runQorvel(const QStringList& arguments, const QString& timeZone) {
    QProcess process;
    if (!timeZone.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TZ"), timeZone);
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(QORVEL_PROGRAM), arguments);
    QorvelRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "qorvel " << arguments.join(' ').toStdString() << " did not finish normally";
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString testData(const QString& name) {
    return QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name;
}

QString sourceFile(const QString& path) {
    return QStringLiteral(QORVEL_SOURCE_DIR "/") + path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(contents);
}

QStringList folderEntries(const QDir& folder) {
    return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name);
}
