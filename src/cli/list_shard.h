#pragma once

#include <QString>
#include <optional>

namespace quillmere {

// Shard `index` of `count` of a run's list, as `--shard K/N` gives it.
struct ListShard {
    int index = 0;
    int count = 1;
};

// "K/N" with 0 <= K < N; nothing for any other text.
std::optional<ListShard> parseListShard(const QString& text);

// Whether the entry of `source` falls in `shard`. Only the source's file
// name without its extension decides, hashed the same way everywhere: the
// target shares it (in any folder), so every entry that can touch the same
// file (two sources with one target, a source another entry writes) falls
// in the same shard, wherever it stands in the list and on any machine.
bool isInShard(const QString& source, ListShard shard);

}  // namespace quillmere
