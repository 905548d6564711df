// The batch runner's controls: stopping a run, the progress it reports and
// how far its workers may prepare ahead of the commits.
#include "convert/batch_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "batch_recording.h"
#include "common/path_encoding.h"
#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;

// A folder of `count` small pictures e00.png, e01.png... and the plan that
// converts them all to BMP.
class PictureFolder {
  public:
    explicit PictureFolder(int count) : root_(QDir::cleanPath(sandbox_.path("."))) {
        plan.formatItem = "BMP";
        for (int i = 0; i < count; ++i) {
            names << QStringLiteral("e%1.png").arg(i, 2, 10, QLatin1Char('0'));
            plan.sources << sandbox_.write(names.last(), encodePng(test::photoLike(8, 6, i)));
        }
    }
    QString root() const { return root_; }
    QString target(int index) const {
        return root_ + '/' + QString(names[index]).replace(".png", ".bmp");
    }

    QStringList names;
    BatchPlan plan;

  private:
    test::Sandbox sandbox_;
    QString root_;
};

enum class StopAt { Never, BeforeTheRun, AfterTheSecondEntry, FromAnotherThreadDuringTheThird };

struct StopCase {
    const char* name;
    StopAt when;
    int entriesDone;  // before the run ends
};

void PrintTo(const StopCase& stop, std::ostream* out) {
    *out << stop.name;
}

class StopTest : public ::testing::TestWithParam<std::tuple<StopCase, int>> {};

TEST_P(StopTest, EndsTheRunAfterTheEntryBeingCommitted) {
    const auto& [stop, workers] = GetParam();
    PictureFolder folder(8);
    BatchRunner runner(folder.plan, workers);
    test::RecordingView view;
    switch (stop.when) {
        case StopAt::Never:
            break;
        case StopAt::BeforeTheRun:
            runner.requestStop();
            break;
        case StopAt::AfterTheSecondEntry:
            view.onProgress = [&](const BatchProgress& progress) {
                if (progress.done == 2) runner.requestStop();
            };
            break;
        case StopAt::FromAnotherThreadDuringTheThird:
            view.onShow = [&](int entry) {
                if (entry == 2) std::thread([&] { runner.requestStop(); }).join();
            };
            break;
    }

    const BatchEnd end = runner.run(view);

    const bool stopped = stop.when != StopAt::Never;
    EXPECT_EQ(end, stopped ? BatchEnd::Stopped : BatchEnd::Finished);
    QStringList expected;
    for (int i = 0; i < stop.entriesDone; ++i) expected << folder.target(i);
    expected << (stopped ? "stopped!" : "finished!");
    EXPECT_EQ(view.lines, expected);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(QFileInfo::exists(folder.target(i)), i < stop.entriesDone) << i;
    }
    EXPECT_EQ(test::hiddenEntries(folder.root()), QStringList());
    EXPECT_EQ(static_cast<int>(view.progress.size()), stop.entriesDone);
}

INSTANTIATE_TEST_SUITE_P(
    Stops, StopTest,
    ::testing::Combine(::testing::Values(StopCase{"Never", StopAt::Never, 8},
                                         StopCase{"BeforeTheRun", StopAt::BeforeTheRun, 0},
                                         StopCase{"AfterTheSecondEntry",
                                                  StopAt::AfterTheSecondEntry, 2},
                                         StopCase{"FromAnotherThreadDuringTheThird",
                                                  StopAt::FromAnotherThreadDuringTheThird, 3}),
                       ::testing::Values(0, 1, 3)),
    [](const ::testing::TestParamInfo<std::tuple<StopCase, int>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               test::workerCountName(std::get<1>(info.param));
    });

class RunnerTest : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(WorkerCounts, RunnerTest, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return test::workerCountName(info.param);
                         });

