// Reading the reference files the tests compare their results with.
#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// The file's text (UTF-8), or an empty text and a test failure when it cannot be read.
inline QString readTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}
