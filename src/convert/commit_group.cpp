#include "convert/commit_group.h"

#include "common/flush_together.h"
#include "convert/convert_messages.h"

namespace quillmere {

namespace {

// Shows an entry and logs it as far as committing it one by one does
// before its target is written.
void showAndLogBeforeWrite(BatchView& view, Bitmap24& picture, const QString& target,
                           bool targetExists) {
    view.showPicture(std::move(picture));
    if (targetExists) view.appendLine(convert_messages::targetExists(target));
}

}  // namespace

EntryStatus CommitGroup::statusOf(const Entry& entry) {
    switch (entry.kind) {
        case Kind::Skipped:
            return EntryStatus::Missing;
        case Kind::Kept:
            return EntryStatus::Exists;
        case Kind::Written:
            return entry.replacing ? EntryStatus::Replaced : EntryStatus::Converted;
        case Kind::Failed:
        case Kind::LoadFailed:
            break;
    }
    return EntryStatus::Failed;
}

bool CommitGroup::due(Clock::time_point now) const {
    return !entries_.empty() && (failed_ || static_cast<int>(entries_.size()) >= limits_.entries ||
                                 bytes_ >= limits_.bytes || now >= deadline());
}

void CommitGroup::add(Entry entry, std::uint64_t bytes) {
    if (entries_.empty()) opened_ = Clock::now();
    failed_ = failed_ || entry.error != nullptr;
    bytes_ += bytes + entry.picture.byteCount();
    entries_.push_back(std::move(entry));
}

void CommitGroup::addSkipped(int index) {
    add(Entry{index, Kind::Skipped, {}, 0, {}, false, nullptr, nullptr}, 0);
}

void CommitGroup::addKept(int index, Bitmap24 picture, std::int64_t pixels, const QString& target) {
    add(Entry{index, Kind::Kept, std::move(picture), pixels, target, true, nullptr, nullptr}, 0);
}

void CommitGroup::addWritten(int index, Bitmap24 picture, std::int64_t pixels,
                             const QString& target, bool replacing,
                             std::unique_ptr<TargetFile> file, std::uint64_t bytes) {
    add(Entry{index, Kind::Written, std::move(picture), pixels, target, replacing, std::move(file),
              nullptr},
        bytes);
}

void CommitGroup::addFailed(int index, Bitmap24 picture, std::int64_t pixels, const QString& target,
                            bool replacing, std::exception_ptr error) {
    add(Entry{index, Kind::Failed, std::move(picture), pixels, target, replacing, nullptr,
              std::move(error)},
        0);
}

void CommitGroup::addLoadFailed(int index, std::exception_ptr error) {
    add(Entry{index, Kind::LoadFailed, {}, 0, {}, false, nullptr, std::move(error)}, 0);
}

bool CommitGroup::commit(BatchView& view, const Committed& committed, const Stopping& stopping,
                         const Failed& failed) {
    struct Emptied {
        CommitGroup& group;
        ~Emptied() {
            group.entries_.clear();
            group.bytes_ = 0;
            group.failed_ = false;
        }
    } emptied{*this};
    return commitAll(view, committed, stopping, failed);
}

void CommitGroup::flushWritten(std::size_t end) {
    std::vector<int> descriptors;
    std::vector<std::size_t> writtenAt;
    for (std::size_t i = 0; i < end; ++i) {
        if (entries_[i].kind != Kind::Written) continue;
        descriptors.push_back(entries_[i].file->descriptor());
        writtenAt.push_back(i);
    }
    const std::vector<int> errors = flushTogether(descriptors);
    for (std::size_t k = 0; k < writtenAt.size(); ++k) {
        if (errors[k] == 0) continue;
        Entry& entry = entries_[writtenAt[k]];
        try {
            entry.file->fail(errors[k]);
        } catch (...) {
            entry.error = std::current_exception();
        }
        entry.kind = Kind::Failed;
    }
}

bool CommitGroup::commitAll(BatchView& view, const Committed& committed, const Stopping& stopping,
                            const Failed& failed) {
    if (stopping()) return false;
    // When the first failure ends the commit, nothing after it is flushed.
    std::size_t end = entries_.size();
    if (!failed) {
        end = 0;
        while (end < entries_.size() && !entries_[end].error) ++end;
    }
    flushWritten(end);

    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (i > 0 && stopping()) return false;
        Entry& entry = entries_[i];
        switch (entry.kind) {
            case Kind::Skipped:
                break;
            case Kind::Kept:
                showAndLogBeforeWrite(view, entry.picture, entry.target, true);
                break;
            case Kind::Written:
                showAndLogBeforeWrite(view, entry.picture, entry.target, entry.replacing);
                entry.file->moveIntoPlace();
                if (entry.replacing) {
                    view.appendToLastLine(convert_messages::overwritten());
                } else {
                    view.appendLine(entry.target);
                }
                break;
            case Kind::Failed:
                showAndLogBeforeWrite(view, entry.picture, entry.target, entry.replacing);
                break;
            case Kind::LoadFailed:
                view.loadFailed();
                break;
        }
        if (entry.error) {
            entry.file.reset();
            if (!failed || !failed(entry.index, entry.error)) std::rethrow_exception(entry.error);
        }
        committed(entry.index, entry.pixels, statusOf(entry));
    }
    return true;
}

}  // namespace quillmere
