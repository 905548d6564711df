#include "support/x_desktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace quillmere::test {

namespace {

constexpr int kStartTimeoutMs = 20000;

// Polls `ready` every few milliseconds until it holds or `timeoutMs` passes.
template <typename Ready>
bool waitUntil(int timeoutMs, Ready ready) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!ready()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

// "Name: 123" lines of xwininfo.
int numberAfter(const QString& text, const QString& label) {
    const QRegularExpression line(QRegularExpression::escape(label) +
                                  QStringLiteral(":\\s*(-?\\d+)"));
    return line.match(text).captured(1).toInt();
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

}  // namespace

QStringList XDesktop::missingTools() {
    QStringList missing;
    for (const char* tool : {"Xvfb", "openbox", "wmctrl", "xwininfo", "xprop", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            missing << QString::fromLatin1(tool);
    }
    return missing;
}

XDesktop::XDesktop(QSize screen, const QString& home) {
    for (const char* folder : {"config", "cache", "data", "runtime"})
        QDir(home).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert(QStringLiteral("HOME"), home);
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment_.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment_.remove(QStringLiteral("XAUTHORITY"));

    // A desktop has a session bus; without one, the bus library would try
    // to launch one for the display at the first connection.
    const QString bus = firstLineOf(bus_, QStringLiteral("dbus-daemon"),
                                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                     QStringLiteral("--print-address=1")});
    if (bus.isEmpty()) {
        failure_ = QStringLiteral("dbus-daemon did not start");
        return;
    }
    environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);

    // The server picks a free display and writes its number to standard
    // output (-displayfd), so desktops of tests that run at once never meet.
    // It must not reset when its last client leaves (-noreset): a tool that
    // looks in before the window manager has connected would otherwise make
    // the server reset under the window manager's connection.
    const QString display = firstLineOf(
        server_, QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
         QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
         QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (display.isEmpty()) {
        failure_ = QStringLiteral("Xvfb did not start: ") +
                   QString::fromLocal8Bit(server_.readAllStandardError());
        return;
    }
    environment_.insert(QStringLiteral("DISPLAY"), u':' + display);

    windowManager_.setProcessEnvironment(environment_);
    windowManager_.setProcessChannelMode(QProcess::MergedChannels);
    windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    // The window manager is up once the root window names its check window.
    if (!waitUntil(kStartTimeoutMs, [&] {
            return run(QStringLiteral("xprop"),
                       {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QStringLiteral("window id"));
        })) {
        failure_ = QStringLiteral("openbox did not take the display %1 (%2): %3")
                       .arg(environment_.value(QStringLiteral("DISPLAY")),
                            windowManager_.state() == QProcess::NotRunning
                                ? QStringLiteral("ended with %1").arg(windowManager_.exitCode())
                                : QStringLiteral("running"),
                            QString::fromLocal8Bit(windowManager_.readAll()));
    }
}

XDesktop::~XDesktop() {
    stop(windowManager_);
    stop(server_);
    stop(bus_);
}

QString XDesktop::firstLineOf(QProcess& process, const QString& program,
                              const QStringList& arguments) const {
    process.setProcessEnvironment(environment_);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    QString line;
    waitUntil(kStartTimeoutMs, [&] {
        process.waitForReadyRead(20);
        line += QString::fromLocal8Bit(process.readAllStandardOutput());
        return line.endsWith(u'\n') || process.state() == QProcess::NotRunning;
    });
    return line.endsWith(u'\n') ? line.trimmed() : QString();
}

QProcessEnvironment XDesktop::environment() const {
    return environment_;
}

QString XDesktop::run(const QString& tool, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.start(tool, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString XDesktop::waitForWindowOf(qint64 pid, int timeoutMs) const {
    return waitForWindowOf(pid, QString(), timeoutMs);
}

QString XDesktop::waitForWindowOf(qint64 pid, const QString& title, int timeoutMs) const {
    // wmctrl -lp: one managed window a line, "ID DESKTOP PID HOST TITLE".
    QString window;
    waitUntil(timeoutMs, [&] {
        const QStringList lines =
            run(QStringLiteral("wmctrl"), {QStringLiteral("-lp")}).split(u'\n');
        for (const QString& line : lines) {
            const QStringList fields = line.simplified().split(u' ');
            if (fields.size() >= 3 && fields[2].toLongLong() == pid &&
                (title.isNull() || fields.mid(4).join(u' ') == title)) {
                window = fields[0];
                return true;
            }
        }
        return false;
    });
    return window;
}

QRect XDesktop::innerRect(const QString& window) const {
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    if (info.isEmpty()) return {};
    return {numberAfter(info, QStringLiteral("Absolute upper-left X")),
            numberAfter(info, QStringLiteral("Absolute upper-left Y")),
            numberAfter(info, QStringLiteral("Width")),
            numberAfter(info, QStringLiteral("Height"))};
}

QRect XDesktop::outerRect(const QString& window) const {
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QString extents = run(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                          QStringLiteral("_NET_FRAME_EXTENTS")});
    const QStringList sides = extents.section(u'=', 1).split(u',');
    if (sides.size() != 4) return {};
    const QRect inner = innerRect(window);
    if (inner.isNull()) return {};
    return inner.adjusted(-sides[0].toInt(), -sides[2].toInt(), sides[1].toInt(), sides[3].toInt());
}

QStringList XDesktop::states(const QString& window) const {
    const QString text = run(QStringLiteral("xprop"),
                             {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")});
    QStringList states;
    for (const QString& name : text.section(u'=', 1).split(u',')) {
        if (!name.trimmed().isEmpty()) states << name.trimmed();
    }
    return states;
}

}  // namespace quillmere::test
