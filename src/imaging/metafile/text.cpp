#include "imaging/metafile/text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillmere::metafile {

namespace {

constexpr std::uint32_t kTaRight = 0x0002;
constexpr std::uint32_t kTaCenter = 0x0006;
constexpr std::uint32_t kTaBottom = 0x0008;
constexpr std::uint32_t kTaBaseline = 0x0018;
constexpr double kDefaultCellHeight = 16;  // the system font's height in pixels

// Code page 1252 differs from Latin-1 only in 0x80 to 0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

QFont fontFor(const FontObject& logical, double unitsToPixels, double largestPixelSize) {
    QFont font;
    if (!logical.face.isEmpty()) font.setFamily(logical.face);
    const bool cellHeight = logical.height >= 0;
    double pixels = logical.height == 0
                        ? kDefaultCellHeight
                        : std::abs(static_cast<double>(logical.height)) * unitsToPixels;
    pixels = std::clamp(pixels, 1.0, largestPixelSize);
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    if (logical.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(logical.weight, 1, 1000)));
    font.setItalic(logical.italic);
    font.setUnderline(logical.underline);
    font.setStrikeOut(logical.strikeOut);
    // Pictures must not depend on the sub-pixel layout of some screen.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    if (cellHeight) {
        // A positive height counts the internal leading too: shrink the
        // character height so that the whole cell has that height.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0) {
            pixels = std::clamp(pixels * pixels / cell, 1.0, largestPixelSize);
            font.setPixelSize(static_cast<int>(std::lround(pixels)));
        }
    }
    return font;
}

}  // namespace

QString textFromAnsi(std::span<const std::uint8_t> bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const std::uint8_t byte : bytes) {
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t{byte});
    }
    return text;
}

double paintTextRun(QPainter& painter, const DcState& state, const TextRun& run, QPointF origin,
                    const QTransform& logicalToPicture, double largestPixelSize) {
    const QPointF at = logicalToPicture.map(origin);
    const QPointF xAxis = logicalToPicture.map(origin + QPointF(1, 0)) - at;
    const QPointF yAxis = logicalToPicture.map(origin + QPointF(0, 1)) - at;
    const double xScale = std::hypot(xAxis.x(), xAxis.y());
    const double yScale = std::hypot(yAxis.x(), yAxis.y());
    if (!(xScale > 0) || !(yScale > 0) || !std::isfinite(xScale) || !std::isfinite(yScale)) {
        return 0;
    }

    const QFont font = fontFor(state.font, yScale, largestPixelSize);
    const QFontMetricsF metrics(font);

    // The line's length along the baseline, in pixels, and how far from its
    // start any character may land whatever the signs of the advances.
    const qsizetype count = run.text.size();
    const bool spaced = static_cast<qsizetype>(run.advances.size()) >= count;
    double total = 0;
    double reach = 0;
    if (spaced) {
        for (qsizetype i = 0; i < count; ++i) {
            const double advance = run.advances[static_cast<std::size_t>(i)];
            total += advance;
            reach += std::abs(advance);
        }
        total *= xScale;
        reach *= xScale;
    } else {
        total = metrics.horizontalAdvance(run.text);
        reach = std::abs(total);
    }
    if (!std::isfinite(reach) || reach > kCoordinateLimit) return 0;

    double left = 0;
    if ((state.textAlign & kTaCenter) == kTaCenter) {
        left = -total / 2;
    } else if (state.textAlign & kTaRight) {
        left = -total;
    }
    double baseline = metrics.ascent();
    if ((state.textAlign & kTaBaseline) == kTaBaseline) {
        baseline = 0;
    } else if (state.textAlign & kTaBottom) {
        baseline = -metrics.descent();
    }

    double angle = -static_cast<double>(state.font.escapement) / 10;
    if (run.advancedGraphics) angle += degrees(std::atan2(xAxis.y(), xAxis.x()));
    QTransform textSpace;
    textSpace.translate(at.x(), at.y());
    textSpace.rotate(angle);
    painter.setTransform(textSpace);
    painter.setFont(font);

    if (state.opaqueBackground) {
        painter.fillRect(
            QRectF(left, baseline - metrics.ascent(), total, metrics.ascent() + metrics.descent()),
            state.backgroundColour);
    }
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(state.textColour);
    if (spaced) {
        double x = left;
        for (qsizetype i = 0; i < count; ++i) {
            painter.drawText(QPointF(x, baseline),
                             QString::fromRawData(run.text.constData() + i, 1));
            x += run.advances[static_cast<std::size_t>(i)] * xScale;
        }
    } else {
        painter.drawText(QPointF(left, baseline), run.text);
    }
    return total / xScale;
}

}  // namespace quillmere::metafile
