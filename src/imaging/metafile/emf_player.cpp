#include "imaging/metafile/emf_player.h"

#include <QString>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "imaging/metafile/dib.h"
#include "imaging/metafile/objects.h"
#include "imaging/metafile/text.h"

namespace quillmere::metafile {

namespace {

// EMF record types.
enum : std::uint32_t {
    kHeader = 1,
    kPolyBezier = 2,
    kPolygon = 3,
    kPolyline = 4,
    kPolyBezierTo = 5,
    kPolylineTo = 6,
    kPolyPolyline = 7,
    kPolyPolygon = 8,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kEof = 14,
    kSetPixelV = 15,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetPolyFillMode = 19,
    kSetStretchBltMode = 21,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kMoveToEx = 27,
    kExcludeClipRect = 29,
    kIntersectClipRect = 30,
    kScaleViewportExtEx = 31,
    kScaleWindowExtEx = 32,
    kSaveDc = 33,
    kRestoreDc = 34,
    kSetWorldTransform = 35,
    kModifyWorldTransform = 36,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kAngleArc = 41,
    kEllipse = 42,
    kRectangle = 43,
    kRoundRect = 44,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kCreatePalette = 49,
    kLineTo = 54,
    kArcTo = 55,
    kSetArcDirection = 57,
    kBeginPath = 59,
    kEndPath = 60,
    kCloseFigure = 61,
    kFillPath = 62,
    kStrokeAndFillPath = 63,
    kStrokePath = 64,
    kSelectClipPath = 67,
    kAbortPath = 68,
    kExtSelectClipRgn = 75,
    kBitBlt = 76,
    kStretchBlt = 77,
    kSetDiBitsToDevice = 80,
    kStretchDiBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolyBezier16 = 85,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kPolyBezierTo16 = 88,
    kPolylineTo16 = 89,
    kPolyPolyline16 = 90,
    kPolyPolygon16 = 91,
    kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94,
    kExtCreatePen = 95,
    kAlphaBlend = 114,
};

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kMinHeaderSize = 88;
constexpr std::uint32_t kEtoNoRect = 0x0100;
constexpr std::uint32_t kEtoPdy = 0x2000;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kDibPalColors = 1;
constexpr std::size_t kFaceNameChars = 32;

class EmfPlayer {
  public:
    EmfPlayer(MetafileCanvas& canvas, std::size_t handleCount)
        : canvas_(canvas), objects_(handleCount) {}

    void play(RecordView file, std::size_t length);

  private:
    DcState& state() { return canvas_.dc().state(); }

    void dispatch(std::uint32_t type, RecordView r);
    bool drawShape(std::uint32_t type, RecordView r);
    bool setState(std::uint32_t type, RecordView r);
    bool handleObject(std::uint32_t type, RecordView r);
    bool drawPathOrClip(std::uint32_t type, RecordView r);

    void readPoints(RecordView r, bool shortPoints);
    void readPolyPoints(RecordView r, bool shortPoints);
    void createPen(RecordView r);
    void extCreatePen(RecordView r);
    void createBrush(RecordView r);
    void createPatternBrush(RecordView r);
    void createFont(RecordView r);
    void selectObject(std::uint32_t index);
    void deleteObject(std::uint32_t index);
    void extSelectClipRgn(RecordView r);
    void extTextOut(RecordView r, bool wide);
    void stretchDiBits(RecordView r);
    void setDiBitsToDevice(RecordView r);
    void bitBlt(RecordView r, std::uint32_t type);

    static QPointF pointAt(RecordView r, std::size_t at) {
        return QPointF(r.i32(at), r.i32(at + 4));
    }
    static QRectF boxAt(RecordView r, std::size_t at) {
        return QRectF(pointAt(r, at), pointAt(r, at + 8));
    }
    static QTransform xformAt(RecordView r, std::size_t at) {
        return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16),
                          r.f32(at + 20));
    }

    MetafileCanvas& canvas_;
    ObjectTable objects_;
    std::vector<QRectF> rects_;
    std::vector<std::uint32_t> dashes_;
};

