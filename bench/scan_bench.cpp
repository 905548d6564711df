// The folder scan on a tree of 100,000 files in 1,000 folders, searched
// recursively for "*.JPG" as the window searches for the JPG format, and the
// name matching alone. compare_scan_with_find.sh times find(1) on the same
// tree.

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "bench_measure.h"
#include "list/folder_scan.h"
#include "list/name_mask.h"

namespace quillmere::bench {

namespace {

constexpr int kGroups = 10;
constexpr int kFoldersPerGroup = 100;
constexpr int kFilesPerFolder = 100;
constexpr int kFiles = kGroups * kFoldersPerGroup * kFilesPerFolder;

// The names of a folder cycle through these; six of the ten match "*.JPG"
// (and find's -iname '*.jpg').
constexpr std::array<const char*, 10> kNameForms = {
    "IMG_%04d.JPG",  "img_%04d.jpg",   "Photo_%04d.Jpg",   "DSC%05d.jPg",  "scan_%04d.png",
    "IMG_%04d.jpeg", "notes_%04d.txt", "IMG_%04d.JPG.bak", "pic_%04d.JPG", "Thumb_%04d.jpg"};
constexpr int kMatchingForms = 6;
constexpr int kMatches = kFiles / static_cast<int>(kNameForms.size()) * kMatchingForms;

QByteArray fileName(int index) {
    std::array<char, 32> name{};
    std::snprintf(name.data(), name.size(), kNameForms[index % kNameForms.size()], index);
    return QByteArray(name.data());
}

void makeFile(const QByteArray& path) {
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) throw std::runtime_error("cannot create " + path.toStdString());
    ::close(descriptor);
}

// The tree, built once in the temporary folder and kept between runs:
// g0..g9, each with f000..f099, each with 100 files. A marker file says
// that it is complete.
QString scanTree() {
    const QString root = QDir::tempPath() + QStringLiteral("/quillmere-scan-bench-tree");
    const QString marker = root + QStringLiteral("/.complete");
    if (QFileInfo::exists(marker)) return root;
    QDir(root).removeRecursively();
    int index = 0;
    for (int group = 0; group < kGroups; ++group) {
        for (int folder = 0; folder < kFoldersPerGroup; ++folder) {
            const QString path =
                root + QStringLiteral("/g%1/f%2").arg(group).arg(folder, 3, 10, QChar(u'0'));
            if (!QDir().mkpath(path))
                throw std::runtime_error("cannot create " + path.toStdString());
            const QByteArray prefix = QFile::encodeName(path) + '/';
            for (int file = 0; file < kFilesPerFolder; ++file) makeFile(prefix + fileName(index++));
        }
    }
    makeFile(QFile::encodeName(marker));
    return root;
}

void ScanFolder(benchmark::State& state) {
    QString root;
    if (!prepare(state, [&] { root = scanTree(); })) return;
    qsizetype found = 0;
    try {
        for (auto _ : state) {
            const QStringList paths = scanFolder(root, QStringLiteral("*.JPG"), true);
            found = paths.size();
            benchmark::DoNotOptimize(paths.constData());
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    if (found != kMatches) state.SkipWithError("the scan did not find every matching file");
    state.counters["files/s"] = benchmark::Counter(
        double{kFiles} * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void MatchNames(benchmark::State& state) {
    std::vector<QByteArray> names;
    for (int index = 0; index < kFiles; ++index) names.push_back(fileName(index));
    const NameMask mask(QStringLiteral("*.JPG"));
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const QByteArray& name : names) found += mask.matches(QLatin1StringView(name)) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
    if (found != kMatches) state.SkipWithError("the mask did not match every matching name");
    state.counters["names/s"] = benchmark::Counter(
        double{kFiles} * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(ScanFolder)
    ->Name("ScanFolder/Recursive100k")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(MatchNames)->Name("MatchNames/100k")->Unit(benchmark::kMillisecond);

}  // namespace quillmere::bench
