#pragma once

#include <QStringList>
#include <ostream>

namespace quillmere {

// Runs quillmere-batch with its arguments (without the program name);
// returns the exit status: 0 done, 1 an error ended the run, 2 a wrong
// command line.
int runBatchCommand(const QStringList& arguments, std::ostream& out, std::ostream& err);

}  // namespace quillmere
