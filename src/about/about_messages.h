#pragma once

#include <QString>

// Every text the about box shows; the release index reader builds its own
// (update_messages.h).
namespace quillmere::about_messages {

// Captions and design texts of the about box.
QString boxCaption(const QString& shortName);  // "About %s"
QString designBoxCaption();
QString designShortNameCaption();
QString designVersionCaption();
QString webButtonCaption();
QString checkForUpdateCaption();
QString copyrightLine();
QString versionAndDate(const QString& version, const QString& date);
QString unknownVersion();
QString fontFamily();
// What a screen reader says of the box's picture, which has no caption.
QString iconAccessibleName(const QString& shortName);

// The release lookup.
QString upgradeNotAvailable();
QString releaseStatus(const QString& releaseVersion);
QString indexUnreadable(const QString& path, const QString& reason);

// The update download.
QString downloadQuestion(const QString& fileName, const QString& version);
QString downloadFailed(const QString& fileName);

}  // namespace quillmere::about_messages
