#include "imaging/metafile/wmf_player.h"

#include <cstdint>
#include <cstdlib>

#include "imaging/metafile/dib.h"
#include "imaging/metafile/objects.h"
#include "imaging/metafile/text.h"

namespace quillmere::metafile {

namespace {

// WMF record functions.
enum : std::uint16_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kCreatePalette = 0x00F7,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetPolyFillMode = 0x0106,
    kSetStretchBltMode = 0x0107,
    kRestoreDc = 0x0127,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDibCreatePatternBrush = 0x0142,
    kDeleteObject = 0x01F0,
    kCreatePatternBrush = 0x01F9,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kOffsetWindowOrg = 0x020F,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kCreateRegion = 0x06FF,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
};

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kParams = 6;  // record size (4 bytes) and function (2 bytes)
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint16_t kDibPalColors = 1;
constexpr std::size_t kFaceNameBytes = 32;

// Walks the records from `offset`, checking that each fits the file, and
// calls `visit(function, record)` until it returns false or META_EOF comes.
template <typename Visit>
void walkRecords(RecordView file, std::size_t offset, Visit&& visit) {
    while (offset < file.size()) {
        if (file.size() - offset < kParams) failInvalid();
        const std::uint64_t bytes = std::uint64_t{file.u32(offset)} * 2;
        const std::uint16_t function = file.u16(offset + 4);
        if (bytes < kParams || bytes > file.size() - offset) failInvalid();
        if (function == kEof) return;
        if (!visit(function, file.sub(offset, static_cast<std::size_t>(bytes)))) return;
        offset += static_cast<std::size_t>(bytes);
    }
}

class WmfPlayer {
  public:
    WmfPlayer(MetafileCanvas& canvas, std::size_t objectCount)
        : canvas_(canvas), objects_(objectCount) {}

    void dispatch(std::uint16_t function, RecordView r);

  private:
    DcState& state() { return canvas_.dc().state(); }

    bool drawShape(std::uint16_t function, RecordView r);
    bool setState(std::uint16_t function, RecordView r);
    bool handleObject(std::uint16_t function, RecordView r);

    void readPoints(RecordView r);
    void readPolyPoints(RecordView r);
    void createFont(RecordView r);
    void textOut(RecordView r);
    void extTextOut(RecordView r);
    void dibBlt(std::uint16_t function, RecordView r);
    void setDibToDev(RecordView r);
    void drawDib(const Dib& dib, const QRectF& target, QRectF source, std::uint32_t rop);

    // Coordinate pairs are stored y first.
    static QPointF yx(RecordView r, std::size_t at) { return QPointF(r.i16(at + 2), r.i16(at)); }
    // Rectangles are stored bottom, right, top, left.
    static QRectF box(RecordView r, std::size_t at) {
        return QRectF(QPointF(r.i16(at + 6), r.i16(at + 4)), QPointF(r.i16(at + 2), r.i16(at)));
    }

