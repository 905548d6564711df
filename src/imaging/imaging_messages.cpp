#include "imaging/imaging_messages.h"

namespace quillmere::imaging_messages {

QString unknownExtension(const QString& extension) {
    return QStringLiteral("Unknown picture file extension (.%1)").arg(extension);
}

QString cannotOpenFile(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
}

QString cannotCreateFile(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

QString notARegularFile() {
    return QStringLiteral("Not a regular file");
}

QString bitmapNotValid() {
    return QStringLiteral("Bitmap image is not valid");
}

QString iconNotValid() {
    return QStringLiteral("Icon image is not valid");
}

QString metafileNotValid() {
    return QStringLiteral("Metafile is not valid");
}

QString metafilePlayerMissing(const QString& reason) {
    return QStringLiteral("The metafile player could not be loaded (%1)").arg(reason);
}

QString metafilePlayerNotBuiltIn() {
    return QStringLiteral("this program has none");
}

QString metafilePluginOfAnotherBuild(const QString& path) {
    return QStringLiteral("%1 belongs to another build").arg(path);
}

QString tiffLibraryMissing(const QString& reason) {
    return QStringLiteral("The TIFF library could not be loaded (%1)").arg(reason);
}

QString jpegError(int messageCode) {
    return QStringLiteral("JPEG error #%1").arg(messageCode);
}

QString pngInvalidHeader() {
    return QStringLiteral(
        "The file being read is not a valid \"Portable Network Graphics\" image because it "
        "contains an invalid header. This file may be corrupted, try obtaining it again");
}

QString pngUnexpectedEnd() {
    return QStringLiteral(
        "This \"Portable Network Graphics\" image is invalid because the decoder found an "
        "unexpected end of the file.");
}

QString invalidGifSignature() {
    return QStringLiteral("Invalid GIF signature");
}

QString invalidStreamFormat() {
    return QStringLiteral("Invalid stream format");
}

namespace {

QString tooLargeToLoad(const QString& measure) {
    return QStringLiteral("The picture is too large to load (%1)").arg(measure);
}

}  // namespace

QString pictureTooLarge(long long width, long long height) {
    return tooLargeToLoad(QStringLiteral("%1 x %2 pixels").arg(width).arg(height));
}

QString pictureFileTooLarge(unsigned long long bytes) {
    return tooLargeToLoad(QStringLiteral("%1 bytes").arg(bytes));
}

QString gifTooLarge(int width, int height) {
    return QStringLiteral(
               "A GIF file cannot hold a picture of %1 x %2 pixels (65535 at most a side)")
        .arg(width)
        .arg(height);
}

}  // namespace quillmere::imaging_messages
