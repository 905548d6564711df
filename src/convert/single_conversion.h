#pragma once

#include <QString>
#include <functional>

#include "convert/conversion_ports.h"
#include "imaging/image_control.h"

namespace quillmere {

// Converts the one file the list's current entry names, after the user
// confirms, saving what the preview holds (nothing is loaded). The quality
// text is read leniently, 0 staying 0. `confirm` asks the question and
// answers whether the user chose Yes.
void runSingleConversion(const QString& entryPath, const QString& formatItem,
                         const QString& qualityText, bool overwrite, ImageControl& preview,
                         ConversionLog& log, const std::function<bool(const QString&)>& confirm);

}  // namespace quillmere
