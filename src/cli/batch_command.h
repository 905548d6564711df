#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>

namespace quillmere {

// Runs quillmere-batch with its arguments (without the program name);
// returns the exit status: 0 done, 1 an entry failed (or an error ended
// the run), 2 a wrong command line, 128 + the signal when SIGINT or SIGTERM
// stopped it.
struct BatchCommandEnvironment {
    // Called once, before any picture is read, when the list holds a
    // metafile: their text needs fonts.
    std::function<void()> needFonts;
    // Whether standard error is a terminal, which then shows the progress.
    bool progressOnTerminal = false;
    // Called once, before any picture is read, with the run's memory
    // budget in bytes.
    std::function<void(std::uint64_t budget)> budgetChosen;
    // Whether SIGINT and SIGTERM stop the run as the window's Stop does;
    // the exit status is then 128 + the signal.
    bool stopOnSignals = false;
    // What --files-from - reads; standard input when not given.
    std::istream* standardInput = nullptr;
};

int runBatchCommand(const QStringList& arguments, std::ostream& out, std::ostream& err,
                    const BatchCommandEnvironment& environment = {});

}  // namespace quillmere
