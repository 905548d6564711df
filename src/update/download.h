#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>

namespace quillmere {

// What a download may take. The defaults suit the release file: 5 s to
// reach the server, then no limit on the whole transfer (a large update on
// a slow link takes minutes) but an end as soon as it stalls, under 1 KB/s
// for 30 s; at most 2 GiB, dozens of times any release so far, yet a bound
// on what a hostile server can write beside the program; 5 redirects.
struct DownloadLimits {
    // Name lookup and connection.
    std::chrono::milliseconds connectTimeout{5000};
    // The whole transfer; zero for no limit.
    std::chrono::milliseconds totalTimeout{0};
    // The transfer ends when fewer than `stallBytesPerSecond` arrive on
    // average for `stallTime` (whole seconds; zero turns the rule off).
    long stallBytesPerSecond = 1024;
    std::chrono::seconds stallTime{30};
    // The body may hold this many bytes; the transfer ends as soon as more
    // arrive.
    qint64 maxBytes = qint64{2} << 30;
    // Redirects followed before the download counts as failed.
    long maxRedirects = 5;
};

// The release index's limits: it is small (1 MiB at most) and read at
// start-up, so the whole lookup, connection included, ends after 20 s even
// on a slow but steady server.
DownloadLimits releaseIndexLimits();

// Downloads `url` (HTTP or HTTPS, redirects followed; from HTTPS only to
// HTTPS) into the file `localPath`, blocking until the transfer has ended.
// True only when it completed within `limits` with a 2xx status; the body
// goes to a temporary file beside the target that replaces the target only
// then, so a failed download leaves an earlier file untouched. A target that
// cannot be replaced, or that is the running program's own file, is a
// failure. Never throws.
bool Download_file(const QString& url, const QString& localPath, const DownloadLimits& limits = {});

// Whether two paths name the same existing file (links followed).
bool namesSameFile(const QString& a, const QString& b);

}  // namespace quillmere
