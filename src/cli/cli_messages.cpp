#include "cli/cli_messages.h"

namespace quillmere::cli_messages {

QString usage() {
    return QStringLiteral(
        "Usage: quillmere-batch --to FORMAT [--quality TEXT] [--overwrite]\n"
        "                       [--search TEXT [--recursive]] [--jobs N] [--memory-limit SIZE]\n"
        "                       [--keep-going] [--files-from FILE [--null]] [--shard K/N]\n"
        "                       [--output-dir DIR [--base BASE]] [--json] [--dry-run]\n"
        "                       [--list] [PATH...]\n");
}

QString help() {
    return usage() +
           QStringLiteral(
               "\n"
               "Converts picture files into BMP, JPG, PNG, GIF or TIFF files written beside\n"
               "them, under the same name with the new extension, and prints the log.\n"
               "Reads BMP, ICO, WMF, EMF, JPEG, PNG, GIF and TIFF files.\n"
               "\n"
               "Options:\n"
               "  --to FORMAT      the format converted to: BMP, JPG, PNG, GIF or TIFF\n"
               "  --quality TEXT   the JPEG quality as typed in the window (default 90);\n"
               "                   0 or a text that is not a number means 100\n"
               "  --overwrite      replace targets that exist already (they are kept otherwise)\n"
               "  --search TEXT    list the files a folder and name pattern find, such as\n"
               "                   photos/*.JPG (the text up to its last \"/\" is the folder;\n"
               "                   it must hold \"*.\"), before the PATHs; quote it for the shell\n"
               "  --recursive      with --search: search every folder below it as well\n"
               "  --jobs N         prepare N pictures at once (default: one per core);\n"
               "                   the files are still written and logged in list order\n"
               "  --memory-limit SIZE\n"
               "                   the memory the pictures being converted may hold at once,\n"
               "                   such as 800M or 2G (default: half of what the system and\n"
               "                   the process's control group have available); a picture\n"
               "                   larger than that is converted on its own\n"
               "  --files-from FILE\n"
               "                   convert (or list) the files named in FILE as well, one a\n"
               "                   line, after those of --search and before the PATHs;\n"
               "                   \"-\" reads the names from standard input\n"
               "  --null, -0       with --files-from: names end at a NUL byte, as\n"
               "                   find -print0 writes them, and may hold newlines\n"
               "  --keep-going     report a file that fails on standard error and go on with\n"
               "                   the others (the exit status is then 1)\n"
               "  --shard K/N      take shard K of N (K from 0 to N - 1) of the list: N runs,\n"
               "                   on one machine or several, each with its own K, together\n"
               "                   convert the list once; a file's shard depends only on its\n"
               "                   name without the extension\n"
               "  --output-dir DIR write each target to DIR, at the source's path relative to\n"
               "                   the folder of --search, or to --base for the other files,\n"
               "                   making the folders needed; nothing is written outside DIR\n"
               "  --base BASE      with --output-dir: the folder the paths of the files named\n"
               "                   by --files-from and PATH are taken from (default: the\n"
               "                   current folder); a file outside it fails\n"
               "  --json           print one JSON object per file instead of the log (source,\n"
               "                   target, status, error, seconds), then a summary line\n"
               "  --dry-run        print the log the run would print; read and write nothing\n"
               "  --list           print the list of files and convert nothing\n"
               "  --help           print this text\n"
               "  --version        print the program's version\n"
               "\n"
               "Exit status:\n"
               "  0    every file was converted (or kept)\n"
               "  1    a file failed (with --keep-going), or an error ended the run\n"
               "  2    a wrong command line\n"
               "  130  SIGINT (Ctrl-C) stopped the run; 143: SIGTERM did\n"
               "\n"
               "On a terminal, the progress is shown on standard error.\n");
}

QString version() {
    return QStringLiteral("quillmere-batch " QUILLMERE_VERSION "\n");
}

QString wrongCommandLine(const QString& problem) {
    return QStringLiteral("quillmere-batch: %1\n").arg(problem) + usage();
}

QString unknownFormat(const QString& format) {
    return QStringLiteral("unknown format \"%1\" (BMP, JPG, PNG, GIF or TIFF)").arg(format);
}

QString badJobCount(const QString& given, int most) {
    return QStringLiteral("--jobs needs a whole number from 1 to %1, not \"%2\"")
        .arg(most)
        .arg(given);
}

QString badMemoryLimit(const QString& given) {
    return QStringLiteral("--memory-limit needs a size such as 512M or 2G, not \"%1\"").arg(given);
}

QString progress(int done, int total, double megapixelsPerSecond, int secondsLeft) {
    const QString left = secondsLeft < 0 ? QStringLiteral("--:--")
                                         : QStringLiteral("%1:%2")
                                               .arg(secondsLeft / 60)
                                               .arg(secondsLeft % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1/%2 files, %3 MP/s, %4 left")
        .arg(done)
        .arg(total)
        .arg(megapixelsPerSecond, 0, 'f', 1)
        .arg(left);
}

QString missingTarget() {
    return QStringLiteral("--to FORMAT is needed to convert");
}

QString recursiveWithoutSearch() {
    return QStringLiteral("--recursive needs --search");
}

QString searchNotScannable(const QString& search) {
    return QStringLiteral("\"%1\" is not a search: it holds no \"*.\"").arg(search);
}

QString nullWithoutList() {
    return QStringLiteral("--null needs --files-from");
}

QString baseWithoutOutputFolder() {
    return QStringLiteral("--base needs --output-dir");
}

QString badShard(const QString& given) {
    return QStringLiteral("--shard needs K/N, a whole K from 0 to N - 1, not \"%1\"").arg(given);
}

QString unreadableList(const QString& file, const QString& reason) {
    const QString what = QStringLiteral("Cannot read the list of files \"%1\"").arg(file);
    return reason.isEmpty() ? what : what + QStringLiteral(". ") + reason;
}

QString entryFailed(const QString& source, const QString& message) {
    return QStringLiteral("quillmere-batch: %1: %2\n").arg(source, message);
}

}  // namespace quillmere::cli_messages
