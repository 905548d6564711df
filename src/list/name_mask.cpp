#include "list/name_mask.h"

#include <QList>

#include "common/app_error.h"
#include "list/list_messages.h"

namespace quillmere {

namespace {

constexpr int kMostStarRuns = 30;
constexpr char32_t kLastSetMember = 0xFF;

constexpr char32_t fold(char32_t character) {
    return character >= U'A' && character <= U'Z' ? character + (U'a' - U'A') : character;
}

// Reads a name of Latin-1 (here: ASCII) characters one character at a time.
class Latin1Reader {
  public:
    explicit Latin1Reader(QLatin1StringView text) : text_(text) {}
    qsizetype size() const { return text_.size(); }
    char32_t read(qsizetype at, qsizetype& next) const {
        next = at + 1;
        return static_cast<unsigned char>(text_.data()[at]);
    }

  private:
    QLatin1StringView text_;
};

// Reads UTF-16 text one character at a time: a surrogate pair is one
// character, a lone surrogate stands for itself.
class Utf16Reader {
  public:
    explicit Utf16Reader(QStringView text) : text_(text) {}
    qsizetype size() const { return text_.size(); }
    char32_t read(qsizetype at, qsizetype& next) const {
        const char16_t unit = text_.utf16()[at];
        if (QChar::isHighSurrogate(unit) && at + 1 < text_.size()) {
            const char16_t low = text_.utf16()[at + 1];
            if (QChar::isLowSurrogate(low)) {
                next = at + 2;
                return QChar::surrogateToUcs4(unit, low);
            }
        }
        next = at + 1;
        return unit;
    }

  private:
    QStringView text_;
};

[[noreturn]] void invalid(const QString& mask, std::size_t index) {
    throw AppError(list_messages::invalidMask(mask, static_cast<int>(index) + 1));
}

}  // namespace

NameMask::NameMask(const QString& mask) {
    if (mask == u"*.*") {
        matchesEverything_ = true;
        return;
    }
    const QList<uint> characters = mask.toUcs4();
    const std::size_t end = static_cast<std::size_t>(characters.size());
    const auto at = [&](std::size_t index) { return static_cast<char32_t>(characters[index]); };

    int starRuns = 0;
    bool inStarRun = false;
    std::size_t i = 0;
    while (i < end) {
        const char32_t character = at(i);
        if (character == U'*') {
            if (!inStarRun) {
                if (++starRuns > kMostStarRuns) invalid(mask, i);
                tokens_.push_back({Kind::Star, false, 0, 0});
                inStarRun = true;
            }
            ++i;
            continue;
        }
        if (character == U'?') {
            if (!inStarRun) tokens_.push_back({Kind::AnyCharacter, false, 0, 0});
            ++i;
            continue;
        }
        inStarRun = false;
        if (character != U'[') {
            tokens_.push_back({Kind::Literal, false, fold(character), 0});
            ++i;
            continue;
        }

        // A set: "[", an optional "!", members, "]".
        ++i;
        bool negated = false;
        if (i < end && at(i) == U'!') {
            negated = true;
            ++i;
        }
        if (i == end) invalid(mask, end);
        if (at(i) == U']' || at(i) == U'-') invalid(mask, i);
        std::bitset<256> members;
        while (i < end && at(i) != U']') {
            const char32_t first = at(i);
            char32_t last = first;
            if (i + 2 < end && at(i + 1) == U'-' && at(i + 2) != U']') {
                last = at(i + 2);
                i += 3;
            } else {
                ++i;
            }
            for (char32_t member = first; member <= last && member <= kLastSetMember; ++member) {
                members.set(member);
            }
        }
        if (i == end) invalid(mask, end);
        ++i;  // the "]"
        for (char32_t lower = U'a'; lower <= U'z'; ++lower) {
            const char32_t upper = lower - (U'a' - U'A');
            if (members[lower] || members[upper]) {
                members.set(lower);
                members.set(upper);
            }
        }
        tokens_.push_back({Kind::Set, negated, 0, static_cast<std::uint32_t>(sets_.size())});
        sets_.push_back(members);
    }
    starThenTail_ = starRuns == 1 && !tokens_.empty() && tokens_.front().kind == Kind::Star;
}

bool NameMask::matches(QStringView name) const {
    return matchesEverything_ || matchesWhole(Utf16Reader(name));
}

bool NameMask::matches(QLatin1StringView name) const {
    if (matchesEverything_) return true;
    if (!starThenTail_) return matchesWhole(Latin1Reader(name));
    const std::size_t tail = tokens_.size() - 1;
    if (static_cast<std::size_t>(name.size()) < tail) return false;
    const char* character = name.data() + (static_cast<std::size_t>(name.size()) - tail);
    for (std::size_t token = 1; token <= tail; ++token, ++character) {
        if (!accepts(tokens_[token], static_cast<unsigned char>(*character))) return false;
    }
    return true;
}

bool NameMask::accepts(const Token& token, char32_t character) const {
    switch (token.kind) {
        case Kind::Literal:
            return fold(character) == token.folded;
        case Kind::AnyCharacter:
            return true;
        case Kind::Set:
            return (character <= kLastSetMember && sets_[token.set][character]) != token.negated;
        case Kind::Star:
            break;
    }
    return false;
}

// Every token but "*" takes exactly one character, so it is enough to
// remember the last "*": when the tokens after it fail, that "*" takes one
// more character and they are tried again.
template <typename Name>
bool NameMask::matchesWhole(const Name& name) const {
    constexpr std::size_t kNoStar = static_cast<std::size_t>(-1);
    const std::size_t count = tokens_.size();
    const qsizetype end = name.size();
    std::size_t token = 0;
    qsizetype position = 0;
    std::size_t starToken = kNoStar;
    qsizetype starPosition = 0;
    while (position < end) {
        if (token < count) {
            if (tokens_[token].kind == Kind::Star) {
                starToken = token++;
                starPosition = position;
                continue;
            }
            qsizetype next = 0;
            if (accepts(tokens_[token], name.read(position, next))) {
                ++token;
                position = next;
                continue;
            }
        }
        if (starToken == kNoStar) return false;
        token = starToken + 1;
        name.read(starPosition, starPosition);
        position = starPosition;
    }
    while (token < count && tokens_[token].kind == Kind::Star) ++token;
    return token == count;
}

}  // namespace quillmere
