#include "imaging/metafile_playback.h"

#include <atomic>
#include <mutex>

#include "common/app_error.h"
#include "imaging/imaging_messages.h"

namespace quillmere {

namespace {

// Set once before any picture is read, read by the worker threads.
std::atomic<MetafilePlayer> player{nullptr};

std::mutex problemLock;
QString& problem() {
    static QString reason;
    return reason;
}

}  // namespace

void setMetafilePlayer(MetafilePlayer newPlayer) {
    player.store(newPlayer);
}

void setMetafilePlayerProblem(const QString& reason) {
    const std::lock_guard lock(problemLock);
    problem() = reason;
}

Bitmap24 playMetafile(std::span<const std::uint8_t> bytes) {
    if (const MetafilePlayer play = player.load()) return play(bytes);
    const std::lock_guard lock(problemLock);
    throw AppError(imaging_messages::metafilePlayerMissing(
        problem().isEmpty() ? imaging_messages::metafilePlayerNotBuiltIn() : problem()));
}

}  // namespace quillmere
