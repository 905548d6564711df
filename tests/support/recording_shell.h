#pragma once

#include <QStringList>

#include "about/desktop_shell.h"

namespace quillmere::test {

// Records what the program asks of the desktop instead of asking it.
class RecordingShell final : public DesktopShell {
  public:
    void open(const QString& target) override { opened << target; }
    void showInFileManager(const QString& path) override { shown << path; }

    QStringList opened;
    QStringList shown;
};

}  // namespace quillmere::test
