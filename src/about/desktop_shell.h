#pragma once

#include <QString>
#include <QUrl>

namespace quillmere {

// What the program asks of the desktop: opening a file or a web address
// with its default handler (the about box's download and web page), and
// the file manager showing a file selected (the window's list). Results
// are not examined. Tests record the calls instead.
class DesktopShell {
  public:
    virtual ~DesktopShell() = default;
    virtual void open(const QString& target) = 0;
    virtual void showInFileManager(const QString& path) = 0;
};

// The address the desktop is asked to open: a file URL for an absolute
// local path, the text itself otherwise (read leniently when it names no
// scheme, so "www.example.org" still reaches a browser).
QUrl shellUrlFor(const QString& target);

// Opens through the desktop's default handlers (QDesktopServices); shows
// files through the freedesktop file-manager call over D-Bus, and where no
// file manager answers, opens the file's folder with the default handler.
class FreedesktopShell final : public DesktopShell {
  public:
    void open(const QString& target) override;
    void showInFileManager(const QString& path) override;
};

}  // namespace quillmere
