// The engine's BMP and icon readers against Qt's, behind the checks the
// engine had around Qt's: the same pixels, or the same refusal, for every
// file of the fuzz corpora, except in the known cases where Qt's pixels
// were not the file's; and a file for each such case.

#include <gtest/gtest.h>

#include <QImageReader>
#include <QtGlobal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "imaging/codecs/bmp_decoder.h"
#include "imaging/codecs/byte_order.h"
#include "imaging/fixtures/bmp_fixtures.h"
#include "imaging/fixtures/icon_fixtures.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/fixtures/png_fixtures.h"
#include "imaging/fixtures/qt_allocation_limit.h"
#include "imaging/qt_reference/qt_bmp_reference.h"
#include "imaging/qt_reference/reader_comparison.h"

namespace quillmere::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Qt's readers warn on stderr about the damaged files the corpora hold.
class QuietQt {
  public:
    QuietQt() : previous_(qInstallMessageHandler(drop)) {}
    ~QuietQt() { qInstallMessageHandler(previous_); }

  private:
    static void drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler previous_;
};

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string comparisonText(const ReaderComparison& c) {
    return "engine " + c.engine + "; Qt " + c.qt;
}

class CorpusDifferential : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusDifferential, EveryFileReadsAsQtReadsItAsBitmapAndAsIcon) {
    const QuietQt quiet;
    const std::filesystem::path folder = std::filesystem::path(QUILLMERE_FUZZ_CORPUS) / GetParam();
    std::map<std::string, int> known;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const Bytes bytes = readFile(entry.path());
        for (const ComparedReader reader : {ComparedReader::Bitmap, ComparedReader::Icon}) {
            const ReaderComparison c = compareWithQt(reader, bytes);
            EXPECT_TRUE(c.agree) << entry.path().filename() << " as "
                                 << (reader == ComparedReader::Bitmap ? "BMP" : "ICO") << ": "
                                 << comparisonText(c);
            if (c.known != KnownDifference::None) ++known[std::string(nameOf(c.known))];
        }
    }
    EXPECT_GT(files, 0) << folder;
    for (const auto& [name, count] : known) {
        RecordProperty(name, count);
        std::cout << "  " << GetParam() << ": " << count << " x " << name << '\n';
    }
}

INSTANTIATE_TEST_SUITE_P(FuzzCorpora, CorpusDifferential,
                         ::testing::Values("bmp", "ico", "bmp_ico_differential"));

// --- A file for each known difference ---------------------------------------

// A bitmap file of the given headers and pixels; the pixels follow the
// colour table unless `pixelsAt` says otherwise.
Bytes bitmapFile(const Bytes& info, const Bytes& table, const Bytes& pixels,
                 std::uint32_t pixelsAt = 0) {
    Bytes file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), table.begin(), table.end());
    putLittle32(file.data() + 10,
                pixelsAt != 0 ? pixelsAt : static_cast<std::uint32_t>(file.size()));
    file.insert(file.end(), pixels.begin(), pixels.end());
    putLittle32(file.data() + 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

// An information header of `size` bytes (40 and up) with the common fields.
Bytes infoHeader(std::uint32_t size, int width, int height, unsigned bits,
                 std::uint32_t compression, std::uint32_t colours = 0) {
    Bytes info(size, 0);
    putLittle32(info.data(), size);
    putLittle32(info.data() + 4, static_cast<std::uint32_t>(width));
    putLittle32(info.data() + 8, static_cast<std::uint32_t>(height));
    putLittle16(info.data() + 12, 1);
    putLittle16(info.data() + 14, bits);
    putLittle32(info.data() + 16, compression);
    putLittle32(info.data() + 32, colours);
    return info;
}

Bytes gradientRows(int width, int height, int bytesPerPixel) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    Bytes rows(stride * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return rows;
}

// An icon file of one PNG image.
Bytes pngIcon(const Bytes& png, int width, int height) {
    Bytes file = {
        0, 0, 1, 0, 1,  0, static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height),
        0, 0, 1, 0, 32, 0};
    file.resize(22);
    putLittle32(file.data() + 14, static_cast<std::uint32_t>(png.size()));
    putLittle32(file.data() + 18, 22);
    file.insert(file.end(), png.begin(), png.end());
    return file;
}

struct KnownCase {
    std::string name;
    ComparedReader reader;
    Bytes file;
    KnownDifference expected;
    bool engineRefuses;
    // Qt's pixel came from uninitialised memory, which may happen to hold
    // what the engine reads.
    bool qtMayAgree = false;
};

void PrintTo(const KnownCase& c, std::ostream* out) {
    *out << c.name;
}

// RLE8: a run of 3 pixels whose pixel byte the file lacks; colour 0 is
// not black, index 255 (beyond the table) is.
Bytes rle8WithoutPixelByte() {
    return bitmapFile(infoHeader(40, 4, 1, 8, 1, 1), {200, 100, 50, 0}, {3});
}