TEST_P(RunnerTest, ReportsTheProgressAfterEveryEntry) {
    const test::Sandbox sandbox;
    sandbox.write("b.bmp", QByteArray("kept"));
    BatchPlan plan;
    plan.formatItem = "BMP";
    plan.sources = {sandbox.write("a.png", encodePng(test::photoLike(6, 4))),
                    sandbox.path("gone.png"),
                    sandbox.write("b.png", encodePng(test::photoLike(3, 5))),
                    sandbox.write("c.png", encodePng(test::photoLike(10, 1)))};
    test::RecordingView view;
    EXPECT_EQ(BatchRunner(plan, GetParam()).run(view), BatchEnd::Finished);

    // The skipped entry counts as done; the kept target's picture was
    // still loaded and shown.
    const std::vector<std::array<std::int64_t, 4>> expected = {
        {1, 4, 24, 1}, {2, 4, 24, 1}, {3, 4, 39, 2}, {4, 4, 49, 3}};
    ASSERT_EQ(view.progress.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(view.progress[i].done, expected[i][0]);
        EXPECT_EQ(view.progress[i].total, expected[i][1]);
        EXPECT_EQ(view.progress[i].pixels, expected[i][2]);
        // Each report comes once the entry's log line is out.
        EXPECT_EQ(view.linesAtProgress[i], expected[i][3]);
    }
}

// The sources of a folder that have been opened so far, seen through
// inotify: a worker opens an entry's source as it starts to prepare it.
class OpenedSources {
  public:
    OpenedSources(const QString& folder, QStringList names) : names_(std::move(names)) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ >= 0) watch_ = ::inotify_add_watch(fd_, encodePath(folder).constData(), IN_OPEN);
    }
    ~OpenedSources() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenedSources(const OpenedSources&) = delete;
    OpenedSources& operator=(const OpenedSources&) = delete;

    bool watching() const { return watch_ >= 0; }

    // The highest index of a source opened so far; -1 before any.
    int highest() {
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0) return highest_;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0) {
                    const int index = static_cast<int>(names_.indexOf(decodePath(event->name)));
                    highest_ = std::max(highest_, index);
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

  private:
    QStringList names_;
    int fd_ = -1;
    int watch_ = -1;
    int highest_ = -1;
};

TEST_P(RunnerTest, PreparesAtMostWorkersPlusOneEntriesAtOnce) {
    const int workers = GetParam();
    const int count = 16;
    PictureFolder folder(count);
    OpenedSources opened(folder.root(), folder.names);
    ASSERT_TRUE(opened.watching());

    // Groups of one entry: each entry is committed as soon as it is taken.
    CommitGroup::Limits oneAtATime;
    oneAtATime.entries = 1;
    BatchRunner runner(folder.plan, workers, PrepareQueue::kNoBudget, oneAtATime);
    test::RecordingView view;
    int mostAtOnce = 0;
    bool reachedEveryWindowEnd = true;
    view.onShow = [&](int entry) {
        // The entries before `entry` are committed, so the workers may have
        // started `workers` entries after it; they get there (after one
        // failure, the test waits no more)...
        const int windowEnd = std::min(entry + workers, count - 1);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (reachedEveryWindowEnd && opened.highest() < windowEnd) {
            if (std::chrono::steady_clock::now() > deadline) {
                reachedEveryWindowEnd = false;
                ADD_FAILURE() << "entry " << windowEnd << " was not started while entry " << entry
                              << " was committed";
            }
            std::this_thread::sleep_for(1ms);
        }
        // ...and go no further, however long the commit takes.
        std::this_thread::sleep_for(20ms);
        const int atOnce = opened.highest() - entry + 1;
        mostAtOnce = std::max(mostAtOnce, atOnce);
        EXPECT_LE(atOnce, workers + 1) << "entries prepared while committing entry " << entry;
    };
    EXPECT_EQ(runner.run(view), BatchEnd::Finished);
    EXPECT_EQ(view.lines.size(), count + 1);
    EXPECT_EQ(mostAtOnce, workers + 1);
}

}  // namespace
}  // namespace quillmere
