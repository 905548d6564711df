// Sources that change under the batch: gone or no longer a file when their
// turn comes, or cut short. None may end in a crash, a hang, a half-written
// target or a temporary file left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "batch_recording.h"
#include "common/app_error.h"
#include "convert/batch_runner.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/gif_encoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "imaging/codecs/tiff_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// Runs the plan one entry after another, each committed before the next is
// read; an error comes back as its message.
QString runSequentially(const BatchPlan& plan, test::RecordingView& view) {
    CommitGroup::Limits oneAtATime;
    oneAtATime.entries = 1;
    BatchRunner runner(plan, 0, PrepareQueue::kNoBudget, oneAtATime);
    try {
        runner.run(view);
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}

TEST(SourceFaults, ASourceGoneOrNoLongerAFileWhenItsTurnComesIsSkipped) {
    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    BatchPlan plan;
    plan.formatItem = "BMP";
    for (const char* name : {"first.png", "removed.png", "piped.png", "folded.png", "last.png"})
        plan.sources << sandbox.write(name, encodePng(test::photoLike(8, 6)));

    // The first entry's turn changes the sources of the next three.
    test::RecordingView view;
    view.onShow = [&](int entry) {
        if (entry != 0) return;
        for (int i = 1; i <= 3; ++i) ASSERT_TRUE(QFile::remove(plan.sources[i]));
        ASSERT_EQ(::mkfifo(QFile::encodeName(plan.sources[2]).constData(), 0644), 0);
        ASSERT_TRUE(QDir().mkdir(plan.sources[3]));
    };
    EXPECT_EQ(runSequentially(plan, view), QString());
    EXPECT_EQ(view.lines, (QStringList{root + "/first.bmp", root + "/last.bmp", "finished!"}));
    EXPECT_EQ(
        QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        (QStringList{"first.bmp", "first.png", "folded.png", "last.bmp", "last.png", "piped.png"}));
}

// Every format cut at several points: each either converts into a whole
// target or fails with nothing written.
TEST(SourceFaults, ASourceCutShortGivesAnErrorOrAPicture) {
    const Bitmap24 picture = test::photoLike(40, 30);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* format;
        const char* target;
    } sources[] = {
        {"cut.png", encodePng(picture), "BMP", "cut.bmp"},
        {"cut.jpg", encodeJpeg(picture, 90), "PNG", "cut.png"},
        {"cut.bmp", encodeBmp(picture), "PNG", "cut.png"},
        {"cut.gif", encodeGif(picture), "PNG", "cut.png"},
        {"cut.tiff", encodeTiff(picture), "PNG", "cut.png"},
    };
    for (const auto& source : sources) {
        const std::size_t size = source.bytes.size();
        for (const std::size_t kept : {std::size_t{0}, std::size_t{1}, std::size_t{8}, size / 4,
                                       size / 2, size * 9 / 10, size - 1}) {
            SCOPED_TRACE(std::string(source.name) + " cut to " + std::to_string(kept));
            const test::Sandbox sandbox;
            const QString root = QDir::cleanPath(sandbox.path("."));
            BatchPlan plan;
            plan.formatItem = source.format;
            plan.sources << sandbox.write(
                source.name,
                std::vector<std::uint8_t>(source.bytes.begin(), source.bytes.begin() + kept));
            const QString target = root + '/' + source.target;
            test::RecordingView view;
            const QString error = runSequentially(plan, view);
            if (error.isEmpty()) {
                EXPECT_EQ(view.lines, (QStringList{target, "finished!"}));
                const Bitmap24 converted = test::loadBitmap(target);
                EXPECT_EQ(converted.width(), picture.width());
                EXPECT_EQ(converted.height(), picture.height());
            } else {
                EXPECT_EQ(view.lines, QStringList());
                EXPECT_FALSE(QFile::exists(target));
            }
            EXPECT_EQ(test::hiddenEntries(root), QStringList());
        }
    }
}

}  // namespace
}  // namespace quillmere
