#include "cli/json_report.h"

#include <nlohmann/json.hpp>
#include <string>

#include "common/error_text.h"
#include "common/path_encoding.h"

namespace quillmere {

namespace {

const char* statusName(EntryStatus status) {
    switch (status) {
        case EntryStatus::Converted:
            return "converted";
        case EntryStatus::Replaced:
            return "replaced";
        case EntryStatus::Exists:
            return "exists";
        case EntryStatus::Missing:
            return "missing";
        case EntryStatus::Failed:
            break;
    }
    return "failed";
}

// Names are kept with each byte that is not valid UTF-8 as a lone
// surrogate (see decodePath); JSON text has no room for those.
bool holdsRawBytes(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            return true;
        }
    }
    return false;
}

std::string utf8Text(const QString& text) {
    if (!holdsRawBytes(text)) return text.toStdString();
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += text[i];
            shown += text[++i];
        } else {
            shown += text[i].isSurrogate() ? QChar(QChar::ReplacementCharacter) : text[i];
        }
    }
    return shown.toStdString();
}

void putName(nlohmann::ordered_json& object, const std::string& key, const QString& path) {
    object[key] = utf8Text(path);
    if (holdsRawBytes(path)) object[key + "_base64"] = encodePath(path).toBase64().toStdString();
}

void printLine(std::ostream& out, const nlohmann::ordered_json& object) {
    out << object.dump() << '\n';
    out.flush();
}

}  // namespace

void JsonReport::entry(const EntryEnd& end) {
    ++counts_[static_cast<std::size_t>(end.status)];
    nlohmann::ordered_json line;
    putName(line, "source", end.source);
    if (end.target.isEmpty()) {
        line["target"] = nullptr;
    } else {
        putName(line, "target", end.target);
    }
    line["status"] = statusName(end.status);
    if (end.error) {
        try {
            std::rethrow_exception(end.error);
        } catch (const std::exception& error) {
            line["error"] = utf8Text(errorBoxText(QString::fromUtf8(error.what())));
        } catch (...) {
            line["error"] = nullptr;
        }
    }
    line["seconds"] = end.seconds;
    printLine(out_, line);
}

void JsonReport::summary(std::optional<BatchEnd> end) {
    nlohmann::ordered_json counts;
    for (const EntryStatus status :
         {EntryStatus::Converted, EntryStatus::Replaced, EntryStatus::Exists, EntryStatus::Missing,
          EntryStatus::Failed}) {
        counts[statusName(status)] = counts_[static_cast<std::size_t>(status)];
    }
    counts["seconds"] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    counts["end"] = !end ? "failed" : *end == BatchEnd::Stopped ? "stopped" : "finished";
    printLine(out_, nlohmann::ordered_json{{"summary", counts}});
}

}  // namespace quillmere
