#include "imaging/metafile/device_context.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "imaging/metafile/reader.h"

namespace quillmere::metafile {

namespace {

// Deeper nesting than this is ignored rather than allowed to eat memory.
constexpr std::size_t kMaxSavedStates = 4096;

bool isUsable(const QTransform& t) {
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (const double v : values) {
        if (!std::isfinite(v)) return false;
    }
    const double determinant = t.m11() * t.m22() - t.m12() * t.m21();
    return std::isfinite(determinant) && determinant != 0;
}

// Millimetres in one logical unit of a metric mapping mode.
double millimetresPerUnit(MapMode mode) {
    switch (mode) {
        case MapMode::LoMetric:
            return 0.1;
        case MapMode::HiMetric:
            return 0.01;
        case MapMode::LoEnglish:
            return 0.254;
        case MapMode::HiEnglish:
            return 0.0254;
        case MapMode::Twips:
            return 25.4 / 1440;
        default:
            return 0;
    }
}

}  // namespace

void ObjectTable::put(std::size_t index, GraphicObject object) {
    if (index >= slots_.size()) failInvalid();
    slots_[index] = std::move(object);
}

void ObjectTable::putInFreeSlot(GraphicObject object) {
    for (GraphicObject& slot : slots_) {
        if (std::holds_alternative<std::monostate>(slot)) {
            slot = std::move(object);
            return;
        }
    }
}

const GraphicObject& ObjectTable::at(std::size_t index) const {
    if (index >= slots_.size()) failInvalid();
    return slots_[index];
}

void ObjectTable::remove(std::size_t index) {
    if (index >= slots_.size()) failInvalid();
    slots_[index] = std::monostate{};
}

DeviceContext::DeviceContext(const QTransform& deviceToPicture, QPointF devicePixelsPerMillimetre)
    : deviceToPicture_(deviceToPicture), devicePixelsPerMillimetre_(devicePixelsPerMillimetre) {}

void DeviceContext::save() {
    if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

bool DeviceContext::restore(int which) {
    const long long depth = static_cast<long long>(saved_.size());
    const long long target = which < 0 ? depth + which : static_cast<long long>(which) - 1;
    if (which == 0 || target < 0 || target >= depth) return false;
    state_ = std::move(saved_[static_cast<std::size_t>(target)]);
    saved_.resize(static_cast<std::size_t>(target));
    return true;
}

void DeviceContext::setWindowExtent(double cx, double cy) {
    if (cx != 0 && cy != 0) state_.windowExtent = QSizeF(cx, cy);
}

void DeviceContext::setViewportExtent(double cx, double cy) {
    if (cx != 0 && cy != 0) state_.viewportExtent = QSizeF(cx, cy);
}

void DeviceContext::scaleWindowExtent(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0) return;
    setWindowExtent(state_.windowExtent.width() * xNum / xDenom,
                    state_.windowExtent.height() * yNum / yDenom);
}

void DeviceContext::scaleViewportExtent(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0) return;
    setViewportExtent(state_.viewportExtent.width() * xNum / xDenom,
                      state_.viewportExtent.height() * yNum / yDenom);
}

void DeviceContext::setMapMode(std::uint32_t mode) {
    if (mode >= 1 && mode <= 8) state_.mapMode = static_cast<MapMode>(mode);
}

void DeviceContext::setWorldTransform(const QTransform& transform) {
    if (isUsable(transform)) state_.world = transform;
}

void DeviceContext::modifyWorldTransform(const QTransform& transform, std::uint32_t mode) {
    switch (mode) {
        case 1:
            state_.world = QTransform();
            break;
        case 2:  // the new transform acts first
            if (isUsable(transform)) setWorldTransform(transform * state_.world);
            break;
        case 3:
            if (isUsable(transform)) setWorldTransform(state_.world * transform);
            break;
        case 4:
            setWorldTransform(transform);
            break;
        default:
            break;
    }
}

QTransform DeviceContext::pageTransform() const {
    double sx = 1;
    double sy = 1;
    switch (state_.mapMode) {
        case MapMode::Text:
            break;
        case MapMode::Isotropic:
        case MapMode::Anisotropic: {
            sx = state_.viewportExtent.width() / state_.windowExtent.width();
            sy = state_.viewportExtent.height() / state_.windowExtent.height();
            if (state_.mapMode == MapMode::Isotropic) {
                const double scale = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(scale, sx);
                sy = std::copysign(scale, sy);
            }
            break;
        }
        default: {
            const double mm = millimetresPerUnit(state_.mapMode);
            sx = mm * devicePixelsPerMillimetre_.x();
            sy = -mm * devicePixelsPerMillimetre_.y();
            break;
        }
    }
    // device = (logical - window origin) * scale + viewport origin
    return QTransform(sx, 0, 0, sy, state_.viewportOrigin.x() - state_.windowOrigin.x() * sx,
                      state_.viewportOrigin.y() - state_.windowOrigin.y() * sy);
}

bool DeviceContext::pageMirrors() const {
    const QTransform page = pageTransform() * deviceToPicture_;
    return page.m11() * page.m22() - page.m12() * page.m21() < 0;
}

}  // namespace quillmere::metafile
