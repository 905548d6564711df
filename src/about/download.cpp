#include "about/download.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <memory>
#include <mutex>

namespace quillmere {

namespace {

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

size_t writeToFile(char* data, size_t size, size_t count, void* target) {
    auto* file = static_cast<QSaveFile*>(target);
    const qint64 length = static_cast<qint64>(size * count);
    // Anything short of the whole block aborts the transfer.
    return file->write(data, length) == length ? size * count : 0;
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
    const bool configured =
        curl_easy_setopt(handle, CURLOPT_URL, url.constData()) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(limits.totalTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeToFile) == CURLE_OK &&
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &file) == CURLE_OK;
    if (!configured || curl_easy_perform(handle) != CURLE_OK) return false;
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return false;
    return status >= 200 && status < 300;
}

}  // namespace

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
