#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <bitset>
#include <cstdint>
#include <vector>

namespace quillmere {

// A file-name mask, compiled once and matched against many names.
//
// "*.*" (exactly those three characters) matches every name. Any other mask
// must match the whole name: "*" any run of characters, "?" exactly one
// character (a "?" inside a run of "*" and "?" adds nothing, so the run acts
// as one "*"), "[...]" one character of a set of single characters and x-y
// ranges ("[!...]" one character outside it; only characters up to U+00FF
// can be members, and the end of the name matches no set), every other
// character itself. The ASCII letters match without regard to case; no
// other character is folded.
//
// Construction throws AppError with the invalid-mask message for an
// unclosed set, an empty set, a set whose first member begins with "-", or
// more than 30 runs of "*".
class NameMask {
  public:
    explicit NameMask(const QString& mask);

    bool matches(QStringView name) const;
    // For Latin-1 names (the scan passes ASCII names this way, undecoded).
    bool matches(QLatin1StringView name) const;

  private:
    enum class Kind : std::uint8_t { Literal, AnyCharacter, Set, Star };
    struct Token {
        Kind kind;
        bool negated;       // sets only
        char32_t folded;    // literals only: the character with A-Z folded to a-z
        std::uint32_t set;  // sets only: index into sets_
    };

    template <typename Name>
    bool matchesWhole(const Name& name) const;
    bool accepts(const Token& token, char32_t character) const;

    bool matchesEverything_ = false;
    // The mask is one "*" followed by tokens that take one character each
    // (such as "*.JPG"): a name matches when its end matches them.
    bool starThenTail_ = false;
    std::vector<Token> tokens_;
    std::vector<std::bitset<256>> sets_;
};

}  // namespace quillmere
