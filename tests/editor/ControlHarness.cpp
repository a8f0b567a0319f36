#include "ControlHarness.h"

#include "common/QtApplicationEnvironment.h"

#include <QApplication>
#include <QTest>
#include <QTextEdit>

namespace testing_support {

std::unique_ptr<ControlHarness> ControlHarness::create(ControlKind kind) {
    switch (kind) {
        case ControlKind::Qt:
            return std::make_unique<QtControlHarness>();
        case ControlKind::Memory:
            break;
    }
    return std::make_unique<MemoryControlHarness>();
}

QtControlHarness::QtControlHarness() {
    control_.widget()->resize(400, 300);
    control_.widget()->show();
}

void QtControlHarness::type(const QString& text) {
    for (const QChar c : text) {
        const platform::KeyStroke stroke = platform::keyStrokeForCharacter(c);
        Qt::Key key = Qt::Key(c.toUpper().unicode());
        QString keyText(c);
        if (c == u'\r' || c == u'\n') {
            key = Qt::Key_Return;
            keyText = QStringLiteral("\r");
        } else if (c == u'\t') {
            key = Qt::Key_Tab;
        } else if (c == u'\b') {
            key = Qt::Key_Backspace;
        }
        const Qt::KeyboardModifiers modifiers =
            (stroke.shift & platform::vbShiftMask) ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, control_.widget(), key, keyText, modifiers);
    }
}

void QtControlHarness::pressKey(int keyCode, int shift) {
    Qt::KeyboardModifiers modifiers;
    if (shift & platform::vbCtrlMask) {
        modifiers |= Qt::ControlModifier;
    }
    if (shift & platform::vbShiftMask) {
        modifiers |= Qt::ShiftModifier;
    }
    // Letter keys have the same code in both numberings.
    QTest::keyClick(control_.widget(), Qt::Key(keyCode), modifiers);
}

quint32 QtControlHarness::colourAt(int position) const {
    for (const auto& run : control_.snapshot().runs) {
        if (position >= run.start && position < run.start + run.length) {
            return run.colour;
        }
    }
    return platform::defaultTextColour;
}

}  // namespace testing_support
