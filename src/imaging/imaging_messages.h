#pragma once

#include <QString>

// Every text the image engine shows the user.
namespace quillmere::imaging_messages {

QString unknownExtension(const QString& extension);
QString cannotOpenFile(const QString& path, const QString& reason);
QString cannotCreateFile(const QString& path, const QString& reason);
// The reason a folder-like or device-like entry cannot be read as a picture.
QString notARegularFile();
QString bitmapNotValid();
QString iconNotValid();
QString metafileNotValid();
// Why a metafile cannot be played: the player plug-in did not load.
QString metafilePlayerMissing(const QString& reason);
QString metafilePlayerNotBuiltIn();
QString metafilePluginOfAnotherBuild(const QString& path);
// Why a TIFF file cannot be read or written: libtiff did not load.
QString tiffLibraryMissing(const QString& reason);
QString jpegError(int messageCode);
QString pngInvalidHeader();
QString pngUnexpectedEnd();
QString invalidGifSignature();
QString invalidStreamFormat();
QString pictureTooLarge(long long width, long long height);
QString pictureFileTooLarge(unsigned long long bytes);
QString gifTooLarge(int width, int height);

}  // namespace quillmere::imaging_messages
