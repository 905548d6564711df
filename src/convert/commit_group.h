#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "convert/batch_view.h"
#include "imaging/bitmap24.h"
#include "imaging/target_file.h"

namespace quillmere {

// Entries of a run whose turn has come, held so that the targets they
// write reach the disk with one flush instead of one each. A written
// target waits in its temporary file; `commit` then flushes all of them,
// renames them onto their targets and shows and logs every entry, in list
// order, exactly as committing the entries one by one would. Until then
// nothing of them is seen, neither under the targets' names nor in the log.
class CommitGroup {
  public:
    using Clock = std::chrono::steady_clock;

    // When a group is committed at the latest: the entries it holds, the
    // bytes it holds (written to the temporary files, and the pictures it
    // keeps to show), and how long its first entry has waited.
    struct Limits {
        int entries = 64;
        std::uint64_t bytes = std::uint64_t{32} << 20;
        Clock::duration age = std::chrono::milliseconds(250);
    };

    CommitGroup() = default;
    explicit CommitGroup(Limits limits) : limits_(limits) {}

    bool empty() const { return entries_.empty(); }
    // The index of the group's first entry in the list; -1 when empty.
    int firstIndex() const { return entries_.empty() ? -1 : entries_.front().index; }
    // Whether a limit is reached, so the group is to be committed now.
    bool due(Clock::time_point now) const;
    // When the group's age reaches its limit.
    Clock::time_point deadline() const { return opened_ + limits_.age; }

    // An entry whose source is missing: skipped without a trace.
    void addSkipped(int index);
    // The others come with the picture to show (empty when the run shows
    // none) and its pixels, which count for the progress.
    // An entry whose existing target stays.
    void addKept(int index, Bitmap24 picture, std::int64_t pixels, const QString& target);
    // An entry whose target has been written to `file`; `replacing` when
    // the target existed.
    void addWritten(int index, Bitmap24 picture, std::int64_t pixels, const QString& target,
                    bool replacing, std::unique_ptr<TargetFile> file, std::uint64_t bytes);
    // An entry whose target could not be written: committing the group
    // ends there, with `error`, unless the run goes on after failures.
    void addFailed(int index, Bitmap24 picture, std::int64_t pixels, const QString& target,
                   bool replacing, std::exception_ptr error);
    // An entry whose source could not be loaded, the same way; committing
    // it tells the view the load failed.
    void addLoadFailed(int index, std::exception_ptr error);

    // Called for each entry, in list order, once it is committed and shown;
    // a failed entry only when the run goes on after it.
    using Committed = std::function<void(int index, std::int64_t pixels, EntryStatus status)>;
    // Asked before each entry: whether the run stops there.
    using Stopping = std::function<bool()>;
    // Called, in list order, for each entry that failed, once it is shown
    // and logged as far as it got: true when the run goes on after it.
    using Failed = std::function<bool(int index, const std::exception_ptr& error)>;

    // Flushes, renames, shows and logs every entry in list order. A stop
    // ends it at an entry boundary: the entries from there on are dropped
    // as if never taken, and it returns false. An entry that fails is shown
    // and logged as far as it got and passed to `failed`; when that goes
    // on (never without `failed`), the entry counts as committed and the
    // entries after it are committed as usual. Otherwise it ends the
    // commit: the entries before it are committed, its error propagates,
    // and nothing after it is written or logged. The group is empty
    // afterwards either way, its remaining temporary files removed.
    bool commit(BatchView& view, const Committed& committed, const Stopping& stopping,
                const Failed& failed = {});

  private:
    enum class Kind { Skipped, Kept, Written, Failed, LoadFailed };
    struct Entry {
        int index = 0;
        Kind kind = Kind::Skipped;
        Bitmap24 picture;
        std::int64_t pixels = 0;
        QString target;
        bool replacing = false;
        std::unique_ptr<TargetFile> file;
        std::exception_ptr error;
    };

    static EntryStatus statusOf(const Entry& entry);
    void add(Entry entry, std::uint64_t bytes);
    void flushWritten(std::size_t end);
    bool commitAll(BatchView& view, const Committed& committed, const Stopping& stopping,
                   const Failed& failed);

    Limits limits_;
    std::vector<Entry> entries_;
    std::uint64_t bytes_ = 0;
    bool failed_ = false;
    Clock::time_point opened_;
};

}  // namespace quillmere
