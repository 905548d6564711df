// Shards of one list (--shard K/N): each entry falls in exactly one shard,
// decided by the entry alone, and the entries that can touch the same file
// fall together, so N runs give what one run over the whole list gives.
#include "cli/list_shard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <map>

#include "common/path_encoding.h"
#include "imaging/codecs/gif_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "run_program.h"
#include "support/folder_contents.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

int shardOf(const QString& source, int count) {
    int found = -1;
    for (int index = 0; index < count; ++index) {
        if (isInShard(source, {index, count})) {
            EXPECT_EQ(found, -1) << source.toStdString() << " falls in two shards";
            found = index;
        }
    }
    EXPECT_NE(found, -1) << source.toStdString() << " falls in no shard";
    return found;
}

TEST(ListShard, ReadsKOfNAndNothingElse) {
    const struct {
        const char* text;
        int index;  // -1: refused
        int count;
    } cases[] = {
        {"0/1", 0, 1},   {"2/3", 2, 3},        {"0/1000000", 0, 1000000},
        {"3/3", -1, 0},  {"1/0", -1, 0},       {"-1/2", -1, 0},
        {"1", -1, 0},    {"1/2/3", -1, 0},     {" 1/2", -1, 0},
        {"a/b", -1, 0},  {"0/1000001", -1, 0}, {"", -1, 0},
        {"1/+2", -1, 0},
    };
    for (const auto& c : cases) {
        const std::optional<ListShard> shard = parseListShard(c.text);
        ASSERT_EQ(shard.has_value(), c.index >= 0) << c.text;
        if (!shard) continue;
        EXPECT_EQ(shard->index, c.index) << c.text;
        EXPECT_EQ(shard->count, c.count) << c.text;
    }
}

TEST(ListShard, PutsEntriesThatTouchTheSameFileTogether) {
    // Each row: sources whose entries can read or write one same file.
    const QStringList together[] = {
        {"pics/a.png", "pics/a.gif", "pics/a.jpg", "pics/a"},  // one target
        {"x/b.c.PNG", "elsewhere/b.c.tiff", "/abs/b.c.bmp"},   // through an output folder
        {"caf\u00e9.png", "caf\u00e9.JPG"},
        // Names that are not UTF-8 keep their bytes.
        {decodePath("raw\xff.png"), decodePath("raw\xff.jpg")},
    };
    for (int count = 2; count <= 9; ++count) {
        for (const QStringList& sources : together) {
            const int first = shardOf(sources.front(), count);
            for (const QString& source : sources) {
                EXPECT_EQ(shardOf(source, count), first) << source.toStdString() << " of " << count;
            }
        }
    }
}

TEST(ListShard, SpreadsNamesEvenlyAndTheSameWayEverywhere) {
    std::map<int, int> sizes;
    for (int i = 0; i < 4000; ++i)
        ++sizes[shardOf(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0')), 4)];
    for (const auto& [shard, size] : sizes) {
        EXPECT_GT(size, 900) << "shard " << shard;
        EXPECT_LT(size, 1100) << "shard " << shard;
    }
    // The shards of other machines and later versions must agree with
    // these: a name's shard is part of how runs are split.
    const struct {
        const char* source;
        int shard;
    } pinned[] = {{"IMG_0001.JPG", 4}, {"photos/2024/holiday.png", 4}, {"a", 3}};
    for (const auto& p : pinned) EXPECT_EQ(shardOf(p.source, 7), p.shard) << p.source;
}

// Two copies of one tree: one converted in a single run, the other in
// three shards run by GNU parallel. Among the entries, two sources with
// one target (dup.png, dup.gif), a source that an earlier entry writes
// (chain.jpg, missing until chain.png is converted), a missing source, a
// picture that fails and existing targets written over.
TEST(ShardedRun, ThreeShardsThroughGnuParallelGiveTheFilesAndLogOfOneRun) {
    test::Sandbox sandbox;
    const QString root = QDir::cleanPath(sandbox.path("."));
    for (const QString copy : {"whole", "sharded"}) {
        for (int i = 0; i < 24; ++i) {
            const QString folder = i % 3 == 0 ? "pics/sub" : "pics";
            sandbox.write(QString("%1/tree/%2/p%3.png").arg(copy, folder).arg(i),
                          encodePng(test::photoLike(10 + i, 7, static_cast<unsigned>(i))));
        }
        sandbox.write(copy + "/tree/pics/dup.png", encodePng(test::photoLike(9, 9, 101)));
        sandbox.write(copy + "/tree/pics/dup.gif", encodeGif(test::photoLike(9, 9, 103)));
        sandbox.write(copy + "/tree/pics/chain.png", encodePng(test::photoLike(8, 6, 102)));
        sandbox.write(copy + "/tree/pics/p4.jpg", QByteArray("an old target, written over"));
        sandbox.write(copy + "/tree/pics/broken.png", QByteArray("\x89PNG\r\n\x1a\n broken"));
        sandbox.write(copy + "/tree/extra.list",
                      QByteArray("pics/dup.gif\npics/chain.jpg\npics/missing.png\n"));
    }
    const QStringList arguments = {"--to",         "JPG",          "--overwrite",
                                   "--keep-going", "--search",     "pics/*.png",
                                   "--recursive",  "--files-from", "extra.list"};

    const test::ProgramRun whole = test::runBatchProgram(arguments, root + "/whole/tree");

    QFile script(root + "/sharded/run-shard.sh");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    QString command = "cd tree && exec '" QUILLMERE_BATCH_PROGRAM "'";
    for (const QString& argument : arguments) command += " '" + argument + "'";
    script.write((command + " --shard \"$1\"/3 >../out$1 2>../err$1\n").toUtf8());
    script.close();
    QProcess parallel;
    parallel.setWorkingDirectory(root + "/sharded");
    parallel.start("parallel", {"--will-cite", "-j3", "sh", "run-shard.sh", ":::", "0", "1", "2"});
    ASSERT_TRUE(parallel.waitForFinished(60000)) << "GNU parallel (the setup script installs it)";
    // GNU parallel's status is the number of jobs that failed: the one
    // that holds broken.png.
    EXPECT_EQ(parallel.exitCode(), 1) << parallel.readAllStandardError().toStdString();

    EXPECT_EQ(test::folderContents(root + "/sharded/tree"),
              test::folderContents(root + "/whole/tree"));

    QStringList wholeLines = whole.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(wholeLines.takeLast(), "finished!");
    QStringList shardLines;
    QStringList shardErrors;
    for (int k = 0; k < 3; ++k) {
        QFile out(root + QString("/sharded/out%1").arg(k));
        QFile err(root + QString("/sharded/err%1").arg(k));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly) && err.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(out.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.takeLast(), "finished!") << "shard " << k;
        EXPECT_FALSE(lines.isEmpty()) << "shard " << k << " converted nothing";
        // A shard logs its entries in the order of the whole run.
        qsizetype at = 0;
        for (const QString& line : lines) {
            at = wholeLines.indexOf(line, at);
            ASSERT_GE(at, 0) << "shard " << k << ": " << line.toStdString();
            ++at;
        }
        shardLines += lines;
        shardErrors += QString::fromUtf8(err.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    wholeLines.sort();
    shardLines.sort();
    EXPECT_EQ(shardLines, wholeLines);
    EXPECT_EQ(shardErrors, whole.err.split('\n', Qt::SkipEmptyParts));
    EXPECT_EQ(whole.status, 1);
    EXPECT_TRUE(whole.out.contains("file already exist: pics/chain.jpg -->over write \n"))
        << whole.out.toStdString();
}

}  // namespace
}  // namespace quillmere
