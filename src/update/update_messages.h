#pragma once

#include <QString>

// Every text the release index reader builds: its errors and the
// comparison of the running version with the released one.
namespace quillmere::update_messages {

QString newerRelease(const QString& status);
QString upToDate(const QString& releaseVersion);
QString olderRelease(const QString& status);
QString indexNotAnObject();
QString indexLacksMember(const QString& name);

}  // namespace quillmere::update_messages
