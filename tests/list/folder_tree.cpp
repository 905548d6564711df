#include "folder_tree.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <exception>

namespace quillmere::test {

namespace {

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

constexpr uid_t kNobody = 65534;

bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(descriptor, bytes.constData() + written,
                                     static_cast<size_t>(bytes.size() - written));
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) return false;
        written += step;
    }
    return true;
}

QByteArray readAll(int descriptor) {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t step = ::read(descriptor, buffer, sizeof buffer);
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) return bytes;
        bytes.append(buffer, step);
    }
}

}  // namespace

FolderTree::FolderTree() : root_(sandbox_.path(QStringLiteral("tree"))) {
    EXPECT_TRUE(QDir().mkpath(root_));
    // A child process without root's rights has to reach the tree.
    ::chmod(local(QFileInfo(root_).path()).constData(), 0755);
}

FolderTree::~FolderTree() {
    for (const QString& relative : locked_) ::chmod(local(path(relative)).constData(), 0755);
}

void FolderTree::folder(const QString& relative) const {
    EXPECT_TRUE(QDir().mkpath(path(relative))) << relative.toStdString();
}

void FolderTree::file(const QString& relative) const {
    const QString full = path(relative);
    EXPECT_TRUE(QDir().mkpath(QFileInfo(full).path()));
    QFile file(full);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
}

void FolderTree::files(const QStringList& relatives) const {
    for (const QString& relative : relatives) file(relative);
}

void FolderTree::link(const QString& relative, const QString& target) const {
    const QString full = path(relative);
    EXPECT_TRUE(QDir().mkpath(QFileInfo(full).path()));
    EXPECT_EQ(::symlink(local(target).constData(), local(full).constData()), 0)
        << relative.toStdString();
}

void FolderTree::lock(const QString& relative) {
    EXPECT_EQ(::chmod(local(path(relative)).constData(), 0), 0);
    locked_.append(relative);
}

CurrentDirectory::CurrentDirectory(const QString& path)
    : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    EXPECT_GE(previous_, 0);
    EXPECT_EQ(::chdir(local(path).constData()), 0) << path.toStdString();
}

CurrentDirectory::~CurrentDirectory() {
    if (previous_ < 0) return;
    EXPECT_EQ(::fchdir(previous_), 0);
    ::close(previous_);
}

std::optional<ChildOutcome> runWithoutRootRights(const std::function<QStringList()>& work) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipe[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(3);
        }
        // One line per path; a first line "!" marks an error and its message.
        QByteArray report;
        try {
            report = work().join(u'\n').toUtf8();
        } catch (const std::exception& error) {
            report = QByteArray("!\n") + error.what();
        }
        ::_exit(writeAll(pipe[1], report) ? 0 : 4);
    }
    ::close(pipe[1]);
    const QByteArray report = readAll(pipe[0]);
    ::close(pipe[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
    ChildOutcome outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the child process failed, status " << status;
        return outcome;
    }
    if (report.startsWith("!\n")) {
        outcome.error = QString::fromUtf8(report.mid(2));
    } else if (!report.isEmpty()) {
        outcome.paths = QString::fromUtf8(report).split(u'\n');
    }
    return outcome;
}

}  // namespace quillmere::test
