#include "imaging/metafile/canvas.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <optional>

#include "imaging/metafile/text.h"

namespace quillmere::metafile {

namespace {

constexpr std::uint32_t kTaUpdateCp = 0x0001;

bool isFinite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

bool withinLimits(const QRectF& r) {
    const double values[] = {r.left(), r.top(), r.right(), r.bottom()};
    return std::all_of(std::begin(values), std::end(values), [](double v) {
        return std::isfinite(v) && std::abs(v) <= kCoordinateLimit;
    });
}

// The parametric angle, in Qt's degrees, of the point where the ray from the
// centre of `box` towards `toward` meets the ellipse inscribed in the box.
double ellipseAngle(const QRectF& box, QPointF toward) {
    const QPointF c = box.center();
    const double dx = (toward.x() - c.x()) / (box.width() / 2);
    const double dy = (toward.y() - c.y()) / (box.height() / 2);
    return std::atan2(-dy, dx) * 180 / std::numbers::pi;
}

// Turns the raw difference of two angles into a sweep in the drawing
// direction, a full turn when both ends meet.
double sweepBetween(double from, double to, bool clockwise) {
    double sweep = std::fmod(to - from, 360.0);
    if (clockwise) {
        if (sweep >= 0) sweep -= 360;
    } else if (sweep <= 0) {
        sweep += 360;
    }
    return sweep;
}

std::optional<QPainter::CompositionMode> sourceCompositionFor(std::uint32_t rop) {
    switch ((rop >> 16) & 0xFF) {
        case 0xCC:  // SRCCOPY
            return QPainter::CompositionMode_SourceOver;
        case 0xEE:  // SRCPAINT
            return QPainter::RasterOp_SourceOrDestination;
        case 0x88:  // SRCAND
            return QPainter::RasterOp_SourceAndDestination;
        case 0x66:  // SRCINVERT
            return QPainter::RasterOp_SourceXorDestination;
        case 0x33:  // NOTSRCCOPY
            return QPainter::RasterOp_NotSource;
        case 0x44:  // SRCERASE
            return QPainter::RasterOp_SourceAndNotDestination;
        case 0x11:  // NOTSRCERASE
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case 0xBB:  // MERGEPAINT
            return QPainter::RasterOp_NotSourceOrDestination;
        case 0xAA:  // the destination as it is
            return std::nullopt;
        default:  // operations with the brush as well: drawn as a copy
            return QPainter::CompositionMode_SourceOver;
    }
}

}  // namespace

MetafileCanvas::MetafileCanvas(QImage& picture, DeviceContext& dc, bool canDrawText)
    : picture_(picture),
      dc_(dc),
      canDrawText_(canDrawText),
      painter_(&picture),
      pictureBounds_(picture.rect()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

bool MetafileCanvas::mapping(const QRectF& logicalBounds) {
    transform_ = dc_.logicalToPicture();
    return isFinite(transform_) && withinLimits(transform_.mapRect(logicalBounds));
}

bool MetafileCanvas::prepare(const QRectF& logicalBounds, bool stroke, bool fill) {
    const double grow = stroke ? state().pen.pen.widthF() / 2 : 0;
    if (!mapping(logicalBounds.adjusted(-grow, -grow, grow, grow))) return false;
    painter_.setTransform(transform_);
    painter_.setBackgroundMode(state().opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(state().backgroundColour);
    if (stroke) {
        painter_.setPen(state().pen.pen);
    } else {
        painter_.setPen(Qt::NoPen);
    }
    if (fill) {
        QBrush brush = state().brush.brush;
        // Pattern bitmaps line up with the picture's pixels, as on a screen.
        if (brush.style() == Qt::TexturePattern) brush.setTransform(transform_.inverted());
        painter_.setBrush(brush);
    } else {
        painter_.setBrush(Qt::NoBrush);
    }
    return true;
}

QRectF MetafileCanvas::framed(const QRectF& box) const {
    const QRectF normal = box.normalized();
    if (!state().pen.insideFrame) return normal;
    const double half = state().pen.pen.widthF() / 2;
    if (normal.width() <= 2 * half || normal.height() <= 2 * half) return normal;
    return normal.adjusted(half, half, -half, -half);
}

void MetafileCanvas::drawClosed(const QPainterPath& logicalShape) {
    const QRectF bounds = logicalShape.controlPointRect();
    if (inPathBracket_) {
        if (!mapping(bounds)) return;
        path_.addPath(transform_.map(logicalShape));
        figureOpen_ = false;
        return;
    }
    if (prepare(bounds, true, true)) painter_.drawPath(logicalShape);
}

void MetafileCanvas::drawOpen(const QPainterPath& logicalShape) {
    const QRectF bounds = logicalShape.controlPointRect();
    if (inPathBracket_) {
        if (!mapping(bounds)) return;
        const QPainterPath mapped = transform_.map(logicalShape);
        path_.addPath(mapped);
        figureOpen_ = true;
        figureEnd_ = mapped.currentPosition();
        return;
    }
    if (prepare(bounds, true, false)) painter_.drawPath(logicalShape);
}

void MetafileCanvas::continueFigure(const QPainterPath& logicalTail) {
    const QRectF bounds = logicalTail.controlPointRect();
    if (inPathBracket_) {
        if (!mapping(bounds)) return;
        const QPainterPath mapped = transform_.map(logicalTail);
        if (figureOpen_ && mapped.elementCount() > 0 &&
            QPointF(mapped.elementAt(0)) == figureEnd_) {
            path_.connectPath(mapped);
        } else {
            path_.addPath(mapped);
        }
        figureOpen_ = true;
        figureEnd_ = mapped.currentPosition();
        return;
    }
    if (prepare(bounds, true, false)) painter_.drawPath(logicalTail);
}

void MetafileCanvas::moveTo(QPointF point) {
    dc_.state().position = point;
    figureOpen_ = false;
}

void MetafileCanvas::lineTo(QPointF point) {
    shape_.clear();
    shape_.moveTo(state().position);
    shape_.lineTo(point);
    dc_.state().position = point;
    continueFigure(shape_);
}

void MetafileCanvas::polyline() {
    if (points_.size() < 2) return;
    shape_.clear();
    shape_.addPolygon(points_);
    drawOpen(shape_);
}

void MetafileCanvas::polylineTo() {
    if (points_.isEmpty()) return;
    shape_.clear();
    shape_.moveTo(state().position);
    for (const QPointF& p : points_) shape_.lineTo(p);
    dc_.state().position = points_.back();
    continueFigure(shape_);
}

void MetafileCanvas::polygon() {
    if (points_.size() < 2) return;
    shape_.clear();
    shape_.setFillRule(state().fillRule);
    shape_.addPolygon(points_);
    shape_.closeSubpath();
    drawClosed(shape_);
}

void MetafileCanvas::polyBezier() {
    if (points_.size() < 4) return;
    shape_.clear();
    shape_.moveTo(points_[0]);
    for (qsizetype i = 1; i + 2 < points_.size(); i += 3) {
        shape_.cubicTo(points_[i], points_[i + 1], points_[i + 2]);
    }
    drawOpen(shape_);
}

void MetafileCanvas::polyBezierTo() {
    if (points_.size() < 3) return;
    shape_.clear();
    shape_.moveTo(state().position);
    qsizetype i = 0;
    for (; i + 2 < points_.size(); i += 3) {
        shape_.cubicTo(points_[i], points_[i + 1], points_[i + 2]);
    }
    dc_.state().position = points_[i - 1];
    continueFigure(shape_);
}

void MetafileCanvas::polyPolygon() {
    shape_.clear();
    shape_.setFillRule(state().fillRule);
    qsizetype start = 0;
    for (const std::uint32_t count : counts_) {
        if (count > static_cast<std::size_t>(points_.size() - start)) break;
        if (count >= 2) {
            shape_.moveTo(points_[start]);
            for (qsizetype i = 1; i < static_cast<qsizetype>(count); ++i) {
                shape_.lineTo(points_[start + i]);
            }
            shape_.closeSubpath();
        }
        start += static_cast<qsizetype>(count);
    }
    if (!shape_.isEmpty()) drawClosed(shape_);
}

void MetafileCanvas::polyPolyline() {
    shape_.clear();
    qsizetype start = 0;
    for (const std::uint32_t count : counts_) {
        if (count > static_cast<std::size_t>(points_.size() - start)) break;
        if (count >= 2) {
            shape_.moveTo(points_[start]);
            for (qsizetype i = 1; i < static_cast<qsizetype>(count); ++i) {
                shape_.lineTo(points_[start + i]);
            }
        }
        start += static_cast<qsizetype>(count);
    }
    if (!shape_.isEmpty()) drawOpen(shape_);
}

void MetafileCanvas::rectangle(const QRectF& box) {
    shape_.clear();
    shape_.addRect(framed(box));
    drawClosed(shape_);
}

void MetafileCanvas::roundRect(const QRectF& box, QSizeF corner) {
    shape_.clear();
    shape_.addRoundedRect(framed(box), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    drawClosed(shape_);
}

void MetafileCanvas::ellipse(const QRectF& box) {
    shape_.clear();
    shape_.addEllipse(framed(box));
    drawClosed(shape_);
}

void MetafileCanvas::arc(ArcFigure figure, const QRectF& box, QPointF start, QPointF end) {
    const QRectF r =
        figure == ArcFigure::Chord || figure == ArcFigure::Pie ? framed(box) : box.normalized();
    if (r.width() <= 0 || r.height() <= 0) return;
    const double from = ellipseAngle(r, start);
    const double sweep =
        sweepBetween(from, ellipseAngle(r, end), state().clockwiseArcs != dc_.pageMirrors());
    shape_.clear();
    switch (figure) {
        case ArcFigure::Arc:
            shape_.arcMoveTo(r, from);
            shape_.arcTo(r, from, sweep);
            drawOpen(shape_);
            break;
        case ArcFigure::ArcTo:
            shape_.moveTo(state().position);
            shape_.arcTo(r, from, sweep);
            dc_.state().position = shape_.currentPosition();
            continueFigure(shape_);
            break;
        case ArcFigure::Chord:
            shape_.arcMoveTo(r, from);
            shape_.arcTo(r, from, sweep);
            shape_.closeSubpath();
            drawClosed(shape_);
            break;
        case ArcFigure::Pie:
            shape_.moveTo(r.center());
            shape_.arcTo(r, from, sweep);
            shape_.closeSubpath();
            drawClosed(shape_);
            break;
    }
}

void MetafileCanvas::angleArc(QPointF centre, double radius, double startDegrees,
                              double sweepDegrees) {
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees)) return;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    shape_.clear();
    shape_.moveTo(state().position);
    shape_.arcTo(box, std::fmod(startDegrees, 360.0), std::clamp(sweepDegrees, -360.0, 360.0));
    dc_.state().position = shape_.currentPosition();
    continueFigure(shape_);
}

void MetafileCanvas::setPixel(QPointF point, const QColor& colour) {
    if (inPathBracket_ || !mapping(QRectF(point, point))) return;
    const QPointF at = transform_.map(point);
    painter_.resetTransform();
    painter_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), colour);
}

