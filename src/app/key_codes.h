#pragma once

#include <Qt>

namespace quillmere {

// The Windows virtual-key number of a released key, as the status bar
// shows it (Delete 46, Shift 16, letters by their capital); 0 for a key
// without one. The digit row and the punctuation keys are named by their
// place on the keyboard, from the XKB key code that X11 and Wayland give
// as the native scan code (Shift+1 is 49, ";" 186), keypad digits by their
// own numbers (96 to 105); every other key by the key it produces.
int windowsKeyCode(int qtKey, quint32 nativeScanCode = 0, Qt::KeyboardModifiers modifiers = {});

inline constexpr int kDeleteKeyCode = 46;

}  // namespace quillmere
