#include "RichTextHarness.h"

#include "common/QtApplicationEnvironment.h"

#include <QApplication>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace platform::testing {

namespace {

Qt::KeyboardModifiers modifiersFor(int shift) {
    Qt::KeyboardModifiers modifiers;
    if (shift & vbShiftMask)
        modifiers |= Qt::ShiftModifier;
    return modifiers;
}

}  // namespace

QtHarness::QtHarness() {
    control.widget()->resize(400, 300);
    control.widget()->show();
}

void QtHarness::type(const QString& text) {
    for (const QChar c : text) {
        const KeyStroke stroke = keyStrokeForCharacter(c);
        Qt::Key key;
        QString keyText(c);
        if (c == u'\r' || c == u'\n') {
            key = Qt::Key_Return;
            keyText = u"\r"_qs;
        } else if (c == u'\t') {
            key = Qt::Key_Tab;
        } else if (c == u'\b') {
            key = Qt::Key_Backspace;
        } else {
            key = Qt::Key(c.toUpper().unicode());
        }
        QTest::sendKeyEvent(QTest::Click, control.widget(), key, keyText, modifiersFor(stroke.shift));
    }
}

void QtHarness::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(control.widget(), key, modifiers);
}

}  // namespace platform::testing
