#include "imaging/qt_reference/reader_comparison.h"

#include <QImageReader>
#include <cstring>
#include <functional>
#include <vector>

#include "common/app_error.h"
#include "imaging/codecs/bmp_decoder.h"
#include "imaging/codecs/byte_order.h"
#include "imaging/codecs/ico_decoder.h"
#include "imaging/imaging_messages.h"
#include "imaging/qt_reference/qt_bmp_reference.h"
#include "imaging/qt_reference/qt_icon_reference.h"

namespace quillmere {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Decoder = std::function<Bitmap24(std::span<const std::uint8_t>)>;

struct Outcome {
    bool decoded = false;
    bool invalidPicture = false;  // the error's family, when refused
    std::string message;
    Bitmap24 picture;
};

Outcome outcomeOf(const Decoder& decode, std::span<const std::uint8_t> bytes) {
    Outcome outcome;
    try {
        outcome.picture = decode(bytes);
        outcome.decoded = true;
    } catch (const InvalidPictureError& error) {
        outcome.invalidPicture = true;
        outcome.message = error.what();
    } catch (const std::exception& error) {
        outcome.message = error.what();
    }
    return outcome;
}

bool operator==(const Outcome& a, const Outcome& b) {
    if (a.decoded != b.decoded) return false;
    if (!a.decoded) return a.invalidPicture == b.invalidPicture && a.message == b.message;
    const Bitmap24& p = a.picture;
    const Bitmap24& q = b.picture;
    return p.width() == q.width() && p.height() == q.height() &&
           (p.byteCount() == 0 || std::memcmp(p.bits(), q.bits(), p.byteCount()) == 0);
}

std::string describe(const Outcome& outcome) {
    if (!outcome.decoded) {
        return (outcome.invalidPicture ? "refused as not a picture: " : "failed: ") +
               outcome.message;
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < outcome.picture.byteCount(); ++i) {
        hash = (hash ^ outcome.picture.bits()[i]) * 1099511628211ull;
    }
    return std::to_string(outcome.picture.width()) + " x " +
           std::to_string(outcome.picture.height()) + ", pixel hash " + std::to_string(hash);
}

bool refusedAsInvalidBitmap(const Outcome& outcome) {
    return outcome.invalidPicture &&
           outcome.message == imaging_messages::bitmapNotValid().toStdString();
}

bool refusedAsInvalidIcon(const Outcome& outcome) {
    return outcome.invalidPicture &&
           outcome.message == imaging_messages::iconNotValid().toStdString();
}

// Whether two decoded pictures of the same size differ in exactly one pixel.
bool differInOnePixel(const Outcome& a, const Outcome& b) {
    if (!a.decoded || !b.decoded || a.picture.width() != b.picture.width() ||
        a.picture.height() != b.picture.height()) {
        return false;
    }
    int differing = 0;
    for (std::size_t i = 0; i < a.picture.byteCount(); i += 3) {
        differing += std::memcmp(a.picture.bits() + i, b.picture.bits() + i, 3) != 0 ? 1 : 0;
    }
    return differing == 1;
}

bool isRunLength4(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 34 && little32(bytes, 14) >= 40 && little32(bytes, 30) == 2;
}

Outcome qtWithByte(std::span<const std::uint8_t> bytes, std::uint8_t extra) {
    Bytes longer(bytes.begin(), bytes.end());
    longer.push_back(extra);
    return outcomeOf([](auto b) { return decodeBmpWithQt(b); }, longer);
}

// The file with its 52- or 56-byte header widened to a 108-byte one by
// zeros (a V4 header without alpha mask or colour space), the colour table
// and pixels moved along.
Bytes asVersionFour(std::span<const std::uint8_t> bytes) {
    const std::uint32_t size = little32(bytes, 14);
    const std::uint32_t added = 108 - size;
    Bytes widened(bytes.begin(), bytes.end());
    widened.insert(widened.begin() + 14 + size, added, 0);
    putLittle32(widened.data() + 14, 108);
    const std::uint32_t pixels = little32(bytes, 10);
    if (pixels >= 14 + size) putLittle32(widened.data() + 10, pixels + added);
    return widened;
}

Outcome qtWithoutAllocationLimit(std::span<const std::uint8_t> bytes) {
    const int saved = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    Outcome outcome = outcomeOf([](auto b) { return decodeBmpWithQt(b); }, bytes);
    QImageReader::setAllocationLimit(saved);
    return outcome;
}

KnownDifference bitmapDifference(std::span<const std::uint8_t> bytes, const QtReadLog& log,
                                 const Outcome& qt, const Outcome& engine) {
    if (qt.decoded && log.blockRanOut && refusedAsInvalidBitmap(engine)) {
        return KnownDifference::RowsBeyondTheFile;
    }
    if (qt.decoded && log.byteRanOut && !log.blockRanOut) {
        // The one missing byte supplied as 0 makes the same picture, and
        // some other byte another one.
        const Outcome zero = qtWithByte(bytes, 0x00);
        if (engine == zero) {
            for (unsigned other = 1; other < 256; ++other) {
                if (!(zero == qtWithByte(bytes, static_cast<std::uint8_t>(other)))) {
                    return KnownDifference::PixelByteBeyondTheFile;
                }
            }
        }
        // A cut absolute RLE4 run: the pixel pairs whose bytes are missing
        // repeat the last byte read in both, but the last odd pixel is Qt's
        // uninitialised memory.
        if (isRunLength4(bytes) && differInOnePixel(engine, qt)) {
            return KnownDifference::PixelByteBeyondTheFile;
        }
    }
    if (refusedAsInvalidBitmap(qt) && engine.decoded) {
        const std::uint32_t size = bytes.size() >= 18 ? little32(bytes, 14) : 0;
        if ((size == 52 || size == 56) && bytes.size() >= 14 + size) {
            // The widened copy may itself hold one of the other differences.
            const Bytes widened = asVersionFour(bytes);
            QtReadLog widenedLog;
            const Outcome qtWidened = outcomeOf(
                [&widenedLog](auto b) { return decodeBmpWithQt(b, &widenedLog); }, widened);
            if (engine == qtWidened ||
                bitmapDifference(widened, widenedLog, qtWidened, engine) != KnownDifference::None) {
                return KnownDifference::VersionTwoOrThreeHeader;
            }
        }
        if (engine == qtWithoutAllocationLimit(bytes)) return KnownDifference::QtAllocationLimit;
    }
    return KnownDifference::None;
}

bool startsAsPng(std::span<const std::uint8_t> bytes, std::size_t at) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return at <= bytes.size() && bytes.size() - at >= 8 &&
           std::memcmp(bytes.data() + at, kSignature, 8) == 0;
}