void MetafileCanvas::beginPath() {
    path_.clear();
    inPathBracket_ = true;
    pathReady_ = false;
    figureOpen_ = false;
}

void MetafileCanvas::endPath() {
    if (!inPathBracket_) return;
    inPathBracket_ = false;
    pathReady_ = true;
}

void MetafileCanvas::closeFigure() {
    if (!inPathBracket_ || !figureOpen_) return;
    path_.closeSubpath();
    figureOpen_ = false;
}

void MetafileCanvas::abortPath() {
    path_.clear();
    inPathBracket_ = false;
    pathReady_ = false;
}

namespace {

// The path with every open figure closed, as stroke-and-fill draws it.
QPainterPath withFiguresClosed(const QPainterPath& path) {
    QPainterPath closed;
    closed.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                if (i > 0) closed.closeSubpath();
                closed.moveTo(e);
                break;
            case QPainterPath::LineToElement:
                closed.lineTo(e);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < path.elementCount()) {
                    closed.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
                }
                i += 2;
                break;
            default:
                break;
        }
    }
    closed.closeSubpath();
    return closed;
}

}  // namespace

void MetafileCanvas::drawCollectedPath(bool stroke, bool fill) {
    if (!pathReady_) return;
    pathReady_ = false;
    path_.setFillRule(state().fillRule);
    if (stroke && fill) path_ = withFiguresClosed(path_);
    // The path is kept in pixels; drawing it back through the current
    // mapping makes the pen as wide as the mapping says.
    const QTransform mapping = dc_.logicalToPicture();
    if (isFinite(mapping) && mapping.isInvertible()) {
        const QPainterPath logical = mapping.inverted().map(path_);
        if (prepare(logical.controlPointRect(), stroke, fill)) painter_.drawPath(logical);
    } else if (prepare(QRectF(), stroke, fill)) {
        painter_.resetTransform();
        painter_.drawPath(path_);
    }
    path_.clear();
}

