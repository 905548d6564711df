#include "imaging/file_access.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <future>

#include "common/app_error.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// What reading the file gives: its size, or the error's message, or
// "blocked" when the read waits for something that never comes (a writer
// then releases it, so the test ends).
QString outcomeOfReading(const QString& path) {
    std::future<QString> outcome = std::async(std::launch::async, [&path] {
        try {
            return QStringLiteral("%1 bytes").arg(readWholeFile(path).size());
        } catch (const AppError& error) {
            return error.message();
        }
    });
    if (outcome.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
        return outcome.get();
    const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    outcome.wait();
    if (writer >= 0) ::close(writer);
    return QStringLiteral("blocked");
}

QString cannotOpen(const QString& path, const char* reason) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
}

// Only a regular file is read; anything else that stands at a picture's
// path is refused at once, without waiting for a pipe's writer.
TEST(ReadWholeFile, ReadsRegularFilesOnly) {
    const test::Sandbox sandbox;
    const QString picture = sandbox.write("picture.bmp", QByteArray("12345"));
    const QString folder = sandbox.path("folder.png");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString pipe = sandbox.path("pipe.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    const QString heldPipe = sandbox.path("held.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(heldPipe).constData(), 0644), 0);
    // Held open at both ends, so that even a blocking open goes through.
    const int holder = ::open(QFile::encodeName(heldPipe).constData(), O_RDWR);
    ASSERT_GE(holder, 0);

    const struct {
        QString path;
        QString outcome;
    } cases[] = {
        {picture, "5 bytes"},
        {folder, cannotOpen(folder, "Is a directory")},
        {pipe, cannotOpen(pipe, "Not a regular file")},
        {heldPipe, cannotOpen(heldPipe, "Not a regular file")},
        {"/dev/null", cannotOpen("/dev/null", "Not a regular file")},
        {sandbox.path("missing.png"),
         cannotOpen(sandbox.path("missing.png"), "No such file or directory")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(outcomeOfReading(c.path), c.outcome);
    }
    ::close(holder);
}

}  // namespace
}  // namespace quillmere