std::vector<KnownCase> knownCases() {
    std::vector<KnownCase> cases;
    {
        // A header size of 0 is read with the core header's fields: 4 x 4
        // at 24 bits, whose rows start right after it, in a file holding
        // one row and a byte.
        Bytes core = {0, 0, 0, 0, 4, 0, 4, 0, 1, 0, 24, 0};
        Bytes row(13, 0x55);
        cases.push_back({"core header read from a 0-byte one, rows missing", ComparedReader::Bitmap,
                         bitmapFile(core, {}, row, 14), KnownDifference::RowsBeyondTheFile, true});
    }
    {
        // 8 x 2 at 8 bits with four colours, the pixel offset pointing into
        // the colour table: the rows are read after it and the last half
        // row is missing.
        const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
        Bytes pixels(12, 2);
        cases.push_back({"8-bit rows read after the colour table they overlap",
                         ComparedReader::Bitmap,
                         bitmapFile(infoHeader(40, 8, 2, 8, 0, 4), table, pixels, 54),
                         KnownDifference::RowsBeyondTheFile, true});
    }
    {
        cases.push_back({"RLE8 run without its pixel byte", ComparedReader::Bitmap,
                         rle8WithoutPixelByte(), KnownDifference::PixelByteBeyondTheFile, false,
                         true});
    }
    for (const std::uint32_t size : {52u, 56u}) {
        Bytes info = infoHeader(size, 3, 2, 16, 3);
        putLittle32(info.data() + 40, 0xF800);  // 5-6-5 masks in the header
        putLittle32(info.data() + 44, 0x07E0);
        putLittle32(info.data() + 48, 0x001F);
        cases.push_back({std::to_string(size) + "-byte header with masks", ComparedReader::Bitmap,
                         bitmapFile(info, {}, gradientRows(3, 2, 2)),
                         KnownDifference::VersionTwoOrThreeHeader, false});
    }
    {
        // 32 bits, BI_RGB, alpha mask 0xFF000000 in a V4 header: Qt asks for
        // a 32-bit image with alpha, which the 1 MB limit of the test below
        // refuses at 600 x 500.
        Bytes info = infoHeader(108, 600, 500, 32, 0);
        putLittle32(info.data() + 52, 0xFF000000);
        cases.push_back({"32-bit V4 bitmap with an alpha mask, beyond Qt's limit",
                         ComparedReader::Bitmap, bitmapFile(info, {}, gradientRows(600, 500, 4)),
                         KnownDifference::QtAllocationLimit, false});
    }
    {
        PngPicture png;
        png.width = 4;
        png.height = 4;
        png.colour = PngColour::Rgb;
        png.bitDepth = 16;
        for (unsigned i = 0; i < 4 * 4 * 3; ++i) png.samples.push_back(i * 1300);
        png.colourKey = std::array<unsigned, 3>{0, 1300, 2600};
        cases.push_back({"icon PNG of 16-bit colour with tRNS", ComparedReader::Icon,
                         pngIcon(makePng(png), 4, 4), KnownDifference::IconPngRowsPartlyRead,
                         true});
    }
    {
        Bytes icon = makeIcon({solidIconImage(8, 8, 4, Rgba{10, 200, 30, 255})});
        putLittle32(icon.data() + 22 + 32, 0x80000000);  // biClrUsed
        cases.push_back({"icon 4-bit bitmap declaring 2^31 colours", ComparedReader::Icon, icon,
                         KnownDifference::IconNibblesPartlyRead, true});
    }
    return cases;
}

class KnownDifferences : public ::testing::TestWithParam<KnownCase> {};

TEST_P(KnownDifferences, AreRecognisedFromQtsOwnReading) {
    const QuietQt quiet;
    const QtAllocationLimit limit(1);
    const KnownCase& c = GetParam();
    const ReaderComparison comparison = compareWithQt(c.reader, c.file);
    EXPECT_TRUE(comparison.agree) << comparisonText(comparison);
    if (!(c.qtMayAgree && comparison.engine == comparison.qt)) {
        EXPECT_EQ(nameOf(comparison.known), nameOf(c.expected)) << comparisonText(comparison);
    }
    EXPECT_EQ(comparison.engine.starts_with("refused"), c.engineRefuses) << comparison.engine;
}

TEST(KnownDifferences, ARunLengthPixelByteBeyondTheFileReadsAsZero) {
    const QuietQt quiet;
    const Bytes file = rle8WithoutPixelByte();
    Bytes withZero = file;
    withZero.push_back(0);
    Bytes withOther = file;
    withOther.push_back(0xFF);
    // The byte decides the pixels, and the engine reads it as 0.
    const Bitmap24 zero = decodeBmpWithQt(withZero);
    EXPECT_FALSE(bitmapsMatch(zero, decodeBmpWithQt(withOther)));
    EXPECT_TRUE(bitmapsMatch(decodeBmp(file), zero));
}

INSTANTIATE_TEST_SUITE_P(Readers, KnownDifferences, ::testing::ValuesIn(knownCases()),
                         [](const auto& info) {
                             std::string name;
                             for (const char ch : info.param.name) {
                                 if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                             }
                             return name;
                         });

}  // namespace
}  // namespace quillmere::test
