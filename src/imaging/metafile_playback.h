#pragma once

#include <QString>
#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Metafiles are played by a part of the engine that needs QtGui, which the
// rest of the engine does without: the window program links it and sets
// it here at start-up, the command line loads it as a plug-in only when a
// metafile is to be converted (metafile_plugin_loader.h).

// Plays a WMF or EMF file into a white bitmap, or throws as the player
// does (metafile/decoder.h).
using MetafilePlayer = Bitmap24 (*)(std::span<const std::uint8_t> bytes);

// Sets the player every later metafile goes to (none: metafiles fail).
void setMetafilePlayer(MetafilePlayer player);

// Why there is no player, said when a metafile is played without one.
void setMetafilePlayerProblem(const QString& reason);

// Plays the metafile with the player set. Without one it fails (an
// AppError, not an invalid-picture error: the file is not at fault).
Bitmap24 playMetafile(std::span<const std::uint8_t> bytes);

}  // namespace quillmere
