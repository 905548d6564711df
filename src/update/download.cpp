#include "update/download.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <memory>
#include <mutex>

#include "update/redirect_rule.h"

namespace quillmere {

namespace {

using namespace std::chrono_literals;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// Where the body goes, and how much of it may still come.
struct Sink {
    QSaveFile& file;
    qint64 room;
};

size_t writeToFile(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<Sink*>(target);
    const qint64 length = static_cast<qint64>(size * count);
    // A body beyond the limit, or anything short of the whole block written,
    // aborts the transfer.
    if (length > sink->room) return 0;
    sink->room -= length;
    return sink->file.write(data, length) == length ? size * count : 0;
}

// The address as curl takes it: blanks and non-ASCII characters encoded.
QByteArray encodedUrl(const QString& url) {
    const QUrl parsed(url, QUrl::TolerantMode);
    if (!parsed.isValid()) return {};
    return parsed.toEncoded();
}

bool transfer(const QByteArray& url, QSaveFile& file, const DownloadLimits& limits) {
    initialiseCurlOnce();
    const std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl) return false;
    CURL* handle = curl.get();
    Sink sink{file, limits.maxBytes};
    const QByteArray redirectProtocols = redirectProtocolsFor(url);
    const bool configured =
        curl_easy_setopt(handle, CURLOPT_URL, url.constData()) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocols.constData()) ==
            CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(limits.totalTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.stallBytesPerSecond) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(limits.stallTime.count())) == CURLE_OK &&
        // A length announced beyond the limit ends the transfer before the
        // body; the write function enforces it for bodies of unknown length.
        curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(limits.maxBytes)) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeToFile) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    if (!configured || curl_easy_perform(handle) != CURLE_OK) return false;
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return false;
    return status >= 200 && status < 300;
}

}  // namespace

DownloadLimits releaseIndexLimits() {
    DownloadLimits limits;
    limits.totalTimeout = 20s;
    limits.maxBytes = qint64{1} << 20;
    return limits;
}

bool namesSameFile(const QString& a, const QString& b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

bool Download_file(const QString& url, const QString& localPath, const DownloadLimits& limits) {
    try {
        if (namesSameFile(localPath, QCoreApplication::applicationFilePath())) return false;
        const QByteArray address = encodedUrl(url);
        if (address.isEmpty()) return false;
        // QSaveFile refuses an existing target it could not write, and
        // renames the finished temporary file over it only on commit.
        QSaveFile file(localPath);
        file.setDirectWriteFallback(false);
        if (!file.open(QIODevice::WriteOnly)) return false;
        if (!transfer(address, file, limits)) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    } catch (...) {
        return false;
    }
}

}  // namespace quillmere
