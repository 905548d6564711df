#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

namespace quillmere::test {

// A desktop of its own for a test: a virtual X server (Xvfb) on a free
// display with the Openbox window manager, which frames and places windows
// as a desktop's window manager does, and a session bus. Programs started
// here find them through DISPLAY and DBUS_SESSION_BUS_ADDRESS; the window
// rectangles are read back from the X server.
class XDesktop {
  public:
    // The tools a desktop needs that are not on this machine, or none.
    static QStringList missingTools();

    // Starts the bus, the server and the window manager; HOME, the configuration and
    // the runtime folders of everything started here lie under `home`.
    XDesktop(QSize screen, const QString& home);
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // Whether the window manager is up; why not, when it is not.
    bool isReady() const { return failure_.isEmpty(); }
    const QString& failure() const { return failure_; }

    // The environment for a program shown on this desktop.
    QProcessEnvironment environment() const;

    // Runs an X tool here and returns its standard output ("" on failure).
    QString run(const QString& tool, const QStringList& arguments) const;

    // The managed top-level window of the process `pid`, or "" once
    // `timeoutMs` has passed without one.
    QString waitForWindowOf(qint64 pid, int timeoutMs) const;
    // The same for a window of the process with the title `title`.
    QString waitForWindowOf(qint64 pid, const QString& title, int timeoutMs) const;

    // The window's outer rectangle, frame included (its X geometry widened
    // by the frame the window manager announces), and its inner one.
    QRect outerRect(const QString& window) const;
    QRect innerRect(const QString& window) const;
    // The window manager's states of the window (_NET_WM_STATE_...).
    QStringList states(const QString& window) const;

  private:
    // Starts a program that stays and returns the first line it writes to
    // standard output, or "" when it writes none in time.
    QString firstLineOf(QProcess& process, const QString& program,
                        const QStringList& arguments) const;

    QProcessEnvironment environment_;
    QProcess bus_;
    QProcess server_;
    QProcess windowManager_;
    QString failure_;
};

}  // namespace quillmere::test
