// The settings file reader: the bytes as the file's contents, then every
// lookup the program makes and a write that must keep the other lines.

#include <QByteArray>

#include "common/ini_file.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quillmere::IniFile;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniFile ini(QStringLiteral("/nonexistent/fuzz.ini"), bytes);
    const QString section = QStringLiteral("Setting");
    ini.readString(section, QStringLiteral("Edit1"), QString());
    ini.readInteger(QStringLiteral("Form"), QStringLiteral("Left"));
    ini.readString(QStringLiteral("Update"), QStringLiteral("BaseURL"), QString());
    ini.writeString(section, QStringLiteral("Edit1"), QStringLiteral("x/*.JPG"));
    if (ini.readString(section, QStringLiteral("Edit1"), QString()) != QStringLiteral("x/*.JPG")) {
        __builtin_trap();  // a written value must read back as written
    }
    return 0;
}
