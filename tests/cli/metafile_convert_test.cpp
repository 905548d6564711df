#include <gtest/gtest.h>

#include <QStringList>

#include "run_program.h"
#include "support/metafile_writer.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// Red on the left, blue on the right, and a line of black text at the top
// left.
std::vector<std::uint8_t> emfPicture() {
    test::EmfWriter emf(96, 72);
    emf.fillWith(1, kRed).rectangle(0, 0, 48, 72);
    emf.fillWith(2, kBlue).rectangle(48, 0, 96, 72);
    emf.createFont(3, -12, u"DejaVu Sans").select(3);
    emf.text(4, 4, u"Quillmere");
    return emf.bytes();
}

std::vector<std::uint8_t> wmfPicture() {
    test::WmfWriter wmf = test::WmfWriter::placeable(0, 0, 1440, 1080, 1440);
    wmf.createPen(5, 0, kRed).select(0);
    wmf.createBrush(kRed).select(1).rectangle(0, 0, 720, 1080);
    wmf.createBrush(kBlue).select(2).rectangle(720, 0, 1440, 1080);
    wmf.createFont(-180, "DejaVu Sans").select(3).textOut(60, 60, "Quillmere");
    return wmf.bytes();
}

TEST(MetafileConversion, EmfAndWmfConvertToEveryFormat) {
    test::Sandbox sandbox;
    const QString emf = sandbox.write("drawing.emf", emfPicture());
    const QString wmf = sandbox.write("drawing2.WMF", wmfPicture());
    for (const QString format : {"BMP", "JPG", "PNG", "GIF", "TIFF"}) {
        SCOPED_TRACE(format.toStdString());
        const QString extension = format == u"JPG" ? "jpg" : format.toLower();
        const test::ProgramRun result =
            test::runBatchProgram({"--to", format, "--overwrite", emf, wmf});
        EXPECT_EQ(result.status, 0) << result.err.toStdString();
        EXPECT_EQ(result.err, QString());
        EXPECT_EQ(result.out, sandbox.path("drawing." + extension) + "\n" +
                                  sandbox.path("drawing2." + extension) + "\nfinished!\n");
        for (const QString& name : {QStringLiteral("drawing."), QStringLiteral("drawing2.")}) {
            const Bitmap24 converted = test::loadBitmap(sandbox.path(name + extension));
            ASSERT_EQ(converted.width(), 96);
            ASSERT_EQ(converted.height(), 72);
            // Lossy JPEG keeps the colours only roughly; the rest exactly.
            const int tolerance = format == u"JPG" ? 40 : 0;
            const Rgb left = converted.pixel(20, 60);
            const Rgb right = converted.pixel(75, 60);
            EXPECT_NEAR(left.r, 255, tolerance);
            EXPECT_NEAR(left.b, 0, tolerance);
            EXPECT_NEAR(right.r, 0, tolerance);
            EXPECT_NEAR(right.b, 255, tolerance);
        }
    }
}

TEST(MetafileConversion, TheBatchProgramDrawsText) {
    test::Sandbox sandbox;
    const QString emf = sandbox.write("text.emf", emfPicture());
    const test::ProgramRun result = test::runBatchProgram({"--to", "BMP", emf});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const Bitmap24 converted = test::loadBitmap(sandbox.path("text.bmp"));
    int inked = 0;
    for (int y = 4; y < 24; ++y) {
        for (int x = 4; x < 48; ++x) inked += converted.pixel(x, y).r < 100 ? 1 : 0;
    }
    EXPECT_GT(inked, 10) << "dark glyph pixels on the red half";
    EXPECT_EQ(converted.pixel(40, 60), (Rgb{255, 0, 0})) << "nothing drawn below the text";
}

TEST(MetafileConversion, ADamagedMetafileEndsTheRun) {
    test::Sandbox sandbox;
    std::vector<std::uint8_t> bytes = emfPicture();
    bytes.resize(bytes.size() / 2);
    const QString broken = sandbox.write("broken.emf", bytes);
    const test::ProgramRun result = test::runBatchProgram({"--to", "PNG", broken});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "quillmere-batch: " + broken + ": Metafile is not valid.\n");
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("broken.png")));
}

}  // namespace
}  // namespace quillmere
