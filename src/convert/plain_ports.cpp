#include "convert/plain_ports.h"

namespace quillmere {

PathList::PathList(QStringList paths, std::set<int> selection)
    : paths_(std::move(paths)), selection_(std::move(selection)) {}

void LineLog::appendToLastLine(const QString& text) {
    if (lines_.isEmpty()) lines_.append(QString());
    lines_.last() += text;
}

}  // namespace quillmere
