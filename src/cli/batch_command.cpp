#include "cli/batch_command.h"

#include <functional>
#include <iostream>
#include <optional>

#include "cli/cli_messages.h"
#include "cli/console_batch_view.h"
#include "cli/failure_report.h"
#include "cli/json_report.h"
#include "cli/list_shard.h"
#include "cli/name_list.h"
#include "cli/stop_signals.h"
#include "common/app_error.h"
#include "common/error_text.h"
#include "common/path_encoding.h"
#include "common/path_text.h"
#include "convert/batch_plan.h"
#include "convert/batch_runner.h"
#include "convert/byte_size.h"
#include "convert/dry_run.h"
#include "convert/format_names.h"
#include "convert/output_folder.h"
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
    bool json = false;
    bool dryRun = false;
    std::optional<ListShard> shard;
    std::optional<QString> outputFolder;
    std::optional<QString> base;
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
        } else if (name == u"--json") {
            line.json = true;
        } else if (name == u"--dry-run") {
            line.dryRun = true;
        } else if (name == u"--to" || name == u"--quality" || name == u"--search" ||
                   name == u"--jobs" || name == u"--memory-limit" || name == u"--files-from" ||
                   name == u"--shard" || name == u"--output-dir" || name == u"--base") {
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
            } else if (name == u"--shard") {
                line.shard = parseListShard(*given);
                if (!line.shard) return cli_messages::badShard(*given);
            } else if (name == u"--output-dir" || name == u"--base") {
                if (given->isEmpty()) return QStringLiteral("%1 needs a value").arg(name);
                (name == u"--base" ? line.base : line.outputFolder) = *given;
            } else {
                const QString upper = given->toUpper();
                if (!formatNames().contains(upper)) return cli_messages::unknownFormat(*given);
                line.format = upper;
            }
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
        if (attached &&
            (name == u"--help" || name == u"--version" || name == u"--list" ||
             name == u"--overwrite" || name == u"--recursive" || name == u"--keep-going" ||
             name == u"--null" || name == u"--json" || name == u"--dry-run")) {
            return QStringLiteral("%1 takes no value").arg(name);
        }
    }
    if (line.recursive && !line.search) return cli_messages::recursiveWithoutSearch();
    if (line.nullSeparated && line.nameLists.isEmpty()) return cli_messages::nullWithoutList();
    if (line.base && !line.outputFolder) return cli_messages::baseWithoutOutputFolder();
    if (!line.help && !line.version && !line.listOnly && !line.format) {
        return cli_messages::missingTarget();
    }
    return std::nullopt;
}

void print(std::ostream& stream, const QString& text) {
    stream << encodePath(text).toStdString();
    stream.flush();
}

// The run's list: what the folder scan finds for the search text, split as
// the window splits it, followed by the names of the lists, then the paths
// given.
struct Listed {
    QStringList paths;
    // The first `found` paths are the search's, found in `searchFolder`.
    qsizetype found = 0;
    QString searchFolder;
};

Listed listOf(const CommandLine& line, std::istream& standardInput) {
    Listed listed;
    if (line.search) {
        if (!isScannable(*line.search)) {
            throw AppError(cli_messages::searchNotScannable(*line.search));
        }
        const SearchPattern search = splitSearchPattern(*line.search);
        listed.paths = scanFolder(search.directory, search.fileName, line.recursive);
        listed.found = listed.paths.size();
        listed.searchFolder = search.directory.isEmpty() ? QStringLiteral(".") : search.directory;
    }
    for (const QString& file : line.nameLists) {
        listed.paths += readNameList(file, line.nullSeparated ? '\0' : '\n', standardInput);
    }
    listed.paths += line.paths;
    return listed;
}

// Each entry's target in the output folder: its path relative to the
// search's folder, or to the base for the others.
std::vector<PlannedTarget> mirroredTargets(const CommandLine& line, const Listed& listed) {
    std::vector<PlannedTarget> targets;
    targets.reserve(static_cast<std::size_t>(listed.paths.size()));
    const QString base = line.base.value_or(QStringLiteral("."));
    for (qsizetype i = 0; i < listed.paths.size(); ++i) {
        targets.push_back(mirroredTarget(listed.paths[i],
                                         i < listed.found ? listed.searchFolder : base,
                                         *line.outputFolder, *line.format));
    }
    return targets;
}

// Keeps the entries of the shard, with their targets when they have some.
void keepShard(ListShard shard, QStringList& paths, std::vector<PlannedTarget>& targets) {
    QStringList kept;
    std::vector<PlannedTarget> keptTargets;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (!isInShard(paths[i], shard)) continue;
        kept.append(paths[i]);
        if (!targets.empty())
            keptTargets.push_back(std::move(targets[static_cast<std::size_t>(i)]));
    }
    paths = std::move(kept);
    targets = std::move(keptTargets);
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
    Listed listed;
    try {
        listed = listOf(line, standardInput ? *standardInput : std::cin);
    } catch (const std::exception& error) {
        return reportError(err, error);
    }
    std::vector<PlannedTarget> targets;
    if (line.outputFolder && !line.listOnly) targets = mirroredTargets(line, listed);
    QStringList& paths = listed.paths;
    if (line.shard) keepShard(*line.shard, paths, targets);
    if (line.listOnly) {
        for (const QString& path : paths) print(out, path + u'\n');
        return 0;
    }

    BatchPlan plan = planBatch({paths, {}, *line.format, line.quality, line.overwrite});
    plan.showPictures = false;
    plan.targets = std::move(targets);
    if (line.outputFolder) plan.targetFolder = *line.outputFolder;
    std::optional<JsonReport> report;
    if (line.json) report.emplace(out);
    JsonReport* const reportOrNone = report ? &*report : nullptr;

    if (line.dryRun) {
        ConsoleBatchView view(out, nullptr, reportOrNone);
        FailureReport failures(err, view, line.keepGoing);
        try {
            dryRunBatch(plan, view, std::ref(failures));
        } catch (const std::exception& error) {
            view.flush();
            if (report) report->summary(std::nullopt);
            return failures.endedRun() ? 1 : reportError(err, error);
        }
        view.flush();
        if (report) report->summary(BatchEnd::Finished);
        return failures.any() ? 1 : 0;
    }
    if (needFonts && holdsMetafile(plan.sources)) needFonts();

    // One job is the plain sequential run; more prepare pictures on that
    // many threads while this one writes them.
    const int jobs = line.jobs.value_or(defaultWorkerCount());
    const std::uint64_t budget = line.memoryLimit.value_or(defaultMemoryBudget());
    if (budgetChosen) budgetChosen(budget);
    ConsoleBatchView view(out, progressOnTerminal ? &err : nullptr, reportOrNone);
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
        if (report) report->summary(std::nullopt);
        return failures.endedRun() ? 1 : reportError(err, error);
    }
    // Every target written is in the log before the program ends.
    view.flush();
    if (report) report->summary(end);
    if (end == BatchEnd::Stopped && stopSignals && stopSignals->received() != 0) {
        return 128 + stopSignals->received();
    }
    return failures.any() ? 1 : 0;
}

}  // namespace quillmere
