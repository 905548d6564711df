#pragma once

#include <QString>
#include <QUrl>

namespace quillmere {

// The desktop shell's "open" of a downloaded file or a web address. Its
// result is not examined. Tests record the call instead.
class ShellOpener {
  public:
    virtual ~ShellOpener() = default;
    virtual void open(const QString& target) = 0;
};

// The address the desktop is asked to open: a file URL for an absolute
// local path, the text itself otherwise (read leniently when it names no
// scheme, so "www.example.org" still reaches a browser).
QUrl shellUrlFor(const QString& target);

// Opens through the desktop's default handlers (QDesktopServices).
class DesktopShellOpener final : public ShellOpener {
  public:
    void open(const QString& target) override;
};

}  // namespace quillmere
