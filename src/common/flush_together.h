#pragma once

#include <span>
#include <vector>

namespace quillmere {

// Makes the data of several open files durable with as few flushes of the
// disk as their file systems allow, so that many small files cost one
// flush instead of one each. On a file system known to write out and
// flush everything it holds when asked to (ext2 to ext4, XFS, Btrfs, F2FS,
// tmpfs, and overlayfs, which passes the request on to its upper layer),
// one syncfs per file system writes every file's data out, commits the
// files' sizes and blocks to its journal and empties the disk's write
// cache; each file is then asked for its own write errors
// (sync_file_range, which only waits here), so that a failure is pinned
// on the file it hit. A file anywhere else (FUSE and network file systems,
// which may ignore syncfs) is flushed on its own with fsync.
// Returns, for each descriptor in order, 0 or the errno value of its
// failure (a failed syncfs fails every file on that file system that
// reports no error of its own).
std::vector<int> flushTogether(std::span<const int> descriptors);

// Whether one syncfs makes the written-out files of a file system of this
// type (statfs's f_type) durable.
bool flushesWholeFileSystem(long fileSystemType);

}  // namespace quillmere
