// Creates either rich-text control for the conformance suite and drives it the way a user would.
#pragma once

#include "platform/InMemoryRichTextControl.h"
#include "platform/QtRichTextControl.h"
#include "platform/VirtualKeys.h"

#include <QString>

#include <memory>

namespace platform::testing {

struct MemoryHarness {
    InMemoryRichTextControl control;

    static constexpr bool hasWindow = false;
    void type(const QString& text) { control.typeText(text); }
    // A key that types nothing (or whose character a handler swallows).
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        int shift = 0;
        if (modifiers & Qt::ShiftModifier)
            shift |= vbShiftMask;
        if (modifiers & Qt::ControlModifier)
            shift |= vbCtrlMask;
        if (modifiers & Qt::AltModifier)
            shift |= vbAltMask;
        control.pressKey(virtualKeyFromQtKey(key), shift);
    }
};

// The Qt control in a shown (offscreen) window, driven with real key events.
struct QtHarness {
    QtRichTextControl control;

    QtHarness();
    void type(const QString& text);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
};

}  // namespace platform::testing
