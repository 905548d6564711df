// Entries committed in groups: nothing of a group shows before it is
// committed, then its entries are renamed, shown and logged in list order;
// a failing entry ends it with the entries before it committed and none
// after it, and a stop ends it at an entry boundary.
#include "convert/commit_group.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

#include "batch_recording.h"
#include "convert/entry_conversion.h"
#include "imaging/picture_encoding.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// An entry ready to be staged: a picture of its own encoded as BMP for
// `target`.
PreparedEntry preparedFor(const QString& target, int seed) {
    PreparedEntry entry;
    entry.outputPath = target;
    entry.picture = test::photoLike(4 + seed, 3, static_cast<unsigned>(seed));
    entry.pixels = std::int64_t{entry.picture.width()} * entry.picture.height();
    entry.encoder = EncoderKind::Bmp;
    entry.encoded = encodePicture(entry.picture, EncoderKind::Bmp, 90);
    return entry;
}

struct Committing {
    test::RecordingView view;
    std::vector<int> committed;
    CommitGroup::Committed onCommitted = [this](int index, std::int64_t, EntryStatus) {
        committed.push_back(index);
    };
    int stopAfter = -1;  // entries committed before a stop is asked for
    CommitGroup::Stopping stopping = [this] {
        return stopAfter >= 0 && static_cast<int>(committed.size()) >= stopAfter;
    };
};

class CommitGroupTest : public ::testing::Test {
  protected:
    QString root() const { return QDir::cleanPath(sandbox_.path(".")); }
    QString target(const QString& name) const { return root() + '/' + name; }
    // Stages entry `index` writing `name`, as the run does.
    void stage(int index, const QString& name, bool overwrite = false) {
        PreparedEntry entry = preparedFor(target(name), index);
        stageEntry(index, entry, overwrite, group_);
    }

    test::Sandbox sandbox_;
    CommitGroup group_;
    Committing run_;
};

