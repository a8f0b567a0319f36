#include "VirtualKeys.h"

#include "RichTextControl.h"

#include <Qt>

namespace platform {

namespace {

// Unshifted punctuation keys of the US layout.
int oemKey(char16_t c) {
    switch (c) {
        case u';':
            return 186;
        case u'=':
            return 187;
        case u',':
            return 188;
        case u'-':
            return 189;
        case u'.':
            return 190;
        case u'/':
            return 191;
        case u'`':
            return 192;
        case u'[':
            return 219;
        case u'\\':
            return 220;
        case u']':
            return 221;
        case u'\'':
            return 222;
        default:
            return 0;
    }
}

// The unshifted character on the same key as a shifted one.
char16_t unshifted(char16_t c) {
    constexpr char16_t shifted[] = u"!@#$%^&*()_+:?~{|}\"<>";
    constexpr char16_t base[] = u"1234567890-=;/`[\\]',.";
    for (int i = 0; shifted[i] != 0; ++i) {
        if (shifted[i] == c)
            return base[i];
    }
    return 0;
}

}  // namespace

int virtualKeyFromQtKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vk::f1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace:
            return vk::back;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::tab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::returnKey;
        case Qt::Key_Shift:
            return vk::shift;
        case Qt::Key_Control:
            return vk::control;
        case Qt::Key_Alt:
            return vk::menu;
        case Qt::Key_Escape:
            return vk::escape;
        case Qt::Key_Space:
            return vk::space;
        case Qt::Key_PageUp:
            return vk::pageUp;
        case Qt::Key_PageDown:
            return vk::pageDown;
        case Qt::Key_End:
            return vk::end;
        case Qt::Key_Home:
            return vk::home;
        case Qt::Key_Left:
            return vk::left;
        case Qt::Key_Up:
            return vk::up;
        case Qt::Key_Right:
            return vk::right;
        case Qt::Key_Down:
            return vk::down;
        case Qt::Key_Insert:
            return vk::insert;
        case Qt::Key_Delete:
            return vk::deleteKey;
        default:
            break;
    }
    if (qtKey > 0 && qtKey < 0x80) {
        const auto c = char16_t(qtKey);
        if (const int oem = oemKey(c))
            return oem;
        if (const char16_t base = unshifted(c))
            return base >= u'0' && base <= u'9' ? int(base) : oemKey(base);
    }
    return 0;
}

KeyStroke keyStrokeForCharacter(QChar character) {
    const char16_t c = character.unicode();
    if (c >= u'a' && c <= u'z')
        return {int(c - u'a' + u'A'), 0};
    if (c >= u'A' && c <= u'Z')
        return {int(c), vbShiftMask};
    if (c >= u'0' && c <= u'9')
        return {int(c), 0};
    switch (c) {
        case u' ':
            return {vk::space, 0};
        case u'\t':
            return {vk::tab, 0};
        case u'\r':
        case u'\n':
            return {vk::returnKey, 0};
        case u'\b':
            return {vk::back, 0};
        default:
            break;
    }
    if (const int oem = oemKey(c))
        return {oem, 0};
    if (const char16_t base = unshifted(c))
        return {base >= u'0' && base <= u'9' ? int(base) : oemKey(base), vbShiftMask};
    return {vk::packet, 0};
}

}  // namespace platform
