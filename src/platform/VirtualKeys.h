// The host's key codes (Windows virtual-key codes) as the rich-text control reports them in KeyDown and
// KeyUp, and their mapping from Qt keys and from typed characters (US keyboard layout).
#pragma once

#include <QChar>

namespace platform {

namespace vk {
inline constexpr int back = 8;
inline constexpr int tab = 9;
inline constexpr int returnKey = 13;
inline constexpr int shift = 16;
inline constexpr int control = 17;
inline constexpr int menu = 18;  // Alt
inline constexpr int escape = 27;
inline constexpr int space = 32;
inline constexpr int pageUp = 33;
inline constexpr int pageDown = 34;
inline constexpr int end = 35;
inline constexpr int home = 36;
inline constexpr int left = 37;
inline constexpr int up = 38;
inline constexpr int right = 39;
inline constexpr int down = 40;
inline constexpr int insert = 45;
inline constexpr int deleteKey = 46;
inline constexpr int f1 = 112;
inline constexpr int f3 = 114;
inline constexpr int packet = 231;  // a character that no key of the layout produces
}  // namespace vk

// The key code for a Qt::Key value; 0 for keys the host has no code for.
int virtualKeyFromQtKey(int qtKey);

// The key and shift state (vbShiftMask) that type this character; vk::packet for characters off the layout.
struct KeyStroke {
    int keyCode = 0;
    int shift = 0;
};
KeyStroke keyStrokeForCharacter(QChar character);

}  // namespace platform