TEST_F(CommitGroupTest, ShowsNothingUntilCommittedThenEverythingInListOrder) {
    sandbox_.write("b.bmp", QByteArray("old b"));
    sandbox_.write("c.bmp", QByteArray("old c"));
    stage(0, "a.bmp");
    stage(1, "b.bmp", true);
    group_.addSkipped(2);
    PreparedEntry kept = preparedFor(target("c.bmp"), 3);
    stageEntry(3, kept, false, group_);

    // Only hidden temporary files so far, the old targets untouched.
    EXPECT_FALSE(QFileInfo::exists(target("a.bmp")));
    EXPECT_EQ(test::Sandbox::read(target("b.bmp")),
              std::vector<std::uint8_t>({'o', 'l', 'd', ' ', 'b'}));
    EXPECT_EQ(test::hiddenEntries(root()).size(), 2);
    EXPECT_TRUE(run_.view.lines.isEmpty());

    EXPECT_TRUE(group_.commit(run_.view, run_.onCommitted, run_.stopping));

    EXPECT_EQ(
        run_.view.lines,
        QStringList({target("a.bmp"), "file already exist: " + target("b.bmp") + " -->over write ",
                     "file already exist: " + target("c.bmp")}));
    EXPECT_EQ(run_.view.picturesShown, 3);
    EXPECT_EQ(run_.committed, std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(test::Sandbox::read(target("b.bmp")),
              encodePicture(test::photoLike(5, 3, 1), EncoderKind::Bmp, 90));
    EXPECT_EQ(test::Sandbox::read(target("c.bmp")),
              std::vector<std::uint8_t>({'o', 'l', 'd', ' ', 'c'}));
    EXPECT_TRUE(QFileInfo::exists(target("a.bmp")));
    EXPECT_EQ(test::hiddenEntries(root()), QStringList());
    EXPECT_TRUE(group_.empty());
}

// The third of four entries cannot be written: its target is a folder, or
// its encoding failed while its target exists and is to be replaced.
enum class Failing { TargetIsAFolder, EncodingFailsOverAnExistingTarget };

class FailingMiddleEntryTest : public CommitGroupTest,
                               public ::testing::WithParamInterface<Failing> {};

TEST_P(FailingMiddleEntryTest, CommitsTheEntriesBeforeItAndNoneAfter) {
    const bool replacing = GetParam() == Failing::EncodingFailsOverAnExistingTarget;
    stage(0, "a.bmp");
    stage(1, "b.bmp");
    if (replacing) {
        sandbox_.write("c.bmp", QByteArray("old c"));
        PreparedEntry entry = preparedFor(target("c.bmp"), 2);
        entry.encoded.reset();
        entry.encodeError = std::make_exception_ptr(std::runtime_error("cannot encode"));
        stageEntry(2, entry, true, group_);
    } else {
        ASSERT_TRUE(QDir(root()).mkdir("c.bmp"));
        stage(2, "c.bmp");
    }
    stage(3, "d.bmp");
    EXPECT_TRUE(group_.due(CommitGroup::Clock::now()));

    EXPECT_THROW(group_.commit(run_.view, run_.onCommitted, run_.stopping), std::runtime_error);

    QStringList expected = {target("a.bmp"), target("b.bmp")};
    // The failing entry was shown and, when its target existed, logged as
    // existing, as committing it alone does before the write fails.
    if (replacing) expected << "file already exist: " + target("c.bmp");
    EXPECT_EQ(run_.view.lines, expected);
    EXPECT_EQ(run_.view.picturesShown, 3);
    EXPECT_EQ(run_.committed, std::vector<int>({0, 1}));
    EXPECT_TRUE(QFileInfo::exists(target("b.bmp")));
    if (replacing) {
        EXPECT_EQ(test::Sandbox::read(target("c.bmp")),
                  std::vector<std::uint8_t>({'o', 'l', 'd', ' ', 'c'}));
    }
    EXPECT_FALSE(QFileInfo::exists(target("d.bmp")));
    EXPECT_EQ(test::hiddenEntries(root()), QStringList());
    EXPECT_TRUE(group_.empty());
}

TEST_P(FailingMiddleEntryTest, GoingOnCommitsTheEntriesAfterItToo) {
    const bool replacing = GetParam() == Failing::EncodingFailsOverAnExistingTarget;
    stage(0, "a.bmp");
    if (replacing) {
        sandbox_.write("c.bmp", QByteArray("old c"));
        PreparedEntry entry = preparedFor(target("c.bmp"), 1);
        entry.encoded.reset();
        entry.encodeError = std::make_exception_ptr(std::runtime_error("cannot encode"));
        stageEntry(1, entry, true, group_);
    } else {
        ASSERT_TRUE(QDir(root()).mkdir("c.bmp"));
        stage(1, "c.bmp");
    }
    group_.addLoadFailed(2, std::make_exception_ptr(std::runtime_error("cannot load")));
    stage(3, "d.bmp");
    std::vector<std::pair<int, std::string>> failures;
    const CommitGroup::Failed goOn = [&](int index, const std::exception_ptr& error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::runtime_error& failure) {
            failures.emplace_back(index, failure.what());
        }
        return true;
    };

    EXPECT_TRUE(group_.commit(run_.view, run_.onCommitted, run_.stopping, goOn));

    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].first, 1);
    EXPECT_EQ(failures[1], std::make_pair(2, std::string("cannot load")));
    QStringList expected = {target("a.bmp")};
    if (replacing) expected << "file already exist: " + target("c.bmp");
    expected << target("d.bmp");
    EXPECT_EQ(run_.view.lines, expected);
    EXPECT_TRUE(run_.view.events.contains("load failed"));
    EXPECT_EQ(run_.committed, std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(test::Sandbox::read(target("d.bmp")),
              encodePicture(test::photoLike(7, 3, 3), EncoderKind::Bmp, 90));
    if (replacing) {
        EXPECT_EQ(test::Sandbox::read(target("c.bmp")),
                  std::vector<std::uint8_t>({'o', 'l', 'd', ' ', 'c'}));
    }
    EXPECT_EQ(test::hiddenEntries(root()), QStringList());
    EXPECT_TRUE(group_.empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, FailingMiddleEntryTest,
                         ::testing::Values(Failing::TargetIsAFolder,
                                           Failing::EncodingFailsOverAnExistingTarget));

TEST_F(CommitGroupTest, AStopEndsItAtAnEntryBoundary) {
    for (int i = 0; i < 4; ++i) stage(i, QStringLiteral("e%1.bmp").arg(i));
    run_.stopAfter = 2;

    EXPECT_FALSE(group_.commit(run_.view, run_.onCommitted, run_.stopping));

    EXPECT_EQ(run_.view.lines, QStringList({target("e0.bmp"), target("e1.bmp")}));
    EXPECT_FALSE(QFileInfo::exists(target("e2.bmp")));
    EXPECT_FALSE(QFileInfo::exists(target("e3.bmp")));
    EXPECT_EQ(test::hiddenEntries(root()), QStringList());
}

TEST_F(CommitGroupTest, IsDueAtItsLimits) {
    CommitGroup::Limits limits;
    limits.entries = 3;
    limits.bytes = 1000;
    limits.age = std::chrono::hours(1);
    const auto now = CommitGroup::Clock::now();

    CommitGroup byCount(limits);
    EXPECT_FALSE(byCount.due(now));
    for (int i = 0; i < 2; ++i) byCount.addSkipped(i);
    EXPECT_FALSE(byCount.due(now));
    byCount.addSkipped(2);
    EXPECT_TRUE(byCount.due(now));

    CommitGroup byBytes(limits);
    byBytes.addKept(0, test::photoLike(10, 10), 100, target("x.bmp"));  // 300 bytes held
    EXPECT_FALSE(byBytes.due(now));
    byBytes.addKept(1, test::photoLike(20, 20), 400, target("y.bmp"));  // 1200 more
    EXPECT_TRUE(byBytes.due(now));

    CommitGroup byAge(limits);
    byAge.addSkipped(0);
    EXPECT_FALSE(byAge.due(now));
    EXPECT_TRUE(byAge.due(now + std::chrono::hours(2)));
}

}  // namespace
}  // namespace quillmere
