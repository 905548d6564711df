#include "convert/source_dependencies.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <string>
#include <unordered_map>

#include "common/path_encoding.h"
#include "common/path_text.h"

namespace quillmere {

namespace {

std::string inodeKey(char kind, const struct stat& info) {
    return kind + std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino);
}

// A link that points nowhere yet is read through to its destination once
// an earlier entry writes it, so the name that counts is where the link
// chain ends. (Writing over such a link replaces the link itself, so for a
// target this only makes a later read of the destination wait needlessly.)
QString endOfLinkChain(QString path) {
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray bytes = encodePath(path);
        struct stat info {};
        if (::lstat(bytes.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        QByteArray destination(static_cast<qsizetype>(info.st_size) + 256, '\0');
        const ssize_t length = ::readlink(bytes.constData(), destination.data(),
                                          static_cast<std::size_t>(destination.size()));
        if (length <= 0 || length >= destination.size()) return path;
        destination.truncate(length);
        const QString next = decodePath(destination);
        path = QDir::isAbsolutePath(next) ? next : QDir(directoryOf(path)).filePath(next);
    }
    return path;
}

// Names the file a path stands for, as the file system would resolve it.
// The folders' identities are kept in `folders`: a run's targets mostly
// share a few folders.
std::string fileKey(const QString& path, std::unordered_map<QString, std::string>& folders) {
    struct stat info {};
    const QByteArray bytes = encodePath(path);
    // One lstat answers for a plain file and for a name that does not exist.
    if (::lstat(bytes.constData(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) return inodeKey('F', info);
        if (::stat(bytes.constData(), &info) == 0) return inodeKey('F', info);
    }

    const QString resolved = endOfLinkChain(path);
    const QString folder = directoryOf(resolved);
    const std::string name = fileNamePart(resolved).toCaseFolded().toStdString();
    auto [known, added] = folders.try_emplace(folder);
    if (added) {
        known->second =
            ::stat(encodePath(folder).constData(), &info) == 0
                ? inodeKey('N', info)
                : 'P' + QDir::cleanPath(QDir(folder).absolutePath()).toCaseFolded().toStdString();
    }
    return known->second + '/' + name;
}

}  // namespace

EntryDependencies entryDependencies(const QStringList& sources, const QStringList& targets) {
    const auto count = static_cast<std::size_t>(sources.size());
    EntryDependencies dependencies{std::vector<int>(count, -1), std::vector<int>(count, -1)};
    std::unordered_map<std::string, int> lastWriterOf;
    lastWriterOf.reserve(static_cast<std::size_t>(targets.size()));
    std::unordered_map<QString, std::string> folders;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (const auto found = lastWriterOf.find(fileKey(sources[i], folders));
            found != lastWriterOf.end()) {
            dependencies.sourceWriter[at] = found->second;
        }
        int& writer = lastWriterOf.try_emplace(fileKey(targets[i], folders), -1).first->second;
        dependencies.targetWriter[at] = writer;
        writer = static_cast<int>(i);
    }
    return dependencies;
}

std::vector<int> lastEarlierWriters(const QStringList& sources, const QStringList& targets) {
    return entryDependencies(sources, targets).sourceWriter;
}

}  // namespace quillmere
