// A run told what to do after a failed entry: the handler sees each
// failure in list order with its source; going on commits the entries
// after it as usual, ending propagates the error as a run without a
// handler does.
#include <gtest/gtest.h>

#include <QDir>
#include <stdexcept>
#include <utility>

#include "batch_recording.h"
#include "convert/batch_runner.h"
#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using AfterFailure = BatchRunner::AfterFailure;

class EntryFailuresTest : public ::testing::TestWithParam<int> {
  protected:
    EntryFailuresTest() : root(QDir::cleanPath(sandbox.path("."))) {
        plan.formatItem = "BMP";
        plan.sources << sandbox.write("a.png", encodePng(test::photoLike(8, 6, 1)))
                     << sandbox.write("broken.gif", QByteArray("nothing like a GIF"))
                     << sandbox.write("b.png", encodePng(test::photoLike(8, 6, 2)))
                     << sandbox.write("c.png", encodePng(test::photoLike(8, 6, 3)));
        // b.png cannot be written: a folder stands at its target.
        EXPECT_TRUE(QDir(root).mkdir("b.bmp"));
    }

    // Runs the plan; the failures the handler saw come back as
    // "SOURCE: MESSAGE", an error that ended the run as "ended: MESSAGE".
    QStringList run(AfterFailure after) {
        QStringList seen;
        BatchRunner runner(plan, GetParam());
        runner.onEntryFailed([&](const QString& source, const std::exception_ptr& error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& failure) {
                seen << source + ": " + QString::fromUtf8(failure.what());
            }
            return after;
        });
        try {
            runner.run(view);
        } catch (const std::exception& error) {
            seen << "ended: " + QString::fromUtf8(error.what());
        }
        return seen;
    }

    test::Sandbox sandbox;
    const QString root;
    BatchPlan plan;
    test::RecordingView view;
};

INSTANTIATE_TEST_SUITE_P(WorkerCounts, EntryFailuresTest, ::testing::Values(0, 1, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return test::workerCountName(info.param);
                         });

TEST_P(EntryFailuresTest, GoingOnReportsEachFailureAndCommitsTheRest) {
    const QStringList seen = run(AfterFailure::GoOn);

    ASSERT_EQ(seen.size(), 2) << seen.join('\n').toStdString();
    EXPECT_EQ(seen[0], plan.sources[1] + ": Invalid GIF signature");
    EXPECT_TRUE(seen[1].startsWith(plan.sources[2] + ": Cannot create file \"" + root + "/b.bmp\""))
        << seen[1].toStdString();
    EXPECT_EQ(view.lines, (QStringList{root + "/a.bmp", root + "/c.bmp", "finished!"}));
    EXPECT_EQ(view.events.count("load failed"), 1);
    ASSERT_FALSE(view.progress.empty());
    EXPECT_EQ(view.progress.back().done, 4);
    EXPECT_TRUE(QFileInfo(root + "/c.bmp").isFile());
    EXPECT_EQ(test::hiddenEntries(root), QStringList());
}

TEST_P(EntryFailuresTest, EndingPropagatesTheFirstFailure) {
    const QStringList seen = run(AfterFailure::End);

    EXPECT_EQ(seen, (QStringList{plan.sources[1] + ": Invalid GIF signature",
                                 "ended: Invalid GIF signature"}));
    EXPECT_EQ(view.lines, QStringList{root + "/a.bmp"});
    EXPECT_FALSE(QFileInfo::exists(root + "/c.bmp"));
    EXPECT_EQ(test::hiddenEntries(root), QStringList());
}

}  // namespace
}  // namespace quillmere
