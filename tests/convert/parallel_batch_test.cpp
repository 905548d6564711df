// Runs with workers preparing entries ahead must leave exactly what the
// sequential run leaves: the same log, the same pictures shown, the same
// files, even where entries read what earlier entries write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <optional>
#include <random>
#include <thread>

#include "batch_recording.h"
#include "common/app_error.h"
#include "common/path_encoding.h"
#include "convert/batch_runner.h"
#include "imaging/picture_encoding.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;

enum class Made {
    Picture,       // a picture of its own, encoded as the name's extension says
    Photo50,       // a JPEG photo made at quality 50
    Broken,        // bytes that no decoder takes
    Folder,        // an empty folder
    SymbolicLink,  // a symbolic link to `linkTo` (which need not exist)
    HardLink,      // another name of the file `linkTo`
};

struct MadeFile {
    QString name;
    Made what = Made::Picture;
    QString linkTo = {};
};

struct Scenario {
    std::string name;
    std::vector<MadeFile> files;
    QStringList entries;  // relative to the folder
    QString format;
    bool overwrite = false;
    // The log of the sequential run, the folder written "@"; not checked
    // when empty.
    QStringList log = {};
    bool fails = false;  // an error ends the run
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

unsigned seedOf(const QString& name) {
    unsigned seed = 7;
    for (const QChar c : name) seed = seed * 31 + c.unicode();
    return seed;
}

// A picture that differs from name to name, in size too.
Bitmap24 pictureFor(const QString& name) {
    const unsigned seed = seedOf(name);
    return test::photoLike(5 + static_cast<int>(seed % 7), 3 + static_cast<int>(seed / 7 % 5),
                           seed);
}

void make(const QString& root, const MadeFile& file) {
    const QString path = root + '/' + file.name;
    QDir().mkpath(QFileInfo(path).path());
    const auto write = [&](const std::vector<std::uint8_t>& bytes) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << path.toStdString();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    };
    switch (file.what) {
        case Made::Picture:
            write(encodePicture(pictureFor(file.name), encoderForTarget(path), 90));
            break;
        case Made::Photo50:
            write(encodePicture(test::photoLike(32, 24), EncoderKind::Jpeg, 50));
            break;
        case Made::Broken:
            write({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
            break;
        case Made::Folder:
            ASSERT_TRUE(QDir().mkpath(path));
            break;
        case Made::SymbolicLink:
            ASSERT_EQ(::symlink(encodePath(file.linkTo).constData(), encodePath(path).constData()),
                      0);
            break;
        case Made::HardLink:
            ASSERT_EQ(::link(encodePath(root + '/' + file.linkTo).constData(),
                             encodePath(path).constData()),
                      0);
            break;
    }
}

// Everything a run left behind, the folder written "@".
struct RunRecord {
    QStringList events;
    QString error;
    std::optional<BatchEnd> end;
    QStringList files;
};

// Runs the scenario in a fresh folder. With workers, every picture shown
// takes a moment, so that they are well ahead of the commits.
RunRecord runScenario(const Scenario& scenario, int workers) {
    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    for (const MadeFile& file : scenario.files) make(root, file);

    BatchPlan plan;
    for (const QString& entry : scenario.entries) plan.sources << root + '/' + entry;
    plan.formatItem = scenario.format;
    plan.quality = 90;
    plan.overwrite = scenario.overwrite;

    test::RecordingView view;
    if (workers > 0) view.onShow = [](int) { std::this_thread::sleep_for(3ms); };
    RunRecord record;
    try {
        BatchRunner runner(plan, workers);
        record.end = runner.run(view);
    } catch (const AppError& error) {
        record.error = test::withoutRoot(error.message(), root);
    }
    record.events = test::withoutRoot(view.events, root);
    record.files = test::folderContents(root);
    return record;
}

// A long list over a few names in several formats, links among them, so
// that many entries read what earlier ones write. `trouble` is listed in
// the middle, after `troubleFiles` are made.
Scenario longList(std::string name, QString format, bool overwrite, unsigned seed,
                  std::vector<MadeFile> troubleFiles = {}, QString trouble = {}) {
    Scenario scenario{std::move(name), {}, {}, std::move(format), overwrite};
    std::minstd_rand random(seed);
    QStringList pool = {"gone.png", "lp.bmp", "lq.jpg", "lr.tiff", "hp.png"};
    scenario.files = {{"lp.bmp", Made::SymbolicLink, "p.bmp"},
                      {"lq.jpg", Made::SymbolicLink, "q.jpg"},
                      {"lr.tiff", Made::SymbolicLink, "r.tiff"}};
    for (const char* stem : {"p", "q", "r"}) {
        for (const char* extension : {"png", "jpg", "bmp", "gif", "tiff"}) {
            const QString file = QStringLiteral("%1.%2").arg(stem, extension);
            pool << file;
            // The PNG files are always there; the rest in about half the cases.
            if (QString(extension) == "png" || random() % 2 == 0) scenario.files.push_back({file});
        }
    }
    scenario.files.push_back({"hp.png", Made::HardLink, "p.png"});
    // One pick in three is a name that the run writes.
    const QString written = "." + scenario.format.toLower();
    const QStringList targets = pool.filter(QRegularExpression("^[pqr]\\" + written + "$"));
    for (int i = 0; i < 40; ++i) {
        const QStringList& from = random() % 3 == 0 ? targets : pool;
        scenario.entries << from[static_cast<qsizetype>(random() % from.size())];
    }
    for (MadeFile& file : troubleFiles) scenario.files.push_back(std::move(file));
    if (!trouble.isEmpty()) scenario.entries.insert(20, trouble);
    scenario.fails = !trouble.isEmpty();
    return scenario;
}

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    for (const bool overwrite : {false, true}) {
        const QString mark = overwrite ? " -->over write " : "";
        const std::string suffix = overwrite ? "Overwriting" : "Keeping";
        all.push_back({"ANewTargetThenItAsASource" + suffix,
                       {{"a.png"}},
                       {"a.png", "a.bmp"},
                       "BMP",
                       overwrite,
                       {"@/a.bmp", "file already exist: @/a.bmp" + mark, "finished!"}});
        all.push_back({"AnExistingTargetThenItAsASource" + suffix,
                       {{"a.png"}, {"a.bmp"}},
                       {"a.png", "a.bmp"},
                       "BMP",
                       overwrite,
                       {"file already exist: @/a.bmp" + mark, "file already exist: @/a.bmp" + mark,
                        "finished!"}});
        all.push_back({"OneSourceTwice" + suffix,
                       {{"a.png"}},
                       {"a.png", "a.png"},
                       "BMP",
                       overwrite,
                       {"@/a.bmp", "file already exist: @/a.bmp" + mark, "finished!"}});
        all.push_back({"TwoSourcesOneTarget" + suffix,
                       {{"a.png"}, {"a.jpg"}},
                       {"a.png", "a.jpg"},
                       "BMP",
                       overwrite,
                       {"@/a.bmp", "file already exist: @/a.bmp" + mark, "finished!"}});
        all.push_back({"AFileOntoItselfThreeTimes" + suffix,
                       {{"a.jpg", Made::Photo50}},
                       {"a.jpg", "a.jpg", "a.jpg"},
                       "JPG",
                       overwrite,
                       {"file already exist: @/a.jpg" + mark, "file already exist: @/a.jpg" + mark,
                        "file already exist: @/a.jpg" + mark, "finished!"}});
    }
    all.push_back({"ThroughASymbolicLinkToANewTarget",
                   {{"a.png"}, {"l.bmp", Made::SymbolicLink, "a.bmp"}},
                   {"a.png", "l.bmp", "a.bmp"},
                   "BMP",
                   true,
                   {"@/a.bmp", "file already exist: @/l.bmp -->over write ",
                    "file already exist: @/a.bmp -->over write ", "finished!"}});
    // A link that leads nowhere is replaced by the file written in its
    // place; its destination is not made.
    all.push_back({"ADanglingSymbolicLinkAsATarget",
                   {{"l.png"}, {"l.bmp", Made::SymbolicLink, "d.bmp"}, {"d.png"}},
                   {"l.png", "l.bmp", "d.png", "d.bmp"},
                   "BMP",
                   true,
                   {"@/l.bmp", "file already exist: @/l.bmp -->over write ", "@/d.bmp",
                    "file already exist: @/d.bmp -->over write ", "finished!"}});
    all.push_back({"ThroughAHardLinkToAnExistingTarget",
                   {{"a.png"}, {"a.bmp"}, {"h.bmp", Made::HardLink, "a.bmp"}},
                   {"a.png", "h.bmp", "a.bmp"},
                   "BMP",
                   true,
                   {"file already exist: @/a.bmp -->over write ",
                    "file already exist: @/h.bmp -->over write ",
                    "file already exist: @/a.bmp -->over write ", "finished!"}});
    all.push_back({"OnePathSpelledThreeWays",
                   {{"a.png"}, {"sub", Made::Folder}},
                   {"a.png", "./a.bmp", "sub/../a.bmp"},
                   "BMP",
                   true,
                   {"@/a.bmp", "file already exist: @/./a.bmp -->over write ",
                    "file already exist: @/sub/../a.bmp -->over write ", "finished!"}});
    all.push_back(longList("ALongListToBmpOverwriting", "BMP", true, 1));
    all.push_back(longList("ALongListToJpgOverwriting", "JPG", true, 2));
    all.push_back(longList("ALongListToTiffKeeping", "TIFF", false, 3));
    all.push_back(longList("ALongListToGifOverwriting", "GIF", true, 4));
    all.push_back(longList("ALoadErrorInALongList", "BMP", true, 5, {{"broken.png", Made::Broken}},
                           "broken.png"));
    all.push_back(longList("AWriteErrorInALongList", "BMP", true, 6,
                           {{"w.png"}, {"w.bmp", Made::Folder}}, "w.png"));
    return all;
}

class DependentEntriesTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(DependentEntriesTest, GiveTheSequentialResult) {
    const Scenario& scenario = GetParam();
    const RunRecord sequential = runScenario(scenario, 0);
    QStringList log;
    for (const QString& event : sequential.events) {
        if (event.startsWith("line ")) log << event.mid(5);
        if (event.startsWith("append ")) log.last() += event.mid(7);
    }
    if (!scenario.log.isEmpty()) {
        EXPECT_EQ(log, scenario.log);
    }
    ASSERT_GE(log.size(), 1);
    EXPECT_EQ(sequential.error.isEmpty(), !scenario.fails) << sequential.error.toStdString();

