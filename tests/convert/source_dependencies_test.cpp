#include "convert/source_dependencies.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>

#include "common/path_encoding.h"
#include "support/current_folder.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

enum class Target { Absent, Present };

struct DependencyCase {
    const char* what;
    std::vector<Target> states;  // of dir/a.bmp, the file most cases write
    // Paths relative to the test's folder, which is the current one; "@"
    // stands for that folder written in full.
    QStringList sources;
    QStringList targets;
    std::vector<int> writers;
};

// The folder: dir/a.png, dir/b.png, dir/sub/, link-dir -> dir, and
// dir/s.bmp -> a.bmp; with dir/a.bmp present, dir/h.bmp is a hard link to it.
const DependencyCase kCases[] = {
    {"the same path",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/a.bmp"},
     {"dir/a.bmp", "dir/a.bmp"},
     {-1, 0}},
    {"the folder written with a dot",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/./a.bmp"},
     {"dir/a.bmp", "dir/./a.bmp"},
     {-1, 0}},
    {"the folder written through its parent",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/../dir/a.bmp", "dir/sub/../a.bmp"},
     {"dir/a.bmp", "dir/../dir/a.bmp", "dir/sub/../a.bmp"},
     {-1, 0, 1}},
    {"an absolute and a relative path",
     {Target::Absent, Target::Present},
     {"@/dir/a.png", "dir/a.bmp"},
     {"@/dir/a.bmp", "dir/a.bmp"},
     {-1, 0}},
    {"a link to the folder",
     {Target::Absent, Target::Present},
     {"dir/a.png", "link-dir/a.bmp"},
     {"dir/a.bmp", "link-dir/a.bmp"},
     {-1, 0}},
    {"a hard link to the target",
     {Target::Present},
     {"dir/a.png", "dir/h.bmp"},
     {"dir/a.bmp", "dir/h.bmp"},
     {-1, 0}},
    {"a symbolic link to the target",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/s.bmp"},
     {"dir/a.bmp", "dir/s.bmp"},
     {-1, 0}},
    {"a symbolic link as the target",
     {Target::Absent, Target::Present},
     {"dir/s.png", "dir/a.bmp"},
     {"dir/s.bmp", "dir/a.bmp"},
     {-1, 0}},
    {"a new name in another letter case, which may be the same file",
     {Target::Absent},
     {"dir/a.png", "dir/a.bmp"},
     {"dir/A.BMP", "dir/a.bmp"},
     {-1, 0}},
    {"a folder that does not exist",
     {Target::Absent},
     {"dir/a.png", "nowhere/./a.bmp"},
     {"nowhere/a.bmp", "nowhere/./a.bmp"},
     {-1, 0}},
    {"unrelated files beside related ones",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/b.png", "dir/b.bmp", "dir/c.bmp"},
     {"dir/a.bmp", "dir/b.bmp", "dir/b.bmp", "dir/c.bmp"},
     {-1, -1, 1, -1}},
    {"a file written only after it is read",
     {Target::Absent, Target::Present},
     {"dir/a.bmp", "dir/a.png"},
     {"dir/a.bmp", "dir/a.bmp"},
     {-1, -1}},
    {"the last of several earlier writers",
     {Target::Absent, Target::Present},
     {"dir/a.png", "dir/a.jpg", "dir/b.png", "dir/a.gif", "dir/x.png", "dir/a.bmp"},
     {"dir/a.bmp", "dir/a.bmp", "dir/b.bmp", "dir/a.bmp", "dir/x.bmp", "dir/a.bmp"},
     {-1, -1, -1, -1, -1, 3}},
    {"a file converted onto itself, again and again",
     {Target::Absent, Target::Present},
     {"dir/a.bmp", "dir/a.bmp", "dir/a.bmp"},
     {"dir/a.bmp", "dir/a.bmp", "dir/a.bmp"},
     {-1, 0, 1}},
};

TEST(LastEarlierWriters, FindsTheEntryThatWritesTheSourceLast) {
    for (const DependencyCase& c : kCases) {
        for (const Target state : c.states) {
            SCOPED_TRACE(std::string(c.what) +
                         (state == Target::Present ? ", target present" : ", target absent"));
            const test::Sandbox sandbox;
            const QString root = QDir::cleanPath(sandbox.path("."));
            sandbox.write("dir/a.png", QByteArray("a"));
            sandbox.write("dir/b.png", QByteArray("b"));
            ASSERT_TRUE(QDir().mkpath(sandbox.path("dir/sub")));
            ASSERT_EQ(::symlink("dir", encodePath(sandbox.path("link-dir")).constData()), 0);
            ASSERT_EQ(::symlink("a.bmp", encodePath(sandbox.path("dir/s.bmp")).constData()), 0);
            if (state == Target::Present) {
                sandbox.write("dir/a.bmp", QByteArray("old"));
                ASSERT_EQ(::link(encodePath(sandbox.path("dir/a.bmp")).constData(),
                                 encodePath(sandbox.path("dir/h.bmp")).constData()),
                          0);
            }
            const test::CurrentFolder current(root);
            QStringList sources = c.sources;
            QStringList targets = c.targets;
            sources.replaceInStrings("@", root);
            targets.replaceInStrings("@", root);
            EXPECT_EQ(lastEarlierWriters(sources, targets), c.writers);
        }
    }
}

TEST(LastEarlierWriters, AnEmptyListHasNoWriters) {
    EXPECT_EQ(lastEarlierWriters({}, {}), std::vector<int>());
}

}  // namespace
}  // namespace quillmere