    MetafileCanvas& canvas_;
    ObjectTable objects_;
};

void WmfPlayer::dispatch(std::uint16_t function, RecordView r) {
    if (drawShape(function, r) || setState(function, r) || handleObject(function, r)) return;
    switch (function) {
        case kTextOut:
            textOut(r);
            break;
        case kExtTextOut:
            extTextOut(r);
            break;
        case kDibBitBlt:
        case kDibStretchBlt:
        case kStretchDib:
            dibBlt(function, r);
            break;
        case kSetDibToDev:
            setDibToDev(r);
            break;
        case kPatBlt:
            canvas_.patternBlt(QRectF(QPointF(r.i16(16), r.i16(14)), QSizeF(r.i16(12), r.i16(10))),
                               r.u32(6));
            break;
        default:  // escapes, palettes, regions, unknown records
            break;
    }
}

void WmfPlayer::readPoints(RecordView r) {
    const std::int16_t count = r.i16(kParams);
    if (count < 0) failInvalid();
    r.requireArray(kParams + 2, static_cast<std::uint64_t>(count), 4);
    QPolygonF& points = canvas_.points();
    points.resize(count);
    for (qsizetype i = 0; i < count; ++i) {
        const std::size_t at = kParams + 2 + 4 * static_cast<std::size_t>(i);
        points[i] = QPointF(r.i16(at), r.i16(at + 2));
    }
}

void WmfPlayer::readPolyPoints(RecordView r) {
    const std::uint16_t polygons = r.u16(kParams);
    r.requireArray(kParams + 2, polygons, 2);
    std::vector<std::uint32_t>& counts = canvas_.counts();
    counts.resize(polygons);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < polygons; ++i) {
        counts[i] = r.u16(kParams + 2 + 2 * i);
        total += counts[i];
    }
    const std::size_t pointsAt = kParams + 2 + 2 * std::size_t{polygons};
    r.requireArray(pointsAt, total, 4);
    QPolygonF& points = canvas_.points();
    points.resize(static_cast<qsizetype>(total));
    for (std::size_t i = 0; i < total; ++i) {
        const std::size_t at = pointsAt + 4 * i;
        points[static_cast<qsizetype>(i)] = QPointF(r.i16(at), r.i16(at + 2));
    }
}

bool WmfPlayer::drawShape(std::uint16_t function, RecordView r) {
    switch (function) {
        case kMoveTo:
            canvas_.moveTo(yx(r, kParams));
            return true;
        case kLineTo:
            canvas_.lineTo(yx(r, kParams));
            return true;
        case kPolygon:
            readPoints(r);
            canvas_.polygon();
            return true;
        case kPolyline:
            readPoints(r);
            canvas_.polyline();
            return true;
        case kPolyPolygon:
            readPolyPoints(r);
            canvas_.polyPolygon();
            return true;
        case kRectangle:
            canvas_.rectangle(box(r, kParams));
            return true;
        case kEllipse:
            canvas_.ellipse(box(r, kParams));
            return true;
        case kRoundRect:
            canvas_.roundRect(box(r, kParams + 4), QSizeF(r.i16(kParams + 2), r.i16(kParams)));
            return true;
        case kArc:
        case kPie:
        case kChord: {
            const ArcFigure figure = function == kArc   ? ArcFigure::Arc
                                     : function == kPie ? ArcFigure::Pie
                                                        : ArcFigure::Chord;
            canvas_.arc(figure, box(r, kParams + 8), yx(r, kParams + 4), yx(r, kParams));
            return true;
        }
        case kSetPixel:
            canvas_.setPixel(yx(r, kParams + 4), colourFromRef(r.u32(kParams)));
            return true;
        case kIntersectClipRect:
            canvas_.intersectClipRect(box(r, kParams));
            return true;
        case kExcludeClipRect:
            canvas_.excludeClipRect(box(r, kParams));
            return true;
        default:
            return false;
    }
}

bool WmfPlayer::setState(std::uint16_t function, RecordView r) {
    DeviceContext& dc = canvas_.dc();
    switch (function) {
        case kSetWindowOrg:
            state().windowOrigin = yx(r, kParams);
            return true;
        case kSetWindowExt: {
            const QPointF extent = yx(r, kParams);
            dc.setWindowExtent(extent.x(), extent.y());
            return true;
        }
        case kOffsetWindowOrg:
            state().windowOrigin += yx(r, kParams);
            return true;
        case kScaleWindowExt:
            dc.scaleWindowExtent(r.i16(kParams + 6), r.i16(kParams + 4), r.i16(kParams + 2),
                                 r.i16(kParams));
            return true;
        case kSetMapMode:
            // The viewport is the picture: only the isotropic mode changes
            // how the window fills it.
            dc.setMapMode(r.u16(kParams) == 7 ? 7 : 8);
            return true;
        case kSetBkMode:
            state().opaqueBackground = r.u16(kParams) == 2;
            return true;
        case kSetBkColor:
            state().backgroundColour = colourFromRef(r.u32(kParams));
            return true;
        case kSetTextColor:
            state().textColour = colourFromRef(r.u32(kParams));
            return true;
        case kSetTextAlign:
            state().textAlign = r.u16(kParams);
            return true;
        case kSetPolyFillMode:
            state().fillRule = r.u16(kParams) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            return true;
        case kSetStretchBltMode:
            state().smoothStretch = r.u16(kParams) == 4;
            return true;
        case kSaveDc:
            canvas_.saveState();
            return true;
        case kRestoreDc:
            canvas_.restoreState(r.i16(kParams));
            return true;
        default:
            return false;
    }
}

