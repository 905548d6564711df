#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace quillmere::metafile {

// The GDI mapping modes, by their numbers in the files.
enum class MapMode {
    Text = 1,
    LoMetric = 2,
    HiMetric = 3,
    LoEnglish = 4,
    HiEnglish = 5,
    Twips = 6,
    Isotropic = 7,
    Anisotropic = 8,
};

// A pen as the player draws it: its width is in logical units, 0 meaning
// one pixel whatever the mapping.
struct PenObject {
    QPen pen{QColor(Qt::black), 0};
    bool insideFrame = false;  // closed figures keep the pen inside their box
};

struct BrushObject {
    QBrush brush{QColor(Qt::white)};
};

// A logical font as the file describes it; it becomes a Qt font only when
// text is drawn, at the size the mapping gives it then.
struct FontObject {
    int height = 0;      // negative: character height; positive: cell height; 0: default
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 0;      // 0 means normal
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

// Palettes, regions and the like: they take a slot but draw nothing.
struct InertObject {};

using GraphicObject = std::variant<std::monostate, PenObject, BrushObject, FontObject, InertObject>;

// The file's object table. Every index the file uses is checked: one
// beyond the table makes the file invalid.
class ObjectTable {
  public:
    explicit ObjectTable(std::size_t size) : slots_(size) {}

    std::size_t size() const { return slots_.size(); }
    void put(std::size_t index, GraphicObject object);
    // Puts the object in the lowest free slot, as WMF playback does; a full
    // table drops it.
    void putInFreeSlot(GraphicObject object);
    const GraphicObject& at(std::size_t index) const;
    void remove(std::size_t index);

  private:
    std::vector<GraphicObject> slots_;
};

// Everything a save keeps and a restore brings back.
struct DcState {
    PenObject pen;
    BrushObject brush;
    FontObject font;
    QColor textColour{Qt::black};
    QColor backgroundColour{Qt::white};
    bool opaqueBackground = true;
    std::uint32_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    bool clockwiseArcs = false;
    bool smoothStretch = false;
    MapMode mapMode = MapMode::Text;
    QPointF windowOrigin{0, 0};
    QSizeF windowExtent{1, 1};
    QPointF viewportOrigin{0, 0};
    QSizeF viewportExtent{1, 1};
    QTransform world;
    QPointF position{0, 0};       // the current position, in logical units
    std::optional<QRegion> clip;  // in picture pixels; none means the whole picture
};

// The playback device context: drawing state, the save stack and the
// mapping from logical units to the picture's pixels, which runs
// world transform, then page (window to viewport), then the fixed step
// from the metafile's device units to the picture.
class DeviceContext {
  public:
    // `deviceToPicture` places the metafile's device space on the picture;
    // `devicePixelsPerMillimetre` is its resolution, which the metric
    // mapping modes need.
    DeviceContext(const QTransform& deviceToPicture, QPointF devicePixelsPerMillimetre);

    DcState& state() { return state_; }
    const DcState& state() const { return state_; }

    void save();
    // A negative argument goes that many saves back; a positive one names a
    // save by its number from 1. Returns false (and changes nothing) when
    // there is no such save.
    bool restore(int which);

    // Extents of zero are refused, as GDI refuses them.
    void setWindowExtent(double cx, double cy);
    void setViewportExtent(double cx, double cy);
    void scaleWindowExtent(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExtent(double xNum, double xDenom, double yNum, double yDenom);
    void setMapMode(std::uint32_t mode);
    // Transforms that are not finite or not invertible are refused.
    void setWorldTransform(const QTransform& transform);
    // GDI's MWT_IDENTITY (1), MWT_LEFTMULTIPLY (2), MWT_RIGHTMULTIPLY (3), MWT_SET (4).
    void modifyWorldTransform(const QTransform& transform, std::uint32_t mode);

    QTransform pageTransform() const;
    QTransform logicalToPicture() const {
        return state_.world * pageTransform() * deviceToPicture_;
    }
    const QTransform& deviceToPicture() const { return deviceToPicture_; }
    // Whether the page mapping turns the y axis (or the x axis, not both).
    bool pageMirrors() const;

  private:
    QTransform deviceToPicture_;
    QPointF devicePixelsPerMillimetre_;
    DcState state_;
    std::vector<DcState> saved_;
};

}  // namespace quillmere::metafile
