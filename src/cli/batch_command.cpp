#include "cli/batch_command.h"

#include <functional>
#include <iostream>
#include <optional>

#include "cli/cli_messages.h"
#include "cli/console_batch_view.h"
#include "cli/failure_report.h"
#include "cli/name_list.h"
#include "cli/stop_signals.h"
#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "common/path_text.h"
#include "convert/batch_runner.h"
#include "convert/byte_size.h"
#include "convert/format_names.h"
#include "convert/plain_ports.h"
#include "imaging/picture_file.h"
#include "list/folder_scan.h"
#include "list/search_pattern.h"

namespace quillmere {

namespace {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool listOnly = false;
    bool overwrite = false;
    bool recursive = false;
    bool keepGoing = false;
    bool nullSeparated = false;
    std::optional<QString> search;
    QStringList nameLists;  // --files-from, in the order given
    std::optional<QString> format;
    QString quality = QStringLiteral("90");
    std::optional<int> jobs;
    std::optional<std::uint64_t> memoryLimit;
    QStringList paths;
};

constexpr int kMostJobs = 256;

std::optional<int> jobCount(const QString& text) {
    bool ok = false;
    const int count = text.toInt(&ok);
    if (!ok || count < 1 || count > kMostJobs) return std::nullopt;
    return count;
}

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
        } else if (name == u"--keep-going") {
            line.keepGoing = true;
        } else if (name == u"--null" || name == u"-0") {
            line.nullSeparated = true;
        } else if (name == u"--to" || name == u"--quality" || name == u"--search" ||
                   name == u"--jobs" || name == u"--memory-limit" || name == u"--files-from") {
            const std::optional<QString> given = value();
            if (!given) return QStringLiteral("%1 needs a value").arg(name);
            if (name == u"--quality") {
                line.quality = *given;
            } else if (name == u"--jobs") {
                line.jobs = jobCount(*given);
                if (!line.jobs) return cli_messages::badJobCount(*given, kMostJobs);
            } else if (name == u"--memory-limit") {
                line.memoryLimit = parseByteSize(*given);
                if (!line.memoryLimit) return cli_messages::badMemoryLimit(*given);
            } else if (name == u"--search") {
                line.search = *given;
            } else if (name == u"--files-from") {
                line.nameLists.append(*given);
            } else {
                const QString upper = given->toUpper();
                if (!formatNames().contains(upper)) return cli_messages::unknownFormat(*given);
                line.format = upper;
            }
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
        if (attached && (name == u"--help" || name == u"--version" || name == u"--list" ||
                         name == u"--overwrite" || name == u"--recursive" ||
                         name == u"--keep-going" || name == u"--null")) {
            return QStringLiteral("%1 takes no value").arg(name);
        }
    }
    if (line.recursive && !line.search) return cli_messages::recursiveWithoutSearch();
    if (line.nullSeparated && line.nameLists.isEmpty()) return cli_messages::nullWithoutList();
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
// splits it, followed by the names of the lists, then the paths given.
QStringList listOf(const CommandLine& line, std::istream& standardInput) {
    QStringList list;
    if (line.search) {
        if (!isScannable(*line.search)) {
            throw AppError(cli_messages::searchNotScannable(*line.search));
        }
        const SearchPattern search = splitSearchPattern(*line.search);
        list = scanFolder(search.directory, search.fileName, line.recursive);
    }
    for (const QString& file : line.nameLists) {
        list += readNameList(file, line.nullSeparated ? '\0' : '\n', standardInput);
    }
    return list + line.paths;
}

bool holdsMetafile(const QStringList& paths) {
    for (const QString& path : paths) {
        if (graphicKindForExtension(extensionWithoutDot(path)) == GraphicKind::Metafile) {
            return true;
        }
    }
    return false;
}

int reportError(std::ostream& err, const std::exception& error) {
    print(err, errorBoxText(QString::fromUtf8(error.what())) + u'\n');
    return 1;
}

}  // namespace

int runBatchCommand(const QStringList& arguments, std::ostream& out, std::ostream& err,
                    const BatchCommandEnvironment& environment) {
    const auto& [needFonts, progressOnTerminal, budgetChosen, stopOnSignals, standardInput] =
        environment;
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
        paths = listOf(line, standardInput ? *standardInput : std::cin);
    } catch (const std::exception& error) {
        return reportError(err, error);
    }
    if (line.listOnly) {
        for (const QString& path : paths) print(out, path + u'\n');
        return 0;
    }

    const PathList list(paths);
    const FixedFormat format(*line.format);
    TextQualityField quality(line.quality);
    const FixedOverwrite overwrite(line.overwrite);
    BatchPlan plan = planBatch(list, format, quality, overwrite);
    plan.showPictures = false;
    if (needFonts && holdsMetafile(plan.sources)) needFonts();

    // One job is the plain sequential run; more prepare pictures on that
    // many threads while this one writes them.
    const int jobs = line.jobs.value_or(defaultWorkerCount());
    const std::uint64_t budget = line.memoryLimit.value_or(defaultMemoryBudget());
    if (budgetChosen) budgetChosen(budget);
    ConsoleBatchView view(out, progressOnTerminal ? &err : nullptr);
    BatchRunner runner(std::move(plan), jobs > 1 ? jobs : 0, budget);
    FailureReport failures(err, view, line.keepGoing);
    runner.onEntryFailed(std::ref(failures));
    std::optional<StopSignals> stopSignals;
    if (stopOnSignals) stopSignals.emplace([&runner] { runner.requestStop(); });
    BatchEnd end = BatchEnd::Finished;
    try {
        end = runner.run(view);
    } catch (const std::exception& error) {
        view.flush();
        return failures.endedRun() ? 1 : reportError(err, error);
    }
    // Every target written is in the log before the program ends.
    view.flush();
    if (end == BatchEnd::Stopped && stopSignals && stopSignals->received() != 0) {
        return 128 + stopSignals->received();
    }
    return failures.any() ? 1 : 0;
}

}  // namespace quillmere