bool WmfPlayer::handleObject(std::uint16_t function, RecordView r) {
    switch (function) {
        case kCreatePenIndirect:
            objects_.putInFreeSlot(makePen(r.u16(kParams), r.i16(kParams + 2),
                                           colourFromRef(r.u32(kParams + 6)), PenOrigin::Simple));
            return true;
        case kCreateBrushIndirect:
            objects_.putInFreeSlot(
                makeBrush(r.u16(kParams), colourFromRef(r.u32(kParams + 2)), r.u16(kParams + 6)));
            return true;
        case kCreateFontIndirect:
            createFont(r);
            return true;
        case kDibCreatePatternBrush: {
            const std::uint16_t style = r.u16(kParams);
            const std::uint16_t usage = r.u16(kParams + 2);
            // BS_PATTERN (3) carries a device-dependent bitmap, not drawn.
            const Dib dib =
                style == 3 ? Dib{}
                           : decodePackedDib(r.from(kParams + 4), usage == kDibPalColors
                                                                      ? DibColours::PaletteIndexes
                                                                      : DibColours::Rgb);
            objects_.putInFreeSlot(makePatternBrush(dib.image));
            return true;
        }
        case kCreatePatternBrush:  // a device-dependent bitmap, not read
            objects_.putInFreeSlot(makePatternBrush(QImage()));
            return true;
        case kCreatePalette:
        case kCreateRegion:
            objects_.putInFreeSlot(InertObject{});
            return true;
        case kSelectObject:
            selectInto(state(), objects_.at(r.u16(kParams)));
            return true;
        case kDeleteObject:
            objects_.remove(r.u16(kParams));
            return true;
        case kSelectClipRegion:
            objects_.at(r.u16(kParams));  // regions are not kept, but the index must exist
            return true;
        default:
            return false;
    }
}

void WmfPlayer::createFont(RecordView r) {
    FontObject font;
    font.height = r.i16(kParams);
    font.escapement = r.i16(kParams + 4);
    font.weight = r.i16(kParams + 8);
    font.italic = r.u8(kParams + 10) != 0;
    font.underline = r.u8(kParams + 11) != 0;
    font.strikeOut = r.u8(kParams + 12) != 0;
    const std::size_t faceAt = kParams + 18;
    std::size_t length = 0;
    while (length < kFaceNameBytes && r.holds(faceAt + length, 1) && r.u8(faceAt + length) != 0) {
        ++length;
    }
    font.face = textFromAnsi(r.sub(faceAt, length).bytes());
    objects_.putInFreeSlot(font);
}

void WmfPlayer::textOut(RecordView r) {
    TextRun& run = canvas_.textRun();
    const std::int16_t length = r.i16(kParams);
    if (length < 0) failInvalid();
    const std::size_t stringAt = kParams + 2;
    const std::size_t padded = (static_cast<std::size_t>(length) + 1) & ~std::size_t{1};
    run.text = textFromAnsi(r.sub(stringAt, static_cast<std::size_t>(length)).bytes());
    run.reference = yx(r, stringAt + padded);
    run.advances.clear();
    run.options = 0;
    run.rect.reset();
    run.advancedGraphics = false;
    canvas_.text();
}

