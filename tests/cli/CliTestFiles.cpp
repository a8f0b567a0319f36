#include "CliTestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

QString testData(const QString& name) {
    return QStringLiteral(QORVEL_TEST_DATA_DIR "/") + name;
}

QString sourceFile(const QString& path) {
    return QStringLiteral(QORVEL_SOURCE_DIR "/") + path;
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