void EmfPlayer::play(RecordView file, std::size_t length) {
    std::size_t offset = file.u32(4);  // the header record has been read
    while (offset < length) {
        if (length - offset < 8) failInvalid();
        const std::uint32_t type = file.u32(offset);
        const std::uint32_t size = file.u32(offset + 4);
        if (size < 8 || size > length - offset) failInvalid();
        if (type == kEof) return;
        dispatch(type, file.sub(offset, size));
        offset += size;
    }
}

void EmfPlayer::dispatch(std::uint32_t type, RecordView r) {
    if (drawShape(type, r) || setState(type, r) || handleObject(type, r) ||
        drawPathOrClip(type, r)) {
        return;
    }
    switch (type) {
        case kExtTextOutA:
            extTextOut(r, false);
            break;
        case kExtTextOutW:
            extTextOut(r, true);
            break;
        case kStretchDiBits:
            stretchDiBits(r);
            break;
        case kSetDiBitsToDevice:
            setDiBitsToDevice(r);
            break;
        case kBitBlt:
        case kStretchBlt:
        case kAlphaBlend:
            bitBlt(r, type);
            break;
        default:  // comments (EMF+ among them), palettes, unknown records
            break;
    }
}

void EmfPlayer::readPoints(RecordView r, bool shortPoints) {
    const std::uint32_t count = r.u32(24);
    const std::size_t size = shortPoints ? 4 : 8;
    r.requireArray(28, count, size);
    QPolygonF& points = canvas_.points();
    points.resize(static_cast<qsizetype>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 28 + i * size;
        points[i] = shortPoints ? QPointF(r.i16(at), r.i16(at + 2)) : pointAt(r, at);
    }
}

void EmfPlayer::readPolyPoints(RecordView r, bool shortPoints) {
    const std::uint32_t polygons = r.u32(24);
    const std::uint32_t total = r.u32(28);
    r.requireArray(32, polygons, 4);
    std::vector<std::uint32_t>& counts = canvas_.counts();
    counts.resize(polygons);
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < polygons; ++i) {
        counts[i] = r.u32(32 + 4 * std::size_t{i});
        sum += counts[i];
    }
    if (sum > total) failInvalid();
    const std::size_t pointsAt = 32 + 4 * std::size_t{polygons};
    const std::size_t size = shortPoints ? 4 : 8;
    r.requireArray(pointsAt, total, size);
    QPolygonF& points = canvas_.points();
    points.resize(static_cast<qsizetype>(total));
    for (std::uint32_t i = 0; i < total; ++i) {
        const std::size_t at = pointsAt + i * size;
        points[i] = shortPoints ? QPointF(r.i16(at), r.i16(at + 2)) : pointAt(r, at);
    }
}

bool EmfPlayer::drawShape(std::uint32_t type, RecordView r) {
    switch (type) {
        case kPolyBezier:
        case kPolyBezier16:
            readPoints(r, type == kPolyBezier16);
            canvas_.polyBezier();
            return true;
        case kPolygon:
        case kPolygon16:
            readPoints(r, type == kPolygon16);
            canvas_.polygon();
            return true;
        case kPolyline:
        case kPolyline16:
            readPoints(r, type == kPolyline16);
            canvas_.polyline();
            return true;
        case kPolyBezierTo:
        case kPolyBezierTo16:
            readPoints(r, type == kPolyBezierTo16);
            canvas_.polyBezierTo();
            return true;
        case kPolylineTo:
        case kPolylineTo16:
            readPoints(r, type == kPolylineTo16);
            canvas_.polylineTo();
            return true;
        case kPolyPolyline:
        case kPolyPolyline16:
            readPolyPoints(r, type == kPolyPolyline16);
            canvas_.polyPolyline();
            return true;
        case kPolyPolygon:
        case kPolyPolygon16:
            readPolyPoints(r, type == kPolyPolygon16);
            canvas_.polyPolygon();
            return true;
        case kMoveToEx:
            canvas_.moveTo(pointAt(r, 8));
            return true;
        case kLineTo:
            canvas_.lineTo(pointAt(r, 8));
            return true;
        case kRectangle:
            canvas_.rectangle(boxAt(r, 8));
            return true;
        case kEllipse:
            canvas_.ellipse(boxAt(r, 8));
            return true;
        case kRoundRect:
            canvas_.roundRect(boxAt(r, 8), QSizeF(r.i32(24), r.i32(28)));
            return true;
        case kArc:
        case kArcTo:
        case kChord:
        case kPie: {
            const ArcFigure figure = type == kArc     ? ArcFigure::Arc
                                     : type == kArcTo ? ArcFigure::ArcTo
                                     : type == kChord ? ArcFigure::Chord
                                                      : ArcFigure::Pie;
            canvas_.arc(figure, boxAt(r, 8), pointAt(r, 24), pointAt(r, 32));
            return true;
        }
        case kAngleArc:
            canvas_.angleArc(pointAt(r, 8), r.u32(16), r.f32(20), r.f32(24));
            return true;
        case kSetPixelV:
            canvas_.setPixel(pointAt(r, 8), colourFromRef(r.u32(16)));
            return true;
        default:
            return false;
    }
}