void WmfPlayer::extTextOut(RecordView r) {
    TextRun& run = canvas_.textRun();
    run.reference = yx(r, kParams);
    const std::int16_t length = r.i16(kParams + 4);
    if (length < 0) failInvalid();
    run.options = r.u16(kParams + 6);
    run.advancedGraphics = false;
    std::size_t at = kParams + 8;
    run.rect.reset();
    if (run.options & (kEtoOpaque | kEtoClipped)) {
        // Stored left, top, right, bottom.
        run.rect = QRectF(QPointF(r.i16(at), r.i16(at + 2)), QPointF(r.i16(at + 4), r.i16(at + 6)));
        at += 8;
    }
    run.text = textFromAnsi(r.sub(at, static_cast<std::size_t>(length)).bytes());
    at += (static_cast<std::size_t>(length) + 1) & ~std::size_t{1};
    run.advances.clear();
    if (length > 0 && r.holdsArray(at, static_cast<std::uint64_t>(length), 2)) {
        run.advances.resize(static_cast<std::size_t>(length));
        for (std::size_t i = 0; i < run.advances.size(); ++i) run.advances[i] = r.i16(at + 2 * i);
    }
    canvas_.text();
}

void WmfPlayer::drawDib(const Dib& dib, const QRectF& target, QRectF source, std::uint32_t rop) {
    if (dib.image.isNull()) return;
    // Played like StretchDIBits: for a bottom-up bitmap the source
    // rectangle counts from the bottom row.
    if (dib.bottomUp) source.moveTop(dib.image.height() - source.y() - source.height());
    canvas_.bitmap(dib.image, target, source, rop);
}

void WmfPlayer::dibBlt(std::uint16_t function, RecordView r) {
    const std::uint32_t rop = r.u32(kParams);
    // Without a bitmap the record is shorter, by the bitmap and one word.
    const bool hasBitmap = r.size() != 2 * (std::size_t{function} >> 8) + kParams;
    switch (function) {
        case kDibBitBlt: {
            if (!hasBitmap) {
                canvas_.patternBlt(
                    QRectF(yx(r, kParams + 14), QSizeF(r.i16(kParams + 12), r.i16(kParams + 10))),
                    rop);
                return;
            }
            const QSizeF size(r.i16(kParams + 10), r.i16(kParams + 8));
            drawDib(decodePackedDib(r.from(kParams + 16), DibColours::Rgb),
                    QRectF(yx(r, kParams + 12), size), QRectF(yx(r, kParams + 4), size), rop);
            return;
        }
        case kDibStretchBlt: {
            if (!hasBitmap) {
                canvas_.patternBlt(
                    QRectF(yx(r, kParams + 18), QSizeF(r.i16(kParams + 16), r.i16(kParams + 14))),
                    rop);
                return;
            }
            const QRectF source(yx(r, kParams + 8), QSizeF(r.i16(kParams + 6), r.i16(kParams + 4)));
            const QRectF target(yx(r, kParams + 16),
                                QSizeF(r.i16(kParams + 14), r.i16(kParams + 12)));
            drawDib(decodePackedDib(r.from(kParams + 20), DibColours::Rgb), target, source, rop);
            return;
        }
        default: {  // META_STRETCHDIB
            const std::uint16_t usage = r.u16(kParams + 4);
            const QRectF source(yx(r, kParams + 10),
                                QSizeF(r.i16(kParams + 8), r.i16(kParams + 6)));
            const QRectF target(yx(r, kParams + 18),
                                QSizeF(r.i16(kParams + 16), r.i16(kParams + 14)));
            drawDib(decodePackedDib(r.from(kParams + 22), usage == kDibPalColors
                                                              ? DibColours::PaletteIndexes
                                                              : DibColours::Rgb),
                    target, source, rop);
            return;
        }
    }
}

