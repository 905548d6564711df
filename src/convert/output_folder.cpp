#include "convert/output_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>

#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "convert/convert_messages.h"
#include "convert/output_path.h"

namespace quillmere {

namespace {

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Whether `path` is `folder` or lies below it; both absolute and clean.
bool isWithin(const QString& path, const QString& folder) {
    if (path == folder) return true;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    return path.startsWith(prefix);
}

QByteArray resolved(const QByteArray& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

[[noreturn]] void cannotMake(const QString& path, int error) {
    throw AppError(convert_messages::cannotMakeFolder(path, systemReason(error)));
}

}  // namespace

PlannedTarget mirroredTarget(const QString& source, const QString& base, const QString& folder,
                             const QString& formatItem) {
    const QString from = absoluteClean(base);
    const QString file = absoluteClean(source);
    if (file == from || !isWithin(file, from)) {
        return {QString(), convert_messages::sourceOutsideBase(base)};
    }
    const QString relative = file.mid(from.endsWith(u'/') ? from.size() : from.size() + 1);
    return {QDir::cleanPath(folder) + u'/' + outputPathFor(relative, formatItem), QString()};
}

OutputFolder::OutputFolder(const QString& folder) : folder_(QDir::cleanPath(folder)) {}

bool OutputFolder::leadsOut(const QByteArray& path) const {
    const QByteArray target = resolved(path);
    // A link that points nowhere is replaced by the target, not followed.
    if (target.isEmpty()) return false;
    return !isWithin(decodePath(target), decodePath(realFolder_));
}

void OutputFolder::checkFolder(const QString& path, bool make) {
    if (checked_.contains(path)) return;
    const QByteArray bytes = encodePath(path);
    struct stat info {};
    if (::lstat(bytes.constData(), &info) != 0) {
        if (errno != ENOENT) cannotMake(path, errno);
        if (!make) return;
        if (::mkdir(bytes.constData(), 0777) != 0 && errno != EEXIST) cannotMake(path, errno);
        if (::lstat(bytes.constData(), &info) != 0) cannotMake(path, errno);
    }
    if (S_ISLNK(info.st_mode)) {
        if (leadsOut(bytes)) throw AppError(convert_messages::linkLeadsOut(path));
        if (::stat(bytes.constData(), &info) != 0) cannotMake(path, errno);
    }
    if (!S_ISDIR(info.st_mode)) cannotMake(path, ENOTDIR);
    checked_.insert(path);
}

void OutputFolder::prepareFor(const QString& target, bool make) {
    if (realFolder_.isEmpty()) {
        const QByteArray folder = encodePath(folder_);
        if (make && !QDir().mkpath(folder_)) cannotMake(folder_, errno ? errno : EACCES);
        realFolder_ = resolved(folder);
        // Before a dry run makes it, the folder counts as itself.
        if (realFolder_.isEmpty()) {
            if (make) cannotMake(folder_, errno);
            realFolder_ = encodePath(absoluteClean(folder_));
        }
    }
    const qsizetype start = folder_.endsWith(u'/') ? folder_.size() : folder_.size() + 1;
    qsizetype slash = target.indexOf(u'/', start);
    while (slash >= 0) {
        checkFolder(target.left(slash), make);
        slash = target.indexOf(u'/', slash + 1);
    }
    const QByteArray bytes = encodePath(target);
    struct stat info {};
    if (::lstat(bytes.constData(), &info) == 0 && S_ISLNK(info.st_mode) && leadsOut(bytes)) {
        throw AppError(convert_messages::linkLeadsOut(target));
    }
}

}  // namespace quillmere
