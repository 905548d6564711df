// Runs planned as the window and the command line plan them, through the
// batch runner.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <string>
#include <tuple>

#include "batch_recording.h"
#include "common/app_error.h"
#include "convert/batch_plan.h"
#include "convert/batch_runner.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "imaging/image_process.h"
#include "support/file_size_limit.h"
#include "support/jpeg_header.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// The luminance table's first entry tells the quality a JPEG was made with
// (16 at quality 50; 1 at quality 100; 255 at quality 1).
int firstLuminanceEntry(const QString& path) {
    return static_cast<int>(test::readJpegHeader(test::Sandbox::read(path)).luminance[0]);
}

// A run planned from the list, the format, the quality text and the
// overwrite switch, with `workers` threads preparing entries ahead of the
// commits (none: one entry after another).
class BatchFixture : public ::testing::Test {
  protected:
    QString picture(const QString& name, Rgb colour = {200, 100, 50}) {
        return sandbox.write(name, encodePng(test::solid(6, 4, colour)));
    }

    // Runs the batch; an error comes back as its message.
    QString run(const QStringList& paths, const QString& format, std::set<int> selection = {}) {
        const BatchChoices choices{paths, std::move(selection), format, qualityText,
                                   overwriteChecked};
        try {
            BatchRunner(planBatch(choices), workers).run(view);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }

    // The pictures the run showed, as test::describePicture gives them.
    QStringList pictureEvents() const {
        QStringList pictures;
        for (const QString& event : view.events) {
            if (event.startsWith("picture ")) pictures << event.mid(8);
        }
        return pictures;
    }

    test::Sandbox sandbox;
    test::RecordingView view;
    QString qualityText = "90";
    bool overwriteChecked = false;
    int workers = 0;
};

// Every behaviour holds alike sequentially and with workers preparing ahead.
class BatchTest : public BatchFixture, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override { workers = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(WorkerCounts, BatchTest, ::testing::Values(0, 1, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return test::workerCountName(info.param);
                         });

TEST_P(BatchTest, ConvertsEveryEntryBesideItsSource) {
    const QString a = picture("a.png");
    const QString b = picture("b.b.PNG");
    EXPECT_EQ(run({a, b}, "TIFF"), QString());
    EXPECT_EQ(view.lines,
              (QStringList{sandbox.path("a.tiff"), sandbox.path("b.b.tiff"), "finished!"}));
    EXPECT_EQ(test::loadBitmap(sandbox.path("b.b.tiff")).pixel(5, 3), (Rgb{200, 100, 50}));
}

TEST_P(BatchTest, AnEmptyListOnlyFinishes) {
    EXPECT_EQ(run({}, "PNG"), QString());
    EXPECT_EQ(view.lines, QStringList{"finished!"});
}

TEST_P(BatchTest, AnExistingTargetIsKeptOrOverwritten) {
    const QString source = picture("a.png");
    const QString target = sandbox.write("a.bmp", QByteArray("keep me"));

    EXPECT_EQ(run({source}, "BMP"), QString());
    EXPECT_EQ(view.lines, (QStringList{"file already exist: " + target, "finished!"}));
    EXPECT_EQ(test::Sandbox::read(target),
              (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    overwriteChecked = true;
    EXPECT_EQ(run({source}, "BMP"), QString());
    EXPECT_EQ(view.lines.mid(2),
              (QStringList{"file already exist: " + target + " -->over write ", "finished!"}));
    EXPECT_EQ(test::loadBitmap(target).pixel(0, 0), (Rgb{200, 100, 50}));
}

TEST_P(BatchTest, TwoOrMoreSelectedEntriesNarrowTheRun) {
    const QStringList paths = {picture("a.png"), picture("b.png"), picture("c.png")};
    const struct {
        std::set<int> selection;
        QStringList converted;
    } cases[] = {
        {{}, {"a.bmp", "b.bmp", "c.bmp"}},
        {{1}, {"a.bmp", "b.bmp", "c.bmp"}},
        {{0, 2}, {"a.bmp", "c.bmp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.converted.join(' ').toStdString());
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) QFile::remove(sandbox.path(name));
        view.lines.clear();
        EXPECT_EQ(run(paths, "BMP", c.selection), QString());
        QStringList expected;
        for (const QString& name : c.converted) expected << sandbox.path(name);
        expected << "finished!";
        EXPECT_EQ(view.lines, expected);
        EXPECT_EQ(test::Sandbox::exists(sandbox.path("b.bmp")), c.converted.contains("b.bmp"));
    }
}

struct QualityCase {
    const char* text;
    const char* fieldAfter;
    int luminanceEntry;  // of the JPEG written
};

void PrintTo(const QualityCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class BatchQualityTest : public BatchFixture,
                         public ::testing::WithParamInterface<std::tuple<QualityCase, int>> {
  protected:
    void SetUp() override { workers = std::get<1>(GetParam()); }
};

TEST_P(BatchQualityTest, ReadsTheQualityFieldLeniently) {
    const QualityCase& c = std::get<0>(GetParam());
    qualityText = c.text;
    EXPECT_EQ(run({picture("a.png")}, "JPG"), QString());
    EXPECT_EQ(qualityTextAsRead(c.text), QString(c.fieldAfter));
    EXPECT_EQ(firstLuminanceEntry(sandbox.path("a.jpg")), c.luminanceEntry);
}

const QualityCase kQualityCases[] = {
    {"0", "100", 1},     {"", "100", 1},    {"abc", "100", 1},
    {"90 ", "100", 1},   {"$50", "$50", 6},  // 80: scale 40, (16 x 40 + 50) / 100
    {"256", "256", 255}, {"-5", "-5", 1},   {"50", "50", 16},
};

// Each text with three worker counts.
INSTANTIATE_TEST_SUITE_P(Texts, BatchQualityTest,
                         ::testing::Combine(::testing::ValuesIn(kQualityCases),
                                            ::testing::Values(0, 1, 3)),
                         [](const ::testing::TestParamInfo<std::tuple<QualityCase, int>>& info) {
                             return "Text" + std::to_string(info.index / 3) + "_" +
                                    test::workerCountName(std::get<1>(info.param));
                         });

TEST_P(BatchTest, MissingSourcesAreSkippedSilently) {
    const QString gone = sandbox.path("gone.png");
    const QString present = picture("b.png");
    EXPECT_EQ(run({gone, sandbox.path("."), present}, "JPG"), QString());
    EXPECT_EQ(view.lines, (QStringList{sandbox.path("b.jpg"), "finished!"}));
}

TEST_P(BatchTest, TheFirstErrorEndsTheRunWithoutFinishing) {
    const QString first = picture("a.png", {1, 2, 3});
    const QString text = sandbox.write("notes.TXT", QByteArray("hello"));
    const QString after = picture("c.png");
    EXPECT_EQ(run({first, text, after}, "BMP"), "Unknown picture file extension (.TXT)");
    EXPECT_EQ(view.lines, QStringList{sandbox.path("a.bmp")});
    EXPECT_FALSE(test::Sandbox::exists(sandbox.path("c.bmp")));
    // The last picture shown is the last one that loaded.
    EXPECT_EQ(view.picturesShown, 1);
    EXPECT_EQ(pictureEvents(), QStringList{test::describePicture(test::solid(6, 4, {1, 2, 3}))});
}

TEST_P(BatchTest, EachEntrysPictureIsShownInListOrder) {
    EXPECT_EQ(run({picture("a.png"), picture("b.png", {7, 8, 9})}, "BMP"), QString());
    EXPECT_EQ(pictureEvents(),
              (QStringList{test::describePicture(test::solid(6, 4, {200, 100, 50})),
                           test::describePicture(test::solid(6, 4, {7, 8, 9}))}));
}

TEST_P(BatchTest, ConvertingAFileOntoItselfReplacesIt) {
    // A JPEG made at quality 50, re-encoded in place at quality 100.
    const QString photo = sandbox.path("a.jpg");
    {
        ImageControl control;
        control.picture().setGraphic(
            std::make_unique<RasterGraphic>(GraphicKind::Bitmap, test::photoLike(32, 32)));
        ASSERT_TRUE(Save_image_file(photo, control, 50));
    }
    ASSERT_EQ(firstLuminanceEntry(photo), 16);
    overwriteChecked = true;
    qualityText = "100";
    EXPECT_EQ(run({photo}, "JPG"), QString());
    EXPECT_EQ(view.lines,
              (QStringList{"file already exist: " + photo + " -->over write ", "finished!"}));
    EXPECT_EQ(firstLuminanceEntry(photo), 1);
}

TEST_P(BatchTest, ASaveThatFailsPartWayLeavesTheOriginalIntact) {
    const QString photo = sandbox.write("a.bmp", encodeBmp(test::photoLike(200, 100)));
    const std::vector<std::uint8_t> original = test::Sandbox::read(photo);
    overwriteChecked = true;

    // Let the file system refuse everything past the first 4 KiB written.
    QString error;
    {
        const test::FileSizeLimit limit(4096);
        error = run({photo}, "BMP");
    }

    EXPECT_EQ(error, QStringLiteral("Cannot create file \"%1\". File too large").arg(photo));
    EXPECT_EQ(test::Sandbox::read(photo), original);
    EXPECT_EQ(view.lines, QStringList{"file already exist: " + photo});
    EXPECT_EQ(QDir(sandbox.path(".")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_P(BatchTest, AnEncodingErrorSurfacesWhereTheTargetIsSaved) {
    // A GIF cannot be 65536 pixels wide: the error must come after the
    // existing-target line, and not at all when nothing is saved.
    const QString source = sandbox.write("wide.png", encodePng(Bitmap24(65536, 1)));
    const QString target = sandbox.write("wide.gif", QByteArray("GIF89a old"));
    EXPECT_EQ(run({source}, "GIF"), QString());
    EXPECT_EQ(view.lines, (QStringList{"file already exist: " + target, "finished!"}));

    overwriteChecked = true;
    EXPECT_EQ(run({source}, "GIF"),
              "A GIF file cannot hold a picture of 65536 x 1 pixels (65535 at most a side)");
    EXPECT_EQ(view.lines.mid(2), QStringList{"file already exist: " + target});
    EXPECT_EQ(test::Sandbox::read(target).size(), 10u);
}

}  // namespace
}  // namespace quillmere
