#pragma once

#include <QStringList>
#include <vector>

namespace quillmere {

// For each entry of a run, the index of the last earlier entry whose
// target is the file the entry reads, or -1 when no earlier entry writes
// it. Files that exist are compared by device and inode, so links and
// different spellings of one path meet; a name that does not exist yet is
// compared by its folder and its name, the name without regard to case,
// which may wait needlessly on a file system that tells cases apart but
// never lets a read overtake the write it depends on.
std::vector<int> lastEarlierWriters(const QStringList& sources, const QStringList& targets);

// What each entry of a run waits for: the last earlier entry that writes
// the file it reads (as above), and the last earlier entry whose target is
// its own target (so that its existence test sees that entry's file), -1
// for none. The files are compared as above.
struct EntryDependencies {
    std::vector<int> sourceWriter;
    std::vector<int> targetWriter;
};
EntryDependencies entryDependencies(const QStringList& sources, const QStringList& targets);

}  // namespace quillmere
