#pragma once

#include <QProcess>

namespace quillmere::test {

// Waits until `count` files have been renamed into the folder that the
// inotify descriptor `watch` watches for IN_MOVED_TO, or the process has
// ended, or a minute has passed; returns how many were.
int awaitRenames(int watch, int count, QProcess& process);

}  // namespace quillmere::test