void WmfPlayer::setDibToDev(RecordView r) {
    const std::uint16_t usage = r.u16(kParams);
    const std::uint16_t scans = r.u16(kParams + 2);
    const std::uint16_t firstScan = r.u16(kParams + 4);
    const QPointF sourceAt = yx(r, kParams + 6);
    const QSizeF size(r.i16(kParams + 12), r.i16(kParams + 10));
    const QPointF targetAt = yx(r, kParams + 14);
    const RecordView dib = r.from(kParams + 18);
    // Only whole bitmaps are drawn; banded output is rare in files.
    const std::int64_t rows = dib.u32(0) == 12 ? dib.u16(6) : std::llabs(dib.i32(8));
    if (firstScan != 0 || scans != rows) return;
    drawDib(
        decodePackedDib(dib, usage == kDibPalColors ? DibColours::PaletteIndexes : DibColours::Rgb),
        QRectF(targetAt, size), QRectF(sourceAt, size), kSrcCopy);
}

}  // namespace

WmfFrame readWmfFrame(RecordView file) {
    WmfFrame frame;
    const bool placeable = file.holds(0, 4) && file.u32(0) == kPlaceableKey;
    const std::size_t headerAt = placeable ? kPlaceableHeaderSize : 0;
    if (!file.holds(headerAt, kHeaderSize)) failInvalid();
    const std::uint16_t type = file.u16(headerAt);
    const std::uint16_t headerWords = file.u16(headerAt + 2);
    const std::uint16_t version = file.u16(headerAt + 4);
    if ((type != 1 && type != 2) || headerWords != kHeaderSize / 2 ||
        (version != 0x0100 && version != 0x0300)) {
        failInvalid();
    }
    frame.objectCount = file.u16(headerAt + 10);
    frame.firstRecord = headerAt + kHeaderSize;

    std::int64_t width = 0;
    std::int64_t height = 0;
    if (placeable) {
        const std::int64_t left = file.i16(6);
        const std::int64_t top = file.i16(8);
        const std::int64_t right = file.i16(10);
        const std::int64_t bottom = file.i16(12);
        const std::int64_t unitsPerInch = file.u16(14);
        if (unitsPerInch == 0) failInvalid();
        const auto pixels = [unitsPerInch](std::int64_t extent) {
            return (std::llabs(extent) * 96 + unitsPerInch / 2) / unitsPerInch;
        };
        width = pixels(right - left);
        height = pixels(bottom - top);
        frame.windowOrigin = QPointF(left, top);
        if (right != left && bottom != top) frame.windowExtent = QSizeF(right - left, bottom - top);
    } else {
        bool found = false;
        walkRecords(file, frame.firstRecord, [&](std::uint16_t function, RecordView r) {
            if (function != kSetWindowExt) return true;
            height = r.i16(kParams);
            width = r.i16(kParams + 2);
            found = true;
            return false;
        });
        if (!found) failInvalid();
        if (width != 0 && height != 0) frame.windowExtent = QSizeF(width, height);
        width = std::llabs(width);
        height = std::llabs(height);
    }
    if (!fitsMetafileLimits(width, height)) failInvalid();
    frame.width = static_cast<int>(width);
    frame.height = static_cast<int>(height);
    return frame;
}

void playWmf(RecordView file, const WmfFrame& frame, MetafileCanvas& canvas) {
    DcState& state = canvas.dc().state();
    state.mapMode = MapMode::Anisotropic;
    state.windowOrigin = frame.windowOrigin;
    state.windowExtent = frame.windowExtent;
    state.viewportOrigin = QPointF(0, 0);
    state.viewportExtent = QSizeF(frame.width, frame.height);
    WmfPlayer player(canvas, frame.objectCount);
    walkRecords(file, frame.firstRecord, [&player](std::uint16_t function, RecordView r) {
        player.dispatch(function, r);
        return true;
    });
}

}  // namespace quillmere::metafile