void MetafileCanvas::fillPath() {
    drawCollectedPath(false, true);
}
void MetafileCanvas::strokePath() {
    drawCollectedPath(true, false);
}
void MetafileCanvas::strokeAndFillPath() {
    drawCollectedPath(true, true);
}

void MetafileCanvas::selectClipPath(ClipCombine mode) {
    if (!pathReady_) return;
    pathReady_ = false;
    path_.setFillRule(state().fillRule);
    combineClip(regionOfPath(path_), mode);
    path_.clear();
}

QRegion MetafileCanvas::regionOfPath(const QPainterPath& picturePath) const {
    // Painted into a mask and read back row by row: exact, and in time
    // proportional to the area, however tangled the path.
    const QRectF bounds = picturePath.controlPointRect();
    if (!withinLimits(bounds)) return {};
    const QRect area = bounds.toAlignedRect().intersected(pictureBounds_);
    if (area.isEmpty()) return {};
    QImage mask(area.size(), QImage::Format_Alpha8);
    if (mask.isNull()) throw std::bad_alloc();
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(Qt::black));
        painter.translate(-area.topLeft());
        painter.drawPath(picturePath);
    }
    QRegion region;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < mask.width();) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && row[x] != 0) ++x;
            region += QRect(area.left() + start, area.top() + y, x - start, 1);
        }
    }
    return region;
}

