#include "cli/name_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <iterator>

#include "cli/cli_messages.h"
#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"

namespace quillmere {

namespace {

QByteArray readAll(std::istream& in) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The whole file; the errno value of a failure otherwise.
int readFile(const QByteArray& path, QByteArray& text) {
    const int descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = got < 0 ? errno : 0;
            ::close(descriptor);
            return error;
        }
        text.append(buffer, got);
    }
}

}  // namespace

QStringList splitNameList(QByteArrayView text, char separator) {
    QStringList names;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(separator, start);
        if (end < 0) end = text.size();
        if (end > start) names.append(decodePath(text.sliced(start, end - start)));
        start = end + 1;
    }
    return names;
}

QStringList readNameList(const QString& file, char separator, std::istream& standardInput) {
    QByteArray text;
    if (file == u"-") {
        text = readAll(standardInput);
        if (standardInput.bad()) throw AppError(cli_messages::unreadableList(file, QString()));
    } else if (const int error = readFile(encodePath(file), text); error != 0) {
        throw AppError(cli_messages::unreadableList(file, systemReason(error)));
    }
    return splitNameList(text, separator);
}

}  // namespace quillmere
