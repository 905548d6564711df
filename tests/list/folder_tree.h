#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "support/sandbox.h"

namespace quillmere::test {

// A folder tree made for one test inside a sandbox. Paths are given
// relative to its root; parent folders are made as needed.
class FolderTree {
  public:
    FolderTree();
    ~FolderTree();

    const QString& root() const { return root_; }
    QString path(const QString& relative) const { return root_ + u'/' + relative; }

    void folder(const QString& relative) const;
    void file(const QString& relative) const;
    void files(const QStringList& relatives) const;
    // A symbolic link at `relative` holding `target` as written.
    void link(const QString& relative, const QString& target) const;
    // Takes every right away from a folder; restored when the tree goes.
    void lock(const QString& relative);

  private:
    Sandbox sandbox_;
    QString root_;
    QStringList locked_;
};

// Makes `path` the current directory while it lives.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const QString& path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

  private:
    int previous_;
};

// What a function returned or threw in a child process.
struct ChildOutcome {
    QStringList paths;
    std::optional<QString> error;
};

// Runs `work` in a child process that, when this one runs as root, has given
// up root's right to read every folder (it runs as the user "nobody"), so
// that folder rights hold. Nothing when the rights could not be given up; a
// child that fails otherwise fails the test.
std::optional<ChildOutcome> runWithoutRootRights(const std::function<QStringList()>& work);

}  // namespace quillmere::test
