#include "list/folder_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "list/absolute_path.h"
#include "list/list_messages.h"
#include "list/name_mask.h"

namespace quillmere {

namespace {

// ---- Argument checks ----

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

bool holdsControlCharacterOr(const QString& text, QStringView others) {
    return std::any_of(text.begin(), text.end(),
                       [&](QChar c) { return c.unicode() < 0x20 || others.contains(c); });
}

bool namesDirectory(const QString& path) {
    struct stat status {};
    return ::stat(encodePath(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

void checkArguments(const QString& directory, const QString& pattern) {
    if (isBlank(directory)) throw AppError(list_messages::pathIsEmpty());
    const QString absolute =
        absoluteForm(directory, directory.startsWith(u'/') ? QString() : currentDirectory());
    if (isBlank(pattern)) throw AppError(list_messages::searchPatternIsEmpty());
    if (holdsControlCharacterOr(pattern, u"/")) {
        throw AppError(list_messages::invalidCharactersInSearchPattern(pattern));
    }
    if (holdsControlCharacterOr(absolute, u"*?")) {
        throw AppError(list_messages::invalidCharactersInPath(absolute));
    }
    if (!namesDirectory(absolute)) throw AppError(list_messages::pathNotFound(absolute));
}

// ---- The walk ----

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

// Opens a folder, following a link; null when it cannot be read.
DirectoryHandle openFolder(int parent, const char* name) {
    const int descriptor = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    DIR* directory = ::fdopendir(descriptor);
    if (directory == nullptr) ::close(descriptor);
    return DirectoryHandle(directory);
}

unsigned char asciiUpper(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

// The first eight bytes of an ASCII name, upper-cased, as one number that
// sorts as the bytes do (zeros after a shorter name).
std::uint64_t upperHead(const char* name, std::size_t length) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        head = (head << 8) | (i < length ? asciiUpper(name[i]) : 0u);
    }
    return head;
}

// The name with every character upper-cased on its own (simple case
// mapping), for the order of the entries.
QString upperCased(const QString& name) {
    QString upper;
    upper.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t character = name[i].unicode();
        if (QChar::isHighSurrogate(character) && i + 1 < name.size() &&
            name[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        const char32_t mapped = QChar::toUpper(character);
        if (QChar::requiresSurrogates(mapped)) {
            upper += QChar(QChar::highSurrogate(mapped));
            upper += QChar(QChar::lowSurrogate(mapped));
        } else {
            upper += QChar(static_cast<char16_t>(mapped));
        }
    }
    return upper;
}

class FolderWalk {
  public:
    FolderWalk(const QString& pattern, bool recursive) : pattern_(pattern), recursive_(recursive) {}

    QStringList run(const QString& directory) {
        const int descriptor =
            ::open(encodePath(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) return {};
        DIR* opened = ::fdopendir(descriptor);
        if (opened == nullptr) {
            ::close(descriptor);
            return {};
        }
        DirectoryHandle root(opened);
        if (!enterFolder(descriptor)) return {};
        walk(root.get(), directory.endsWith(u'/') ? directory : directory + u'/');
        return std::move(results_);
    }

  private:
    struct Entry {
        std::size_t nameOffset;  // into names_, zero-terminated
        std::uint64_t head;      // the first 8 bytes upper-cased, big end first
        std::uint32_t nameLength;
        std::int32_t decoded;  // index into decoded_, -1 for an ASCII name
        std::int32_t key;      // index into keys_, -1 when the ASCII order is used
        unsigned char type;    // d_type
    };

    // Notes a folder on the way down; false when it is already on it.
    bool enterFolder(int descriptor) {
        struct stat status {};
        if (::fstat(descriptor, &status) != 0) return false;
        const std::pair<dev_t, ino_t> identity(status.st_dev, status.st_ino);
        if (std::find(path_.begin(), path_.end(), identity) != path_.end()) return false;
        path_.push_back(identity);
        return true;
    }

    // Appends the entries of `directory` other than "." and ".."; false when
    // it cannot be read to its end.
    bool readEntries(DIR* directory) {
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(directory);
            if (entry == nullptr) return errno == 0;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            const std::size_t length = std::strlen(name);
            const bool ascii = std::all_of(
                name, name + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            std::int32_t decoded = -1;
            if (!ascii) {
                decoded = static_cast<std::int32_t>(decoded_.size());
                decoded_.push_back(
                    decodePath(QByteArrayView(name, static_cast<qsizetype>(length))));
            }
            entries_.push_back({names_.size(), upperHead(name, length),
                                static_cast<std::uint32_t>(length), decoded, -1, entry->d_type});
            names_.append(name, length + 1);
        }
    }

    QString nameText(const Entry& entry) const {
        if (entry.decoded >= 0) return decoded_[static_cast<std::size_t>(entry.decoded)];
        return QString::fromLatin1(names_.data() + entry.nameOffset, entry.nameLength);
    }

    // The prefix, the entry's name and what follows, in one allocation.
    QString joined(const QString& prefix, const Entry& entry, QStringView after = {}) const {
        QString path;
        if (entry.decoded >= 0) {
            const QString& name = decoded_[static_cast<std::size_t>(entry.decoded)];
            path.reserve(prefix.size() + name.size() + after.size());
            path.append(prefix).append(name);
        } else {
            path.reserve(prefix.size() + entry.nameLength + after.size());
            path.append(prefix).append(
                QLatin1StringView(names_.data() + entry.nameOffset, entry.nameLength));
        }
        return path.append(after);
    }

    // Name order: ordinal on the upper-cased names; names that only differ
    // in case follow their bytes.
    void sortEntries(std::size_t first) {
        const auto begin = entries_.begin() + static_cast<std::ptrdiff_t>(first);
        const bool allAscii = std::all_of(begin, entries_.end(),
                                          [](const Entry& entry) { return entry.decoded < 0; });
        if (!allAscii) {
            for (auto it = begin; it != entries_.end(); ++it) {
                it->key = static_cast<std::int32_t>(keys_.size());
                keys_.push_back(upperCased(nameText(*it)));
            }
        }
        const char* names = names_.data();
        std::sort(begin, entries_.end(), [&](const Entry& a, const Entry& b) {
            const char* nameA = names + a.nameOffset;
            const char* nameB = names + b.nameOffset;
            if (a.key >= 0) {
                const int order = keys_[static_cast<std::size_t>(a.key)].compare(
                    keys_[static_cast<std::size_t>(b.key)]);
                if (order != 0) return order < 0;
            } else {
                if (a.head != b.head) return a.head < b.head;
                const std::uint32_t common = std::min(a.nameLength, b.nameLength);
                for (std::uint32_t i = 8; i < common; ++i) {
                    const unsigned char upperA = asciiUpper(nameA[i]);
                    const unsigned char upperB = asciiUpper(nameB[i]);
                    if (upperA != upperB) return upperA < upperB;
                }
                if (a.nameLength != b.nameLength) return a.nameLength < b.nameLength;
            }
            return std::strcmp(nameA, nameB) < 0;
        });
    }

    bool nameMatches(const Entry& entry) {
        if (!mask_) mask_.emplace(pattern_);  // the first entry of the scan
        if (entry.decoded >= 0)
            return mask_->matches(decoded_[static_cast<std::size_t>(entry.decoded)]);
        return mask_->matches(
            QLatin1StringView(names_.data() + entry.nameOffset, entry.nameLength));
    }

    static bool isFolder(int parent, const char* name, unsigned char type) {
        if (type == DT_DIR) return true;
        if (type != DT_LNK && type != DT_UNKNOWN) return false;
        struct stat status {};
        return ::fstatat(parent, name, &status, 0) == 0 && S_ISDIR(status.st_mode);
    }

    void walk(DIR* directory, const QString& prefix) {
        const std::size_t firstEntry = entries_.size();
        const std::size_t firstName = names_.size();
        const std::size_t firstDecoded = decoded_.size();
        const std::size_t firstKey = keys_.size();
        if (readEntries(directory)) {
            sortEntries(firstEntry);
            const int descriptor = ::dirfd(directory);
            for (std::size_t i = firstEntry; i < entries_.size(); ++i) {
                const Entry entry = entries_[i];
                const bool matches = nameMatches(entry);
                if (!matches && !recursive_) continue;
                // names_ may grow while a subfolder is walked, so the name is
                // looked up afresh each time.
                if (isFolder(descriptor, names_.data() + entry.nameOffset, entry.type)) {
                    if (recursive_) descend(descriptor, entry, prefix);
                } else if (matches) {
                    results_.append(joined(prefix, entry));
                }
            }
        }
        entries_.resize(firstEntry);
        names_.resize(firstName);
        decoded_.resize(firstDecoded);
        keys_.resize(firstKey);
    }

    void descend(int parent, const Entry& entry, const QString& prefix) {
        DirectoryHandle folder = openFolder(parent, names_.data() + entry.nameOffset);
        if (!folder || !enterFolder(::dirfd(folder.get()))) return;
        walk(folder.get(), joined(prefix, entry, u"/"));
        path_.pop_back();
    }

    const QString& pattern_;
    const bool recursive_;
    std::optional<NameMask> mask_;
    QStringList results_;
    std::vector<std::pair<dev_t, ino_t>> path_;  // the folders from the scanned one down
    std::vector<Entry> entries_;                 // of the folders on the way down
    std::string names_;
    std::vector<QString> decoded_;
    std::vector<QString> keys_;
};

}  // namespace

QStringList scanFolder(const QString& directory, const QString& pattern, bool recursive) {
    checkArguments(directory, pattern);
    return FolderWalk(pattern, recursive).run(directory);
}

}  // namespace quillmere
