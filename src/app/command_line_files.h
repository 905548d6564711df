#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

// Files named on the command line ("quillmere FILE...", as a desktop's
// "Open with" starts the program) join the list as dropped files do.
namespace quillmere {

// What the command line holds once Qt has taken its own options out.
struct CommandLineFiles {
    // The files, in the order given, each absolute: a relative one is
    // joined to the current directory with "." and ".." resolved by text,
    // an absolute one is kept as given.
    QStringList paths;
    // Arguments before "--" that start with "-". The program has no options
    // of its own, so these are reported and otherwise ignored.
    QStringList ignoredOptions;
    // Relative names left out because the current directory is unknown.
    QStringList leftOut;
};

// Reads the arguments after the program's name. "--" ends the options:
// every argument after it names a file, whatever it starts with. An empty
// argument names no file and is left out.
CommandLineFiles readCommandLineFiles(const QStringList& arguments,
                                      const std::optional<QString>& currentDirectory);

// The arguments after the program's name that the application object has
// left in argv once it took out its own options ("-platform", "-style",
// ...): QCoreApplication::arguments() without the program's name, but
// decoded as file names are, so that a name that is not UTF-8 still names
// its own file.
QStringList argumentsLeftByQt(int argc, const char* const* argv);

// Start-up's reading of the command line, against the current directory:
// the files it names, once each argument it cannot use has been reported on
// `warnings`.
QStringList commandLineFiles(int argc, const char* const* argv, std::FILE* warnings);

}  // namespace quillmere
