// The search-pattern split and the file-name mask: the bytes as a
// search-field text, its pattern compiled and matched against names.

#include <QString>

#include "common/app_error.h"
#include "fuzz_target.h"
#include "list/name_mask.h"
#include "list/search_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const quillmere::SearchPattern pattern = quillmere::splitSearchPattern(text);
    if (pattern.directory + pattern.fileName != text) __builtin_trap();
    quillmere::isScannable(text);
    try {
        const quillmere::NameMask mask(pattern.fileName);
        // The pattern itself, its directory part and a few plain names.
        mask.matches(QStringView(pattern.fileName));
        mask.matches(QStringView(pattern.directory));
        mask.matches(QLatin1StringView("photo.jpg"));
        mask.matches(QLatin1StringView(""));
        mask.matches(QStringView(u"\u00e9t\u00e9.JPG"));
    } catch (const quillmere::AppError&) {
    }
    return 0;
}
