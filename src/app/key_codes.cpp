#include "app/key_codes.h"

#include <Qt>

namespace quillmere {

namespace {

// XKB key codes (Linux input codes + 8) of the keys named by their place,
// and the Windows number of the key at that place.
int keyCodeByPlace(quint32 xkbKeyCode) {
    if (xkbKeyCode >= 10 && xkbKeyCode <= 18) return 49 + static_cast<int>(xkbKeyCode - 10);
    switch (xkbKeyCode) {
        case 19:  // 0
            return 48;
        case 20:  // - _
            return 189;
        case 21:  // = +
            return 187;
        case 34:  // [ {
            return 219;
        case 35:  // ] }
            return 221;
        case 47:  // ; :
            return 186;
        case 48:  // ' "
            return 222;
        case 49:  // ` ~
            return 192;
        case 51:  // backslash and bar
            return 220;
        case 59:  // , <
            return 188;
        case 60:  // . >
            return 190;
        case 61:  // / ?
            return 191;
        case 94:  // the extra key beside the left Shift
            return 226;
        default:
            return 0;
    }
}

int keypadKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 110;
        case Qt::Key_Slash:
            return 111;
        default:
            return 0;
    }
}

int keyCodeByKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return kDeleteKeyCode;
        case Qt::Key_Meta:
            return 91;
        case Qt::Key_Menu:
            return 93;
        case Qt::Key_NumLock:
            return 144;
        case Qt::Key_ScrollLock:
            return 145;
        default:
            return 0;
    }
}

}  // namespace

int windowsKeyCode(int qtKey, quint32 nativeScanCode, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const int code = keypadKeyCode(qtKey)) return code;
    }
    if (const int code = keyCodeByPlace(nativeScanCode)) return code;
    return keyCodeByKey(qtKey);
}

}  // namespace quillmere