    for (const int workers : {1, 2, 3, 8}) {
        SCOPED_TRACE("workers: " + std::to_string(workers));
        const RunRecord parallel = runScenario(scenario, workers);
        EXPECT_EQ(parallel.events, sequential.events);
        EXPECT_EQ(parallel.error, sequential.error);
        EXPECT_EQ(parallel.end, sequential.end);
        EXPECT_EQ(parallel.files, sequential.files);
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, DependentEntriesTest, ::testing::ValuesIn(scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             return info.param.name;
                         });

TEST(ParallelBatch, TheLongListsReallyDependOnEarlierEntries) {
    // Without many entries that read what earlier ones wrote, the
    // comparisons above would prove little.
    for (const Scenario& scenario : scenarios()) {
        if (scenario.entries.size() < 40) continue;
        SCOPED_TRACE(scenario.name);
        int readsOfEarlierTargets = 0;
        QStringList written;
        for (const QString& entry : scenario.entries) {
            if (written.contains(entry)) ++readsOfEarlierTargets;
            written << entry.left(entry.lastIndexOf('.') + 1) + scenario.format.toLower();
        }
        EXPECT_GE(readsOfEarlierTargets, 5);
    }
}

QString numbered(int i, const char* extension) {
    return QStringLiteral("n%1.%2").arg(i, 2, 10, QLatin1Char('0')).arg(extension);
}

struct ErrorCase {
    const char* name;
    // Made among the pictures n00.png to n19.png, so that the 10th entry
    // (n09.png) cannot be loaded, or its target cannot be written.
    MadeFile trouble;
    bool loadFails;
};

void PrintTo(const ErrorCase& error, std::ostream* out) {
    *out << error.name;
}

class FirstErrorTest : public ::testing::TestWithParam<std::tuple<ErrorCase, int>> {};

TEST_P(FirstErrorTest, EndsALongRunAsItEndsASequentialOne) {
    const auto& [errorCase, workers] = GetParam();
    const auto run = [&](int workerCount, const QString& root) {
        for (int i = 0; i < 20; ++i) {
            if (i != 9 || !errorCase.loadFails) make(root, {numbered(i, "png")});
        }
        make(root, errorCase.trouble);
        BatchPlan plan;
        for (int i = 0; i < 20; ++i) plan.sources << root + '/' + numbered(i, "png");
        plan.formatItem = "BMP";
        test::RecordingView view;
        QString error;
        try {
            BatchRunner(plan, workerCount).run(view);
        } catch (const AppError& failure) {
            error = failure.message();
        }
        return std::pair{view.lines, error};
    };

    const test::Sandbox reference;
    const QString referenceRoot = QDir::cleanPath(reference.path("."));
    const auto [sequentialLog, sequentialError] = run(0, referenceRoot);

    const test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    const auto [log, error] = run(workers, root);

    QStringList written;
    for (int i = 0; i < 9; ++i) written << root + '/' + numbered(i, "bmp");
    EXPECT_EQ(log, written);
    EXPECT_EQ(test::withoutRoot(log, root), test::withoutRoot(sequentialLog, referenceRoot));
    EXPECT_EQ(test::withoutRoot(error, root), test::withoutRoot(sequentialError, referenceRoot));
    if (errorCase.loadFails) {
        EXPECT_FALSE(error.isEmpty());
    } else {
        EXPECT_TRUE(error.startsWith("Cannot create file \"" + root + "/n09.bmp\""))
            << error.toStdString();
    }
    for (int i = 10; i < 20; ++i) {
        EXPECT_FALSE(QFileInfo::exists(root + '/' + numbered(i, "bmp"))) << i;
    }
    EXPECT_EQ(test::hiddenEntries(root), QStringList());
    EXPECT_EQ(test::folderContents(root), test::folderContents(referenceRoot));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FirstErrorTest,
    ::testing::Combine(::testing::Values(ErrorCase{"ALoadError", {"n09.png", Made::Broken}, true},
                                         ErrorCase{
                                             "AWriteError", {"n09.bmp", Made::Folder}, false}),
                       ::testing::Values(0, 1, 3)),
    [](const ::testing::TestParamInfo<std::tuple<ErrorCase, int>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" +
               test::workerCountName(std::get<1>(info.param));
    });

}  // namespace
}  // namespace quillmere
