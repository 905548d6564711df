#include "imaging/metafile/objects.h"

#include <QList>
#include <cmath>
#include <type_traits>
#include <variant>

namespace quillmere::metafile {

namespace {

constexpr std::uint32_t kPsStyleMask = 0x0000000F;
constexpr std::uint32_t kPsDash = 1;
constexpr std::uint32_t kPsDot = 2;
constexpr std::uint32_t kPsDashDot = 3;
constexpr std::uint32_t kPsDashDotDot = 4;
constexpr std::uint32_t kPsNull = 5;
constexpr std::uint32_t kPsInsideFrame = 6;
constexpr std::uint32_t kPsUserStyle = 7;
constexpr std::uint32_t kPsAlternate = 8;
constexpr std::uint32_t kPsEndCapMask = 0x00000F00;
constexpr std::uint32_t kPsEndCapSquare = 0x00000100;
constexpr std::uint32_t kPsEndCapFlat = 0x00000200;
constexpr std::uint32_t kPsJoinMask = 0x0000F000;
constexpr std::uint32_t kPsJoinBevel = 0x00001000;
constexpr std::uint32_t kPsJoinMiter = 0x00002000;
constexpr std::uint32_t kPsGeometric = 0x00010000;
constexpr std::size_t kMaxDashEntries = 16;

constexpr std::uint32_t kBsSolid = 0;
constexpr std::uint32_t kBsNull = 1;
constexpr std::uint32_t kBsHatched = 2;

// Dash patterns in pixels for one-pixel pens, as a screen draws them, and
// in pen widths for wide ones.
QList<qreal> dashPattern(std::uint32_t kind, bool thin) {
    switch (kind) {
        case kPsDash:
            return thin ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
        case kPsDot:
            return thin ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
        case kPsDashDot:
            return thin ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
        case kPsDashDotDot:
            return thin ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
        default:  // PS_ALTERNATE
            return {1, 1};
    }
}

Qt::BrushStyle hatchStyle(std::uint32_t hatch) {
    switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:  // HS_FDIAGONAL: downward, left to right
            return Qt::FDiagPattern;
        case 3:  // HS_BDIAGONAL: upward, left to right
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        case 5:
            return Qt::DiagCrossPattern;
        default:
            return Qt::SolidPattern;
    }
}

}  // namespace

QColor colourFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

PenObject makePen(std::uint32_t style, double width, const QColor& colour, PenOrigin origin,
                  std::span<const std::uint32_t> dashes) {
    PenObject result;
    const std::uint32_t kind = style & kPsStyleMask;
    if (kind == kPsNull) {
        result.pen = QPen(Qt::NoPen);
        return result;
    }
    const bool cosmetic = origin == PenOrigin::Extended && !(style & kPsGeometric);
    const double logicalWidth = cosmetic || !std::isfinite(width) ? 0 : std::abs(width);
    QPen pen(colour, logicalWidth);
    pen.setCapStyle((style & kPsEndCapMask) == kPsEndCapSquare ? Qt::SquareCap
                    : (style & kPsEndCapMask) == kPsEndCapFlat ? Qt::FlatCap
                                                               : Qt::RoundCap);
    pen.setJoinStyle((style & kPsJoinMask) == kPsJoinBevel   ? Qt::BevelJoin
                     : (style & kPsJoinMask) == kPsJoinMiter ? Qt::MiterJoin
                                                             : Qt::RoundJoin);

    const bool thin = logicalWidth <= 1;
    const bool styled = kind == kPsDash || kind == kPsDot || kind == kPsDashDot ||
                        kind == kPsDashDotDot || kind == kPsAlternate;
    if (styled && (thin || origin == PenOrigin::Extended)) {
        pen.setDashPattern(dashPattern(kind, thin));
    } else if (kind == kPsUserStyle && origin == PenOrigin::Extended && !dashes.empty()) {
        QList<qreal> pattern;
        double sum = 0;
        const double unit = thin ? 1 : logicalWidth;
        for (std::size_t i = 0; i < dashes.size() && i < kMaxDashEntries; ++i) {
            pattern.append(static_cast<double>(dashes[i]) / unit);
            sum += dashes[i];
        }
        if (pattern.size() % 2 != 0) {
            const QList<qreal> once = pattern;
            pattern.append(once);
        }
        // Dashes finer than a pixel would only cost time: such a pen is solid.
        if (sum / unit >= 1) pen.setDashPattern(pattern);
    }
    result.pen = pen;
    result.insideFrame = kind == kPsInsideFrame;
    return result;
}

BrushObject makeBrush(std::uint32_t style, const QColor& colour, std::uint32_t hatch) {
    switch (style) {
        case kBsNull:
            return BrushObject{QBrush(Qt::NoBrush)};
        case kBsHatched:
            return BrushObject{QBrush(colour, hatchStyle(hatch))};
        case kBsSolid:
        default:
            return BrushObject{QBrush(colour)};
    }
}

BrushObject makePatternBrush(const QImage& pattern) {
    // A pattern the player cannot read shows as its average guess: grey.
    if (pattern.isNull()) return BrushObject{QBrush(QColor(128, 128, 128))};
    return BrushObject{QBrush(pattern)};
}

std::optional<GraphicObject> stockObject(std::uint32_t index) {
    const auto grey = [](int level) { return BrushObject{QBrush(QColor(level, level, level))}; };
    switch (index & 0x7FFFFFFF) {
        case 0:   // WHITE_BRUSH
        case 18:  // DC_BRUSH
            return grey(255);
        case 1:
            return grey(192);
        case 2:
            return grey(128);
        case 3:
            return grey(64);
        case 4:
            return grey(0);
        case 5:  // NULL_BRUSH
            return BrushObject{QBrush(Qt::NoBrush)};
        case 6:  // WHITE_PEN
            return PenObject{QPen(QColor(Qt::white), 0), false};
        case 7:   // BLACK_PEN
        case 19:  // DC_PEN
            return PenObject{};
        case 8:  // NULL_PEN
            return PenObject{QPen(Qt::NoPen), false};
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 16:
        case 17:
            return FontObject{};
        default:
            return std::nullopt;
    }
}

void selectInto(DcState& state, const GraphicObject& object) {
    std::visit(
        [&state](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, PenObject>) {
                state.pen = value;
            } else if constexpr (std::is_same_v<T, BrushObject>) {
                state.brush = value;
            } else if constexpr (std::is_same_v<T, FontObject>) {
                state.font = value;
            }
        },
        object);
}

}  // namespace quillmere::metafile