QRegion MetafileCanvas::regionOf(const QPolygonF& picturePolygon) const {
    const QRectF limits(pictureBounds_.adjusted(-1, -1, 1, 1));
    for (const QPointF& p : picturePolygon) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return {};
    }
    const QRectF bounds = picturePolygon.boundingRect();
    const bool isRect = picturePolygon.size() == 5 && bounds.width() * bounds.height() > 0 &&
                        std::all_of(picturePolygon.begin(), picturePolygon.end(), [&](QPointF p) {
                            return (p.x() == bounds.left() || p.x() == bounds.right()) &&
                                   (p.y() == bounds.top() || p.y() == bounds.bottom());
                        });
    if (isRect) {
        // Pixels whose centres lie inside, as GDI clips to a rectangle.
        const QRectF cut = bounds.intersected(limits);
        if (cut.isEmpty()) return {};
        const int left = static_cast<int>(std::lround(cut.left()));
        const int top = static_cast<int>(std::lround(cut.top()));
        const int right = static_cast<int>(std::lround(cut.right()));
        const int bottom = static_cast<int>(std::lround(cut.bottom()));
        if (right <= left || bottom <= top) return {};
        return QRegion(left, top, right - left, bottom - top);
    }
    return QRegion(picturePolygon.intersected(QPolygonF(limits)).toPolygon());
}

void MetafileCanvas::combineClip(const QRegion& region, ClipCombine mode) {
    QRegion clip = state().clip ? *state().clip : QRegion(pictureBounds_);
    switch (mode) {
        case ClipCombine::And:
            clip &= region;
            break;
        case ClipCombine::Or:
            clip |= region;
            break;
        case ClipCombine::Xor:
            clip ^= region;
            break;
        case ClipCombine::Diff:
            clip -= region;
            break;
        case ClipCombine::Copy:
            clip = region;
            break;
    }
    dc_.state().clip = clip;
    applyClip();
}

void MetafileCanvas::applyClip() {
    painter_.resetTransform();
    if (state().clip) {
        painter_.setClipRegion(*state().clip);
    } else {
        painter_.setClipping(false);
    }
}

void MetafileCanvas::intersectClipRect(const QRectF& box) {
    if (!mapping(box.normalized())) return;
    combineClip(regionOf(transform_.map(QPolygonF(box.normalized()))), ClipCombine::And);
}

