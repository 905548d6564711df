#include "convert/dry_run.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <optional>

#include "common/app_error.h"
#include "convert/convert_messages.h"
#include "convert/output_folder.h"
#include "imaging/file_access.h"

namespace quillmere {

namespace {

QString fileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

BatchEnd dryRunBatch(const BatchPlan& plan, BatchView& view,
                     const BatchRunner::EntryFailed& failed) {
    std::optional<OutputFolder> outputFolder;
    if (!plan.targetFolder.isEmpty()) outputFolder.emplace(plan.targetFolder);
    QSet<QString> written;
    const auto exists = [&](const QString& path) {
        return written.contains(fileKey(path)) || isExistingFile(path);
    };
    BatchProgress progress{0, static_cast<int>(plan.sources.size()), 0};

    for (int index = 0; index < plan.sources.size(); ++index) {
        const QString& source = plan.sources[index];
        const QString target = plan.targetOf(index);
        EntryEnd end{index, EntryStatus::Converted, source, target, nullptr, 0};
        if (!exists(source)) {
            end.status = EntryStatus::Missing;
        } else {
            const bool targetExists = !target.isEmpty() && exists(target);
            try {
                if (target.isEmpty()) throw AppError(plan.targets[index].problem);
                if (targetExists) view.appendLine(convert_messages::targetExists(target));
                if (!targetExists || plan.overwrite) {
                    if (outputFolder) outputFolder->prepareFor(target, false);
                    if (targetExists) {
                        view.appendToLastLine(convert_messages::overwritten());
                        end.status = EntryStatus::Replaced;
                    } else {
                        view.appendLine(target);
                    }
                    written.insert(fileKey(target));
                } else {
                    end.status = EntryStatus::Exists;
                }
            } catch (const std::exception&) {
                end.status = EntryStatus::Failed;
                end.error = std::current_exception();
            }
        }
        view.entryEnded(end);
        if (end.error &&
            (!failed || failed(source, end.error) != BatchRunner::AfterFailure::GoOn)) {
            std::rethrow_exception(end.error);
        }
        ++progress.done;
        view.progressed(progress);
    }
    view.appendLine(convert_messages::finished());
    return BatchEnd::Finished;
}

}  // namespace quillmere
