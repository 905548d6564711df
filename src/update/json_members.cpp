#include "update/json_members.h"

namespace quillmere {

namespace {

// Deeper nesting than this is refused rather than risking the stack.
constexpr int kMaxDepth = 512;

// A strict recursive-descent reader over UTF-16 code units. Each parse
// function returns false at the first fault; the text then is not JSON.
class Reader {
  public:
    explicit Reader(const QString& text) : text_(text) {}

    JsonObjectReading read() {
        JsonObjectReading reading;
        skipBlanks();
        const bool isObject = peek() == u'{';
        QString ignored;
        bool valid = isObject ? parseObject(0, &reading.members) : parseValue(0, ignored);
        skipBlanks();
        valid = valid && pos_ == text_.size();
        if (!valid) {
            reading.members.clear();
            return reading;
        }
        reading.shape =
            isObject ? JsonObjectReading::Shape::Object : JsonObjectReading::Shape::NotAnObject;
        return reading;
    }

  private:
    char16_t peek() const { return pos_ < text_.size() ? text_[pos_].unicode() : u'\0'; }
    bool atEnd() const { return pos_ >= text_.size(); }

    void skipBlanks() {
        while (!atEnd()) {
            const char16_t c = peek();
            if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') break;
            ++pos_;
        }
    }

    bool expect(char16_t c) {
        if (atEnd() || peek() != c) return false;
        ++pos_;
        return true;
    }

    bool expectWord(QStringView word) {
        if (QStringView(text_).mid(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    // A value; `text` receives its value text.
    bool parseValue(int depth, QString& text) {
        if (depth > kMaxDepth) return false;
        switch (peek()) {
            case u'{':
                text.clear();
                return parseObject(depth + 1, nullptr);
            case u'[':
                text.clear();
                return parseArray(depth + 1);
            case u'"':
                return parseString(text);
            case u't':
                text = QStringLiteral("true");
                return expectWord(u"true");
            case u'f':
                text = QStringLiteral("false");
                return expectWord(u"false");
            case u'n':
                text = QStringLiteral("null");
                return expectWord(u"null");
            default:
                return parseNumber(text);
        }
    }

    // An object; its members go to `members` when given.
    bool parseObject(int depth, QList<JsonMember>* members) {
        if (depth > kMaxDepth || !expect(u'{')) return false;
        skipBlanks();
        if (expect(u'}')) return true;
        while (true) {
            JsonMember member;
            skipBlanks();
            if (peek() != u'"' || !parseString(member.name)) return false;
            skipBlanks();
            if (!expect(u':')) return false;
            skipBlanks();
            if (!parseValue(depth, member.valueText)) return false;
            if (members) members->append(std::move(member));
            skipBlanks();
            if (expect(u'}')) return true;
            if (!expect(u',')) return false;
        }
    }

    bool parseArray(int depth) {
        if (depth > kMaxDepth || !expect(u'[')) return false;
        skipBlanks();
        if (expect(u']')) return true;
        QString ignored;
        while (true) {
            skipBlanks();
            if (!parseValue(depth, ignored)) return false;
            skipBlanks();
            if (expect(u']')) return true;
            if (!expect(u',')) return false;
        }
    }

    static int hexValue(char16_t c) {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        return -1;
    }

    bool parseString(QString& text) {
        text.clear();
        if (!expect(u'"')) return false;
        while (!atEnd()) {
            const char16_t c = text_[pos_++].unicode();
            if (c == u'"') return true;
            if (c < 0x20) return false;
            if (c != u'\\') {
                text.append(QChar(c));
                continue;
            }
            if (atEnd()) return false;
            switch (text_[pos_++].unicode()) {
                case u'"':
                    text.append(u'"');
                    break;
                case u'\\':
                    text.append(u'\\');
                    break;
                case u'/':
                    text.append(u'/');
                    break;
                case u'b':
                    text.append(u'\b');
                    break;
                case u'f':
                    text.append(u'\f');
                    break;
                case u'n':
                    text.append(u'\n');
                    break;
                case u'r':
                    text.append(u'\r');
                    break;
                case u't':
                    text.append(u'\t');
                    break;
                case u'u': {
                    if (text_.size() - pos_ < 4) return false;
                    char16_t unit = 0;
                    for (int i = 0; i < 4; ++i) {
                        const int digit = hexValue(text_[pos_++].unicode());
                        if (digit < 0) return false;
                        unit = static_cast<char16_t>(unit * 16 + digit);
                    }
                    text.append(QChar(unit));
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    bool isDigit() const { return !atEnd() && peek() >= u'0' && peek() <= u'9'; }

    bool skipDigits() {
        if (!isDigit()) return false;
        while (isDigit()) ++pos_;
        return true;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, kept as written.
    bool parseNumber(QString& text) {
        const qsizetype start = pos_;
        expect(u'-');
        if (expect(u'0')) {
            // No further digits may follow a leading zero.
        } else if (!skipDigits()) {
            return false;
        }
        if (expect(u'.') && !skipDigits()) return false;
        if (expect(u'e') || expect(u'E')) {
            if (!expect(u'+')) expect(u'-');
            if (!skipDigits()) return false;
        }
        text = text_.mid(start, pos_ - start);
        return true;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

}  // namespace

JsonObjectReading readJsonObject(const QString& text) {
    return Reader(text).read();
}

const QString* firstMemberText(const QList<JsonMember>& members, const QString& name) {
    for (const JsonMember& member : members) {
        if (member.name == name) return &member.valueText;
    }
    return nullptr;
}

}  // namespace quillmere