void MetafileCanvas::excludeClipRect(const QRectF& box) {
    if (!mapping(box.normalized())) return;
    combineClip(regionOf(transform_.map(QPolygonF(box.normalized()))), ClipCombine::Diff);
}

void MetafileCanvas::selectDeviceClip(ClipCombine mode, const std::vector<QRectF>& deviceRects) {
    // Rectangles in bands from the top, as regions store them, join cheaply.
    rects_.clear();
    for (const QRectF& rect : deviceRects) {
        const QRegion piece = regionOf(dc_.deviceToPicture().map(QPolygonF(rect.normalized())));
        if (!piece.isEmpty()) rects_.push_back(piece.boundingRect());
    }
    std::sort(rects_.begin(), rects_.end(), [](const QRect& a, const QRect& b) {
        return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
    });
    QRegion region;
    for (const QRect& rect : rects_) region += rect;
    combineClip(region, mode);
}

void MetafileCanvas::removeClip() {
    dc_.state().clip.reset();
    applyClip();
}

void MetafileCanvas::saveState() {
    dc_.save();
}

void MetafileCanvas::restoreState(int which) {
    if (dc_.restore(which)) applyClip();
}

void MetafileCanvas::text() {
    const TextRun& run = textRun_;
    const bool fromCurrentPosition = state().textAlign & kTaUpdateCp;
    const QPointF origin = fromCurrentPosition ? state().position : run.reference;
    if (!mapping(QRectF(origin, origin))) return;
    if (run.rect && (run.options & kEtoOpaque) && prepare(*run.rect, false, false)) {
        painter_.fillRect(run.rect->normalized(), state().backgroundColour);
    }
    if (run.text.isEmpty() || !canDrawText_) return;

    const bool clipped = run.rect && (run.options & kEtoClipped) && mapping(*run.rect);
    painter_.save();
    if (clipped) {
        painter_.setTransform(transform_);
        painter_.setClipRect(run.rect->normalized(), Qt::IntersectClip);
    }
    const double largest =
        std::min(32768.0, 2.0 * std::max(picture_.width(), picture_.height()) + 16);
    const double advance =
        paintTextRun(painter_, state(), run, origin, dc_.logicalToPicture(), largest);
    painter_.restore();
    if (fromCurrentPosition) dc_.state().position.rx() += advance;
}

void MetafileCanvas::bitmap(const QImage& image, QRectF target, QRectF source, std::uint32_t rop,
                            double opacity) {
    if (image.isNull() || inPathBracket_) return;
    const std::optional<QPainter::CompositionMode> mode = sourceCompositionFor(rop);
    if (!mode) return;
    if (source.width() < 0) {
        source = QRectF(source.right(), source.top(), -source.width(), source.height());
        target = QRectF(target.right(), target.top(), -target.width(), target.height());
    }
    if (source.height() < 0) {
        source = QRectF(source.left(), source.bottom(), source.width(), -source.height());
        target = QRectF(target.left(), target.bottom(), target.width(), -target.height());
    }
    if (source.width() == 0 || source.height() == 0 || target.width() == 0 ||
        target.height() == 0 || !prepare(target.normalized(), false, false)) {
        return;
    }
    const QTransform placement(target.width() / source.width(), 0, 0,
                               target.height() / source.height(), target.x(), target.y());
    painter_.setTransform(placement * transform_);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, state().smoothStretch);
    painter_.setCompositionMode(*mode);
    painter_.setOpacity(opacity);
    painter_.drawImage(QRectF(0, 0, source.width(), source.height()), image, source);
    painter_.setOpacity(1);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void MetafileCanvas::patternBlt(const QRectF& target, std::uint32_t rop) {
    if (inPathBracket_ || !prepare(target.normalized(), false, true)) return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch ((rop >> 16) & 0xFF) {
        case 0xF0:  // PATCOPY
            break;
        case 0x5A:  // PATINVERT
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
        case 0x00:  // BLACKNESS
            painter_.setBrush(QColor(Qt::black));
            break;
        case 0xFF:  // WHITENESS
            painter_.setBrush(QColor(Qt::white));
            break;
        case 0x55:  // DSTINVERT
            painter_.setBrush(QColor(Qt::white));
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
        default:
            return;
    }
    painter_.setCompositionMode(mode);
    painter_.drawRect(target.normalized());
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace quillmere::metafile
