#pragma once

#include <QString>

namespace quillmere {

// What the window asks of the desktop: the file manager, showing a file
// selected. Tests record the call instead.
class DesktopShell {
  public:
    virtual ~DesktopShell() = default;
    virtual void showInFileManager(const QString& path) = 0;
};

// The freedesktop file-manager call over D-Bus; where no file manager
// answers, the file's folder opened with the desktop's default handler.
class FreedesktopShell final : public DesktopShell {
  public:
    void showInFileManager(const QString& path) override;
};

}  // namespace quillmere
