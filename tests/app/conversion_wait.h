#pragma once

#include <QTest>

#include "app/main_window.h"

namespace quillmere::test {

// Lets the window's event loop run until its conversion run has ended and
// been shown; false when it has not ended within the time given.
inline bool waitForConversion(const TForm_Main& window, int milliseconds = 60000) {
    return QTest::qWaitFor([&] { return !window.isConverting(); }, milliseconds);
}

}  // namespace quillmere::test
