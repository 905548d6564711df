#include "cli/list_shard.h"

#include <QRegularExpression>
#include <cstdint>

#include "common/path_encoding.h"
#include "common/path_text.h"

namespace quillmere {

namespace {

constexpr int kMostShards = 1'000'000;

// FNV-1a over the name's bytes, then a 64-bit finaliser so that the low
// bits, which the remainder takes, depend on every byte.
std::uint64_t nameHash(const QByteArray& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ull;
    }
    hash ^= hash >> 30;
    hash *= 0xbf58476d1ce4e5b9ull;
    hash ^= hash >> 27;
    hash *= 0x94d049bb133111ebull;
    hash ^= hash >> 31;
    return hash;
}

}  // namespace

std::optional<ListShard> parseListShard(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,7})/([0-9]{1,7})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const int index = match.captured(1).toInt();
    const int count = match.captured(2).toInt();
    if (count < 1 || count > kMostShards || index >= count) return std::nullopt;
    return ListShard{index, count};
}

bool isInShard(const QString& source, ListShard shard) {
    const QString name = source.mid(source.lastIndexOf(u'/') + 1);
    const qsizetype dot = extensionDotIndex(name);
    const QString stem = dot < 0 ? name : name.left(dot);
    return nameHash(encodePath(stem)) % static_cast<std::uint64_t>(shard.count) ==
           static_cast<std::uint64_t>(shard.index);
}

}  // namespace quillmere
