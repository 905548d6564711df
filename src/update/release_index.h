#pragma once

#include <QByteArray>
#include <QString>

namespace quillmere {

// The text of the release index's local copy. A byte-order mark at its start
// chooses the encoding (EF BB BF UTF-8, FF FE UTF-16 little-endian, FE FF
// UTF-16 big-endian, tested in that order) and is dropped; without one the
// bytes are read in the system's 8-bit encoding.
QString decodeReleaseIndex(const QByteArray& bytes);

// Where a member's value is stored as soon as it has been read, so that a
// later failure leaves the earlier values in place.
struct ReleaseIndexTargets {
    QString& fileName;
    QString& version;
    QString& website;
};

// Reads "file_name", "version" and "website", in that order, from the index
// text into `targets`. An AppError when the text is not a JSON object or
// lacks one of them; the values read before the failing one stay stored.
void readReleaseIndex(const QString& text, const ReleaseIndexTargets& targets);

// The caption of the download button after a lookup: the running version
// compared with the released one ordinally (UTF-16 code units,
// case-sensitive), "Newer ..." when the running one sorts first.
QString releaseComparisonCaption(const QString& appVersion, const QString& releaseVersion,
                                 const QString& releaseStatus);

}  // namespace quillmere
