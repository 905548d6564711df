#include "cli/failure_report.h"

#include "cli/cli_messages.h"
#include "common/error_text.h"
#include "common/path_encoding.h"

namespace quillmere {

BatchRunner::AfterFailure FailureReport::operator()(const QString& source,
                                                    const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        view_.flush();
        const QString message = errorBoxText(QString::fromUtf8(failure.what()));
        err_ << encodePath(cli_messages::entryFailed(source, message)).toStdString();
        err_.flush();
    }
    failures_ = true;
    ended_ = !keepGoing_;
    return keepGoing_ ? BatchRunner::AfterFailure::GoOn : BatchRunner::AfterFailure::End;
}

}  // namespace quillmere
