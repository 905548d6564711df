#include "app/command_line_files.h"

#include <exception>

#include "app/app_messages.h"
#include "common/path_encoding.h"
#include "list/absolute_path.h"

namespace quillmere {

CommandLineFiles readCommandLineFiles(const QStringList& arguments,
                                      const std::optional<QString>& currentDirectory) {
    CommandLineFiles read;
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && argument.startsWith(u'-')) {
            read.ignoredOptions << argument;
        } else if (argument.startsWith(u'/')) {
            read.paths << argument;
        } else if (argument.isEmpty()) {
            continue;
        } else if (currentDirectory) {
            read.paths << absoluteForm(argument, *currentDirectory);
        } else {
            read.leftOut << argument;
        }
    }
    return read;
}

QStringList argumentsLeftByQt(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << decodePath(argv[i]);
    return arguments;
}

QStringList commandLineFiles(int argc, const char* const* argv, std::FILE* warnings) {
    std::optional<QString> directory;
    QString reason;
    try {
        directory = currentDirectory();
    } catch (const std::exception& error) {
        reason = QString::fromUtf8(error.what());
    }
    const CommandLineFiles read = readCommandLineFiles(argumentsLeftByQt(argc, argv), directory);
    const auto warn = [warnings](const QString& line) {
        std::fputs(encodePath(line).constData(), warnings);
    };
    for (const QString& option : read.ignoredOptions) warn(app_messages::optionIgnored(option));
    for (const QString& name : read.leftOut) warn(app_messages::relativeNameLeftOut(name, reason));
    return read.paths;
}

}  // namespace quillmere
