// Reading the files the tests compare their results with: the one file reader of the tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// The file's bytes, or nothing and a test failure when it cannot be read.
inline QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return QByteArray();
    }
    return file.readAll();
}

// The file's text (UTF-8), or an empty text and a test failure when it cannot be read.
inline QString readTextFile(const QString& path) {
    return QString::fromUtf8(readFileBytes(path));
}
