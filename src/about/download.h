#pragma once

#include <QString>
#include <chrono>

namespace quillmere {

// How long a download may take: reaching the server (name lookup and
// connection) and the whole transfer.
struct DownloadLimits {
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds totalTimeout{20000};
};

// Downloads `url` (HTTP or HTTPS, redirects followed) into the file
// `localPath`, blocking until the transfer has ended. True only when it
// completed with a 2xx status; the body goes to a temporary file beside the
// target that replaces the target only then, so a failed download leaves an
// earlier file untouched. A target that cannot be replaced, or that is the
// running program's own file, is a failure. Never throws.
bool Download_file(const QString& url, const QString& localPath, const DownloadLimits& limits = {});

// Whether two paths name the same existing file (links followed).
bool namesSameFile(const QString& a, const QString& b);

}  // namespace quillmere
