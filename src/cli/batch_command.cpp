#include "cli/batch_command.h"

#include <optional>

#include "cli/cli_messages.h"
#include "cli/console_log.h"
#include "common/app_error.h"
#include "common/error_text.h"
#include "convert/batch_conversion.h"
#include "convert/format_names.h"
#include "convert/plain_ports.h"
#include "list/folder_scan.h"
#include "list/search_pattern.h"
#include "common/path_encoding.h"

namespace quillmere {

namespace {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool listOnly = false;
    bool overwrite = false;
    bool recursive = false;
    std::optional<QString> search;
    std::optional<QString> format;
    QString quality = QStringLiteral("90");
    QStringList paths;
};

// Reads the arguments; a problem is returned as its text.
std::optional<QString> parse(const QStringList& arguments, CommandLine& line) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            line.paths.append(argument);
            continue;
        }
        QString name = argument;
        std::optional<QString> attached;
        if (const qsizetype equals = argument.indexOf(u'=');
            argument.startsWith(u"--") && equals > 0) {
            name = argument.left(equals);
            attached = argument.mid(equals + 1);
        }
        const auto value = [&]() -> std::optional<QString> {
            if (attached) return attached;
            if (i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };
        if (name == u"--") {
            optionsEnded = true;
        } else if (name == u"--help" || name == u"-h") {
            line.help = true;
        } else if (name == u"--version") {
            line.version = true;
        } else if (name == u"--list") {
            line.listOnly = true;
        } else if (name == u"--overwrite") {
            line.overwrite = true;
        } else if (name == u"--recursive") {
            line.recursive = true;
        } else if (name == u"--to" || name == u"--quality" || name == u"--search") {
            const std::optional<QString> given = value();
            if (!given) return QStringLiteral("%1 needs a value").arg(name);
            if (name == u"--quality") {
                line.quality = *given;
            } else if (name == u"--search") {
                line.search = *given;
            } else {
                const QString upper = given->toUpper();
                if (!formatNames().contains(upper)) return cli_messages::unknownFormat(*given);
                line.format = upper;
            }
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
        if (attached && (name == u"--help" || name == u"--version" || name == u"--list" ||
                         name == u"--overwrite" || name == u"--recursive")) {
            return QStringLiteral("%1 takes no value").arg(name);
        }
    }
    if (line.recursive && !line.search) return cli_messages::recursiveWithoutSearch();
    if (!line.help && !line.version && !line.listOnly && !line.format) {
        return cli_messages::missingTarget();
    }
    return std::nullopt;
}

void print(std::ostream& stream, const QString& text) {
    stream << encodePath(text).toStdString();
    stream.flush();
}

// What the folder scan finds for the search text, split as the window
// splits it, followed by the paths given.
QStringList listOf(const CommandLine& line) {
    if (!line.search) return line.paths;
    if (!isScannable(*line.search)) throw AppError(cli_messages::searchNotScannable(*line.search));
    const SearchPattern search = splitSearchPattern(*line.search);
    return scanFolder(search.directory, search.fileName, line.recursive) + line.paths;
}

int reportError(std::ostream& err, const std::exception& error) {
    print(err, errorBoxText(QString::fromUtf8(error.what())) + u'\n');
    return 1;
}

}  // namespace

int runBatchCommand(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (const std::optional<QString> problem = parse(arguments, line)) {
        print(err, cli_messages::wrongCommandLine(*problem));
        return 2;
    }
    if (line.help) {
        print(out, cli_messages::help());
        return 0;
    }
    if (line.version) {
        print(out, cli_messages::version());
        return 0;
    }
    QStringList paths;
    try {
        paths = listOf(line);
    } catch (const std::exception& error) {
        return reportError(err, error);
    }
    if (line.listOnly) {
        for (const QString& path : paths) print(out, path + u'\n');
        return 0;
    }

    const PathList list(paths);
    ConsoleLog log(out);
    ImageControl preview;
    const FixedFormat format(*line.format);
    TextQualityField quality(line.quality);
    const FixedOverwrite overwrite(line.overwrite);
    try {
        runBatchConversion({list, log, preview, format, quality, overwrite});
    } catch (const std::exception& error) {
        log.flush();
        return reportError(err, error);
    }
    return 0;
}

}  // namespace quillmere
