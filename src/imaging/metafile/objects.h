#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <optional>
#include <span>

#include "imaging/metafile/device_context.h"

namespace quillmere::metafile {

// A COLORREF (0x00bbggrr); palette-index forms are read as plain colours.
QColor colourFromRef(std::uint32_t ref);

// Whether a pen comes from CreatePen (styled lines wider than one unit are
// drawn solid) or from ExtCreatePen (its own type, caps and joins).
enum class PenOrigin { Simple, Extended };

// A pen from GDI's style bits, width in logical units and colour. `dashes`
// are the user style entries of an extended pen, if it has any.
PenObject makePen(std::uint32_t style, double width, const QColor& colour, PenOrigin origin,
                  std::span<const std::uint32_t> dashes = {});

// A solid, hollow or hatched brush from LOGBRUSH fields. Pattern styles,
// whose bitmap comes separately, give a solid brush of the colour.
BrushObject makeBrush(std::uint32_t style, const QColor& colour, std::uint32_t hatch);
// A brush of a pattern bitmap; grey when the bitmap could not be read.
BrushObject makePatternBrush(const QImage& pattern);

// GDI's stock objects (WHITE_BRUSH ... DC_PEN); empty for an unknown one.
std::optional<GraphicObject> stockObject(std::uint32_t index);

// Makes a pen, brush or font current; other objects change nothing.
void selectInto(DcState& state, const GraphicObject& object);

}  // namespace quillmere::metafile
