#include "update/release_index.h"

#include <QStringDecoder>

#include "common/app_error.h"
#include "update/json_members.h"
#include "update/update_messages.h"

namespace quillmere {

QString decodeReleaseIndex(const QByteArray& bytes) {
    struct Mark {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
    };
    static const Mark marks[] = {
        {"\xEF\xBB\xBF", QStringConverter::Utf8},
        {"\xFF\xFE", QStringConverter::Utf16LE},
        {"\xFE\xFF", QStringConverter::Utf16BE},
    };
    QStringConverter::Encoding encoding = QStringConverter::System;
    QByteArrayView body(bytes);
    for (const Mark& mark : marks) {
        if (body.startsWith(mark.bytes)) {
            encoding = mark.encoding;
            body = body.sliced(mark.bytes.size());
            break;
        }
    }
    // The mark is gone already: a second one belongs to the text.
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(body);
}

void readReleaseIndex(const QString& text, const ReleaseIndexTargets& targets) {
    const JsonObjectReading document = readJsonObject(text);
    if (document.shape != JsonObjectReading::Shape::Object) {
        throw AppError(update_messages::indexNotAnObject());
    }
    const auto take = [&](const QString& name, QString& target) {
        const QString* value = firstMemberText(document.members, name);
        if (!value) throw AppError(update_messages::indexLacksMember(name));
        target = *value;
    };
    take(QStringLiteral("file_name"), targets.fileName);
    take(QStringLiteral("version"), targets.version);
    take(QStringLiteral("website"), targets.website);
}

QString releaseComparisonCaption(const QString& appVersion, const QString& releaseVersion,
                                 const QString& releaseStatus) {
    const int order = QString::compare(appVersion, releaseVersion, Qt::CaseSensitive);
    if (order < 0) return update_messages::newerRelease(releaseStatus);
    if (order == 0) return update_messages::upToDate(releaseVersion);
    return update_messages::olderRelease(releaseStatus);
}

}  // namespace quillmere
