#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace quillmere {

// True when a regular file (not a folder, not a device or pipe) is at the
// path; links are followed.
bool isExistingFile(const QString& path);

// Reads the whole file; "Cannot open file" when it cannot be opened or read,
// and the too-large error for a file beyond what any picture within the
// limits needs.
std::vector<std::uint8_t> readWholeFile(const QString& path);

}  // namespace quillmere
