#pragma once

#include <QList>
#include <QString>

namespace quillmere {

// A member of a JSON object with the text of its value: a string's content,
// a number's literal text as written, "true", "false" or "null", and empty
// text for an object or an array.
struct JsonMember {
    QString name;
    QString valueText;
};

// What a text holds when read as one strict JSON document (RFC 8259).
struct JsonObjectReading {
    enum class Shape { Invalid, NotAnObject, Object };
    Shape shape = Shape::Invalid;
    // The top-level object's members in document order, duplicates kept.
    QList<JsonMember> members;
};

JsonObjectReading readJsonObject(const QString& text);

// The value text of the first member called exactly `name`, or nothing.
const QString* firstMemberText(const QList<JsonMember>& members, const QString& name);

}  // namespace quillmere
