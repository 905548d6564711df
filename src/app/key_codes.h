#pragma once

namespace quillmere {

// The Windows virtual-key number of a Qt key, as the status bar shows it
// (Delete 46, Shift 16, letters by their capital); 0 for a key without one.
int windowsKeyCode(int qtKey);

inline constexpr int kDeleteKeyCode = 46;

}  // namespace quillmere