// A PNG of 16-bit RGB with a tRNS chunk before its image data.
bool isKeyed16BitColourPng(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (bytes.size() - at < 8 + 25 || bytes[at + 24] != 16 || bytes[at + 25] != 2) return false;
    for (std::size_t chunk = at + 8; bytes.size() - chunk >= 8;) {
        const std::uint32_t length = big32(bytes, chunk);
        if (std::memcmp(bytes.data() + chunk + 4, "tRNS", 4) == 0) return true;
        if (std::memcmp(bytes.data() + chunk + 4, "IDAT", 4) == 0) return false;
        if (bytes.size() - chunk - 8 < std::uint64_t{length} + 4) return false;
        chunk += 12 + std::size_t{length};
    }
    return false;
}

// A bitmap of 4 bits whose colour count, taken as a signed number, is
// negative.
bool isNibbleBitmapWithoutTable(std::span<const std::uint8_t> bytes, std::size_t entry,
                                std::size_t at) {
    if (at > bytes.size() || bytes.size() - at < 40) return false;
    const unsigned stored = little16(bytes, at + 14);
    const unsigned bits = stored != 0 ? stored : little16(bytes, entry + 6);
    return bits == 4 && little32(bytes, at + 32) >= 0x80000000u;
}

KnownDifference iconDifference(std::span<const std::uint8_t> bytes, const Outcome& qt,
                               const Outcome& engine) {
    const int index = chooseStandardIconImage(bytes);
    if (!qt.decoded || !refusedAsInvalidIcon(engine) || index < 0) return KnownDifference::None;
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(index);
    const std::size_t at = little32(bytes, entry + 12);
    if (startsAsPng(bytes, at)) {
        return isKeyed16BitColourPng(bytes, at) ? KnownDifference::IconPngRowsPartlyRead
                                                : KnownDifference::None;
    }
    return isNibbleBitmapWithoutTable(bytes, entry, at) ? KnownDifference::IconNibblesPartlyRead
                                                        : KnownDifference::None;
}

}  // namespace

std::string_view nameOf(KnownDifference difference) {
    switch (difference) {
        case KnownDifference::None:
            return "none";
        case KnownDifference::RowsBeyondTheFile:
            return "rows beyond the file";
        case KnownDifference::PixelByteBeyondTheFile:
            return "run-length pixel byte beyond the file";
        case KnownDifference::VersionTwoOrThreeHeader:
            return "V2 or V3 header";
        case KnownDifference::QtAllocationLimit:
            return "Qt's allocation limit";
        case KnownDifference::IconPngRowsPartlyRead:
            return "icon PNG of 16-bit colour with tRNS";
        case KnownDifference::IconNibblesPartlyRead:
            return "icon 4-bit bitmap with 2^31 colours or more";
    }
    return "unknown";
}

ReaderComparison compareWithQt(ComparedReader reader, std::span<const std::uint8_t> bytes) {
    QtReadLog log;
    const bool bitmap = reader == ComparedReader::Bitmap;
    const Outcome qt = bitmap
                           ? outcomeOf([&log](auto b) { return decodeBmpWithQt(b, &log); }, bytes)
                           : outcomeOf([&log](auto b) { return decodeIconWithQt(b, &log); }, bytes);
    const Outcome engine = bitmap ? outcomeOf([](auto b) { return decodeBmp(b); }, bytes)
                                  : outcomeOf([](auto b) { return decodeIcon(b); }, bytes);
    ReaderComparison comparison;
    comparison.engine = describe(engine);
    comparison.qt = describe(qt);
    if (engine == qt) {
        comparison.agree = true;
        return comparison;
    }
    comparison.known =
        bitmap ? bitmapDifference(bytes, log, qt, engine) : iconDifference(bytes, qt, engine);
    comparison.agree = comparison.known != KnownDifference::None;
    return comparison;
}

}  // namespace quillmere