bool EmfPlayer::setState(std::uint32_t type, RecordView r) {
    DeviceContext& dc = canvas_.dc();
    switch (type) {
        case kSetWindowExtEx:
            dc.setWindowExtent(r.i32(8), r.i32(12));
            return true;
        case kSetWindowOrgEx:
            state().windowOrigin = pointAt(r, 8);
            return true;
        case kSetViewportExtEx:
            dc.setViewportExtent(r.i32(8), r.i32(12));
            return true;
        case kSetViewportOrgEx:
            state().viewportOrigin = pointAt(r, 8);
            return true;
        case kScaleWindowExtEx:
            dc.scaleWindowExtent(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
            return true;
        case kScaleViewportExtEx:
            dc.scaleViewportExtent(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
            return true;
        case kSetMapMode:
            dc.setMapMode(r.u32(8));
            return true;
        case kSetWorldTransform:
            dc.setWorldTransform(xformAt(r, 8));
            return true;
        case kModifyWorldTransform:
            dc.modifyWorldTransform(xformAt(r, 8), r.u32(32));
            return true;
        case kSetBkMode:
            state().opaqueBackground = r.u32(8) == 2;
            return true;
        case kSetBkColor:
            state().backgroundColour = colourFromRef(r.u32(8));
            return true;
        case kSetTextColor:
            state().textColour = colourFromRef(r.u32(8));
            return true;
        case kSetTextAlign:
            state().textAlign = r.u32(8);
            return true;
        case kSetPolyFillMode:
            state().fillRule = r.u32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            return true;
        case kSetArcDirection:
            state().clockwiseArcs = r.u32(8) == 2;
            return true;
        case kSetStretchBltMode:
            state().smoothStretch = r.u32(8) == 4;  // HALFTONE
            return true;
        case kSaveDc:
            canvas_.saveState();
            return true;
        case kRestoreDc:
            canvas_.restoreState(r.i32(8));
            return true;
        default:
            return false;
    }
}

bool EmfPlayer::handleObject(std::uint32_t type, RecordView r) {
    switch (type) {
        case kCreatePen:
            createPen(r);
            return true;
        case kExtCreatePen:
            extCreatePen(r);
            return true;
        case kCreateBrushIndirect:
            createBrush(r);
            return true;
        case kCreateMonoBrush:
        case kCreateDibPatternBrushPt:
            createPatternBrush(r);
            return true;
        case kExtCreateFontIndirectW:
            createFont(r);
            return true;
        case kCreatePalette:
            objects_.put(r.u32(8), InertObject{});
            return true;
        case kSelectObject:
            selectObject(r.u32(8));
            return true;
        case kDeleteObject:
            deleteObject(r.u32(8));
            return true;
        default:
            return false;
    }
}

bool EmfPlayer::drawPathOrClip(std::uint32_t type, RecordView r) {
    switch (type) {
        case kBeginPath:
            canvas_.beginPath();
            return true;
        case kEndPath:
            canvas_.endPath();
            return true;
        case kCloseFigure:
            canvas_.closeFigure();
            return true;
        case kFillPath:
            canvas_.fillPath();
            return true;
        case kStrokePath:
            canvas_.strokePath();
            return true;
        case kStrokeAndFillPath:
            canvas_.strokeAndFillPath();
            return true;
        case kAbortPath:
            canvas_.abortPath();
            return true;
        case kSelectClipPath: {
            const std::uint32_t mode = r.u32(8);
            if (mode >= 1 && mode <= 5) canvas_.selectClipPath(static_cast<ClipCombine>(mode));
            return true;
        }
        case kIntersectClipRect:
            canvas_.intersectClipRect(boxAt(r, 8));
            return true;
        case kExcludeClipRect:
            canvas_.excludeClipRect(boxAt(r, 8));
            return true;
        case kExtSelectClipRgn:
            extSelectClipRgn(r);
            return true;
        default:
            return false;
    }
}

void EmfPlayer::createPen(RecordView r) {
    const std::uint32_t index = r.u32(8);
    objects_.put(index, makePen(r.u32(12), r.i32(16), colourFromRef(r.u32(24)), PenOrigin::Simple));
}

void EmfPlayer::extCreatePen(RecordView r) {
    const std::uint32_t index = r.u32(8);
    const std::uint32_t style = r.u32(28);
    const std::uint32_t width = r.u32(32);
    const std::uint32_t brushStyle = r.u32(36);
    const QColor colour = colourFromRef(r.u32(40));
    const std::uint32_t entries = r.u32(48);
    r.requireArray(52, entries, 4);
    dashes_.resize(entries);
    for (std::uint32_t i = 0; i < entries; ++i) dashes_[i] = r.u32(52 + 4 * std::size_t{i});
    PenObject pen = makePen(style, width, colour, PenOrigin::Extended, dashes_);
    if (brushStyle == 1) pen.pen = QPen(Qt::NoPen);  // a pen drawn with the null brush
    objects_.put(index, pen);
}

void EmfPlayer::createBrush(RecordView r) {
    objects_.put(r.u32(8), makeBrush(r.u32(12), colourFromRef(r.u32(16)), r.u32(20)));
}

void EmfPlayer::createPatternBrush(RecordView r) {
    const std::uint32_t index = r.u32(8);
    const std::uint32_t usage = r.u32(12);
    const RecordView info = r.sub(r.u32(16), r.u32(20));
    const RecordView bits = r.sub(r.u32(24), r.u32(28));
    const Dib dib = decodeDib(
        info, bits, usage == kDibPalColors ? DibColours::PaletteIndexes : DibColours::Rgb);
    objects_.put(index, makePatternBrush(dib.image));
}

void EmfPlayer::createFont(RecordView r) {
    const std::uint32_t index = r.u32(8);
    FontObject font;
    font.height = r.i32(12);
    font.escapement = r.i32(20);
    font.weight = r.i32(28);
    font.italic = r.u8(32) != 0;
    font.underline = r.u8(33) != 0;
    font.strikeOut = r.u8(34) != 0;
    r.require(40, 2 * kFaceNameChars);
    for (std::size_t i = 0; i < kFaceNameChars; ++i) {
        const char16_t c = r.u16(40 + 2 * i);
        if (c == 0) break;
        font.face.append(QChar(c));
    }
    objects_.put(index, font);
}

void EmfPlayer::selectObject(std::uint32_t index) {
    if (index & 0x80000000u) {
        if (const auto stock = stockObject(index)) selectInto(state(), *stock);
        return;
    }
    selectInto(state(), objects_.at(index));
}

void EmfPlayer::deleteObject(std::uint32_t index) {
    if (index & 0x80000000u) return;
    objects_.remove(index);
}

void EmfPlayer::extSelectClipRgn(RecordView r) {
    const std::uint32_t dataSize = r.u32(8);
    const std::uint32_t mode = r.u32(12);
    if (mode < 1 || mode > 5) return;
    if (dataSize == 0) {
        // No region: only RGN_COPY means something, "no clipping".
        if (mode == 5) canvas_.removeClip();
        return;
    }
    const RecordView data = r.sub(16, dataSize);
    const std::uint32_t count = data.u32(8);
    data.requireArray(32, count, 16);
    rects_.clear();
    rects_.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        rects_.push_back(boxAt(data, 32 + 16 * std::size_t{i}));
    }
    canvas_.selectDeviceClip(static_cast<ClipCombine>(mode), rects_);
}

void EmfPlayer::extTextOut(RecordView r, bool wide) {
    TextRun& run = canvas_.textRun();
    run.advancedGraphics = r.u32(24) == 2;
    run.reference = pointAt(r, 36);
    const std::uint32_t chars = r.u32(44);
    const std::uint32_t stringAt = r.u32(48);
    run.options = r.u32(52);
    // The rectangle is left out when ETO_NO_RECT is set, yet some writers
    // keep it: the string's place tells.
    const bool hasRect = !(run.options & kEtoNoRect) || stringAt >= 76;
    run.rect.reset();
    if (hasRect) run.rect = boxAt(r, 56);
    const std::uint32_t advancesAt = r.u32(hasRect ? 72 : 56);

    if (wide) {
        r.requireArray(stringAt, chars, 2);
        run.text.resize(static_cast<qsizetype>(chars));
        for (std::uint32_t i = 0; i < chars; ++i)
            run.text[i] = QChar(r.u16(stringAt + 2 * std::size_t{i}));
    } else {
        run.text = textFromAnsi(r.sub(stringAt, chars).bytes());
    }

    run.advances.clear();
    if (advancesAt != 0 && chars != 0) {
        const std::size_t step = (run.options & kEtoPdy) ? 8 : 4;
        r.requireArray(advancesAt, chars, step);
        run.advances.resize(chars);
        for (std::uint32_t i = 0; i < chars; ++i) run.advances[i] = r.i32(advancesAt + step * i);
    }
    canvas_.text();
}

void EmfPlayer::stretchDiBits(RecordView r) {
    const QPointF at = pointAt(r, 24);
    const QRectF source(r.i32(32), r.i32(36), r.i32(40), r.i32(44));
    const std::uint32_t bmiSize = r.u32(52);
    if (bmiSize == 0) return;
    const Dib dib =
        decodeDib(r.sub(r.u32(48), bmiSize), r.sub(r.u32(56), r.u32(60)),
                  r.u32(64) == kDibPalColors ? DibColours::PaletteIndexes : DibColours::Rgb);
    if (dib.image.isNull()) return;
    const std::uint32_t rop = r.u32(68);
    const QRectF target(at.x(), at.y(), r.i32(72), r.i32(76));
    // For a bottom-up bitmap the source rectangle counts from the bottom row.
    QRectF rows = source;
    if (dib.bottomUp) rows.moveTop(dib.image.height() - source.y() - source.height());
    canvas_.bitmap(dib.image, target, rows, rop);
}

void EmfPlayer::setDiBitsToDevice(RecordView r) {
    const QPointF at = pointAt(r, 24);
    const QRectF source(r.i32(32), r.i32(36), r.i32(40), r.i32(44));
    const std::uint32_t bmiSize = r.u32(52);
    if (bmiSize == 0) return;
    const RecordView info = r.sub(r.u32(48), bmiSize);
    const RecordView bits = r.sub(r.u32(56), r.u32(60));
    const std::uint32_t firstScan = r.u32(68);
    const std::uint32_t scans = r.u32(72);
    // Only whole bitmaps are drawn; banded output (a few scan lines a
    // record) is rare in files and skipped.
    const std::int64_t rows = info.u32(0) == 12 ? info.u16(6) : std::llabs(info.i32(8));
    if (firstScan != 0 || scans != rows) return;
    const Dib dib = decodeDib(
        info, bits, r.u32(64) == kDibPalColors ? DibColours::PaletteIndexes : DibColours::Rgb);
    if (dib.image.isNull()) return;
    QRectF sourceRows = source;
    if (dib.bottomUp) sourceRows.moveTop(dib.image.height() - source.y() - source.height());
    canvas_.bitmap(dib.image, QRectF(at, source.size()), sourceRows, kSrcCopy);
}

void EmfPlayer::bitBlt(RecordView r, std::uint32_t type) {
    const QRectF target(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
    const std::uint32_t rop = r.u32(40);
    const QTransform sourceTransform = xformAt(r, 52);
    const std::uint32_t usage = r.u32(80);
    const std::uint32_t bmiSize = r.u32(88);
    if (bmiSize == 0) {
        if (type != kAlphaBlend) canvas_.patternBlt(target, rop);
        return;
    }
    QSizeF sourceSize = target.size();
    if (type != kBitBlt) sourceSize = QSizeF(r.i32(100), r.i32(104));
    QRectF source(QPointF(r.i32(44), r.i32(48)), sourceSize);
    // The source context's transform; only a plain scale and offset (by far
    // the usual case, mostly the identity) is applied.
    const bool plainScale =
        std::isfinite(sourceTransform.m11()) && std::isfinite(sourceTransform.m22()) &&
        std::isfinite(sourceTransform.dx()) && std::isfinite(sourceTransform.dy()) &&
        sourceTransform.m12() == 0 && sourceTransform.m21() == 0 && sourceTransform.m11() != 0 &&
        sourceTransform.m22() != 0;
    if (plainScale) source = sourceTransform.mapRect(source);
    const Dib dib =
        decodeDib(r.sub(r.u32(84), bmiSize), r.sub(r.u32(92), r.u32(96)),
                  usage == kDibPalColors ? DibColours::PaletteIndexes : DibColours::Rgb,
                  type == kAlphaBlend && (r.u8(43) & 1) ? DibAlpha::Keep : DibAlpha::Ignore);
    if (dib.image.isNull()) return;
    if (type == kAlphaBlend) {
        canvas_.bitmap(dib.image, target, source, kSrcCopy, r.u8(42) / 255.0);
    } else {
        canvas_.bitmap(dib.image, target, source, rop);
    }
}

}  // namespace

bool looksLikeEmf(std::span<const std::uint8_t> bytes) {
    const RecordView view(bytes);
    return view.holds(0, 44) && view.u32(0) == kHeader && view.u32(40) == kSignature;
}

EmfFrame readEmfFrame(RecordView file) {
    if (!looksLikeEmf(file.bytes())) failInvalid();
    const std::uint32_t headerSize = file.u32(4);
    if (headerSize < kMinHeaderSize || headerSize > file.size()) failInvalid();
    const std::uint32_t length = file.u32(48);
    if (length < headerSize || length > file.size()) failInvalid();

    const std::int64_t left = file.i32(24);
    const std::int64_t top = file.i32(28);
    const std::int64_t right = file.i32(32);
    const std::int64_t bottom = file.i32(36);
    // rclFrame is in hundredths of a millimetre: 2540 to the inch.
    const auto pixels = [](std::int64_t extent) { return (std::llabs(extent) * 96 + 1270) / 2540; };
    const std::int64_t width = pixels(right - left);
    const std::int64_t height = pixels(bottom - top);
    if (!fitsMetafileLimits(width, height)) failInvalid();

    EmfFrame frame;
    frame.width = static_cast<int>(width);
    frame.height = static_cast<int>(height);
    frame.handleCount = file.u16(56);
    frame.length = length;

    // The reference device's resolution; 96 dots per inch when the header
    // gives none.
    const double deviceX = file.i32(72);
    const double deviceY = file.i32(76);
    const double millimetresX = file.i32(80);
    const double millimetresY = file.i32(84);
    const double defaultResolution = 96 / 25.4;
    frame.devicePixelsPerMillimetre =
        QPointF(deviceX > 0 && millimetresX > 0 ? deviceX / millimetresX : defaultResolution,
                deviceY > 0 && millimetresY > 0 ? deviceY / millimetresY : defaultResolution);

    // The frame in device units is laid onto the whole picture.
    const double frameLeft = left * frame.devicePixelsPerMillimetre.x() / 100;
    const double frameTop = top * frame.devicePixelsPerMillimetre.y() / 100;
    const double frameWidth = (right - left) * frame.devicePixelsPerMillimetre.x() / 100;
    const double frameHeight = (bottom - top) * frame.devicePixelsPerMillimetre.y() / 100;
    const double scaleX = frameWidth != 0 ? frame.width / frameWidth : 1;
    const double scaleY = frameHeight != 0 ? frame.height / frameHeight : 1;
    frame.deviceToPicture =
        QTransform::fromTranslate(-frameLeft, -frameTop) * QTransform::fromScale(scaleX, scaleY);
    return frame;
}

void playEmf(RecordView file, const EmfFrame& frame, MetafileCanvas& canvas) {
    EmfPlayer(canvas, frame.handleCount).play(file, frame.length);
}

}  // namespace quillmere::metafile
