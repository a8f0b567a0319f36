#include "editor/CUndoElement.h"

#include "platform/RichTextControl.h"

CUndoElement CUndoElement::of(const platform::RichTextControl& control) {
    return CUndoElement{control.text(), control.textRTF()};
}
