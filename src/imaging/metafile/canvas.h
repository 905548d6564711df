#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/metafile/device_context.h"

namespace quillmere::metafile {

// One text output as both formats record it, in logical units.
struct TextRun {
    QPointF reference;
    QString text;
    std::vector<double> advances;   // per character; empty when the file gives none
    std::uint32_t options = 0;      // ETO_ flags
    std::optional<QRectF> rect;     // the clipping or opaquing rectangle
    bool advancedGraphics = false;  // GM_ADVANCED: text follows the world transform fully
};

// GDI's own range for device coordinates: a figure or text that maps
// beyond it is not drawn, so no input drives the painter to extremes.
inline constexpr double kCoordinateLimit = 134217728.0;

// GDI's ExtTextOut options that the player honours.
inline constexpr std::uint32_t kEtoOpaque = 0x0002;
inline constexpr std::uint32_t kEtoClipped = 0x0004;

// Which of the elliptic arc figures to draw.
enum class ArcFigure { Arc, ArcTo, Chord, Pie };

// GDI's clipping region combinations (RGN_AND ... RGN_COPY).
enum class ClipCombine { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// Draws GDI operations with QPainter on the picture: shapes in logical
// units through the device context's mapping, path brackets, clipping,
// text and bitmaps. Shapes whose mapped size goes beyond what GDI itself
// would draw are skipped, so no input can drive the painter to extreme
// coordinates.
class MetafileCanvas {
  public:
    MetafileCanvas(QImage& picture, DeviceContext& dc, bool canDrawText);

    DeviceContext& dc() { return dc_; }
    const DcState& state() const { return dc_.state(); }

    // Scratch buffers the players fill before the calls that use them; they
    // keep their memory from record to record.
    QPolygonF& points() { return points_; }
    std::vector<std::uint32_t>& counts() { return counts_; }
    TextRun& textRun() { return textRun_; }

    void moveTo(QPointF point);
    void lineTo(QPointF point);
    void polyline();    // points()
    void polylineTo();  // from the current position through points()
    void polygon();
    void polyBezier();    // a start point, then three points a curve
    void polyBezierTo();  // three points a curve from the current position
    void polyPolygon();   // points() split by counts()
    void polyPolyline();
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(ArcFigure figure, const QRectF& box, QPointF start, QPointF end);
    void angleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF point, const QColor& colour);

    void beginPath();
    void endPath();
    void closeFigure();
    void abortPath();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(ClipCombine mode);

    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    // A region of rectangles in the metafile's device units.
    void selectDeviceClip(ClipCombine mode, const std::vector<QRectF>& deviceRects);
    void removeClip();

    void saveState();
    void restoreState(int which);

    // Draws textRun().
    void text();

    // Copies `source` (a rectangle of the image, in its pixels) onto the
    // logical rectangle `target` with a ternary raster operation, at the
    // given opacity (AlphaBlend's constant alpha).
    void bitmap(const QImage& image, QRectF target, QRectF source, std::uint32_t rop,
                double opacity = 1);
    // A raster operation without a source bitmap: the brush or a constant.
    void patternBlt(const QRectF& target, std::uint32_t rop);

  private:
    // Computes the mapping for the next figure; false when it is not finite
    // or puts the figure's bounds beyond the coordinate limit.
    bool mapping(const QRectF& logicalBounds);
    // mapping(), then sets the painter up to stroke and/or fill.
    bool prepare(const QRectF& logicalBounds, bool stroke, bool fill);
    void drawClosed(const QPainterPath& logicalShape);
    void drawOpen(const QPainterPath& logicalShape);
    // A figure that goes on from the current position (LineTo, ArcTo ...).
    void continueFigure(const QPainterPath& logicalTail);
    void drawCollectedPath(bool stroke, bool fill);
    QRectF framed(const QRectF& box) const;
    QRegion regionOf(const QPolygonF& picturePolygon) const;
    QRegion regionOfPath(const QPainterPath& picturePath) const;
    void combineClip(const QRegion& region, ClipCombine mode);
    void applyClip();

    QImage& picture_;
    DeviceContext& dc_;
    bool canDrawText_;
    QPainter painter_;
    QTransform transform_;
    QRect pictureBounds_;

    QPolygonF points_;
    std::vector<std::uint32_t> counts_;
    TextRun textRun_;
    QPainterPath shape_;
    std::vector<QRect> rects_;

    // The path bracket, in picture pixels.
    bool inPathBracket_ = false;
    bool pathReady_ = false;
    bool figureOpen_ = false;
    QPointF figureEnd_;
    QPainterPath path_;
};

}  // namespace quillmere::metafile
