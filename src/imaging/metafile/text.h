#pragma once

#include <QPainter>
#include <QPointF>
#include <QTransform>
#include <cstdint>
#include <span>

#include "imaging/metafile/canvas.h"
#include "imaging/metafile/device_context.h"

namespace quillmere::metafile {

// Draws the characters of `run` from the logical point `origin` with the
// state's font, text colour, background and alignment, as GDI places
// them: upright along the baseline, turned by the font's escapement (and,
// in the advanced graphics mode, by the mapping's rotation). The painter's
// clip is used as it stands; its transform and font are replaced. Font
// sizes are held to `largestPixelSize`. Returns the advance along the
// baseline in logical units.
double paintTextRun(QPainter& painter, const DcState& state, const TextRun& run, QPointF origin,
                    const QTransform& logicalToPicture, double largestPixelSize);

// Text stored in the ANSI code page of western Windows systems (1252).
QString textFromAnsi(std::span<const std::uint8_t> bytes);

}  // namespace quillmere::metafile
