#include "folder_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>

namespace quillmere::test {

int awaitRenames(int watch, int count, QProcess& process) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::minutes(1);
    alignas(inotify_event) char buffer[4096];
    int renamed = 0;
    while (renamed < count && Clock::now() < end && !process.waitForFinished(0)) {
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0) continue;
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_MOVED_TO) ++renamed;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return renamed;
}

}  // namespace quillmere::test
