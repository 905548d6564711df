#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/jpeg_decoder.h"
#include "imaging/codecs/jpeg_encoder.h"
#include "imaging/codecs/tiff_encoder.h"
#include "imaging/fixtures/gif_fixtures.h"
#include "imaging/fixtures/icon_fixtures.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/fixtures/pixels.h"
#include "imaging/fixtures/png_fixtures.h"
#include "imaging/image_process.h"
#include "imaging/picture_file.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere::test {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

const std::string kText = "This is a text file, not a picture.\n";

std::string pngInvalidHeaderText() {
    return "The file being read is not a valid \"Portable Network Graphics\" image because it "
           "contains an invalid header. This file may be corrupted, try obtaining it again";
}

std::string pngUnexpectedEndText() {
    return "This \"Portable Network Graphics\" image is invalid because the decoder found an "
           "unexpected end of the file.";
}

// One file the loader refuses: where it is, what it holds, and the error
// that must come of it.
struct RefusedFile {
    std::string name;  // relative to the sandbox; folders in it are made
    std::vector<std::uint8_t> bytes;
    std::string message;
    bool invalidPicture;
};

void PrintTo(const RefusedFile& file, std::ostream* out) {
    *out << file.name;
}

std::vector<RefusedFile> refusedFiles() {
    const std::vector<std::uint8_t> jpeg = encodeJpeg(photoLike(16, 12, 1), 90);
    const std::vector<std::uint8_t> png = makeRgbPng(photoLike(16, 12, 1));
    const std::vector<std::uint8_t> cutPng(png.begin(),
                                           png.begin() + static_cast<long>(png.size() / 2));
    return {
        {"notes.TXT", bytesOf(kText), "Unknown picture file extension (.TXT)", true},
        {"README", bytesOf(kText), "Unknown picture file extension (.)", true},
        {"picture.", png, "Unknown picture file extension (.)", true},
        {"album.d/cover", jpeg, "Unknown picture file extension (.)", true},
        {"photo.jfif", jpeg, "Unknown picture file extension (.jfif)", true},
        {"photo.jpe", jpeg, "Unknown picture file extension (.jpe)", true},
        {"photo.png.bak", png, "Unknown picture file extension (.bak)", true},
        {"scan.Tga", bytesOf(kText), "Unknown picture file extension (.Tga)", true},
        {"text.bmp", bytesOf(kText), "Bitmap image is not valid", true},
        {"text.ico", bytesOf(kText), "Icon image is not valid", true},
        {"text.jpg", bytesOf(kText), "JPEG error #53", true},
        {"text.JPEG", bytesOf(kText), "JPEG error #53", true},
        {"empty.jpg", {}, "JPEG error #53", true},
        {"text.png", bytesOf(kText), pngInvalidHeaderText(), false},
        {"TEXT.PNG", bytesOf(kText), pngInvalidHeaderText(), false},
        {"cut.png", cutPng, pngUnexpectedEndText(), false},
        {"text.gif", bytesOf(kText), "Invalid GIF signature", true},
        {"Text.Gif", bytesOf(kText), "Invalid GIF signature", true},
        {"text.tif", bytesOf(kText), "Invalid stream format", true},
        {"png.tiff", png, "Invalid stream format", true},
    };
}

class RefusedFiles : public ::testing::TestWithParam<RefusedFile> {};

TEST_P(RefusedFiles, GiveTheirMessageAsTheRightKindOfError) {
    const RefusedFile& file = GetParam();
    const Sandbox sandbox;
    const QString name = QString::fromStdString(file.name);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(sandbox.path(name)).path()));
    const QString path = sandbox.write(name, file.bytes);

    const LoadFailure decoded = failureOf([&path] { decodePictureFile(path); });
    EXPECT_TRUE(decoded.appError) << decoded;
    EXPECT_EQ(decoded.invalidPicture, file.invalidPicture) << decoded;
    EXPECT_EQ(decoded.message, file.message);

    // Through the engine's load the same error reaches the caller, and the
    // picture the control held stays.
    ImageControl control;
    ASSERT_TRUE(
        Load_image_file(sandbox.write("previous.bmp", encodeBmp(photoLike(7, 5, 1))), control));
    const LoadFailure loaded = failureOf([&path, &control] { Load_image_file(path, control); });
    EXPECT_EQ(loaded.invalidPicture, file.invalidPicture) << loaded;
    EXPECT_EQ(loaded.message, file.message);
    EXPECT_EQ(control.picture().width(), 7);
    EXPECT_EQ(control.picture().height(), 5);
}

INSTANTIATE_TEST_SUITE_P(Load, RefusedFiles, ::testing::ValuesIn(refusedFiles()),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : info.param.name) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(LoadExtension, UnknownExtensionIsReportedBeforeTheFileIsOpened) {
    const Sandbox sandbox;
    const LoadFailure failure =
        failureOf([&sandbox] { decodePictureFile(sandbox.path("ghost.txt")); });
    EXPECT_TRUE(failure.invalidPicture) << failure;
    EXPECT_EQ(failure.message, "Unknown picture file extension (.txt)");
}

// Files whose extensions differ only in spelling load alike.
TEST(LoadExtension, SpellingsOfOneKindLoadAlike) {
    const Sandbox sandbox;
    const Bitmap24 source = photoLike(21, 13, 7);
    const std::vector<std::uint8_t> jpeg = encodeJpeg(source, 95);
    const Bitmap24 jpegPixels = decodeJpeg(jpeg);

    GifPicture gif;
    gif.width = 2;
    gif.height = 1;
    gif.globalColours = {{10, 20, 30}, {200, 100, 0}};
    GifFrame frame = solidFrame(0, 0, 2, 1, 0);
    frame.indices[1] = 1;
    gif.frames = {frame};

    struct Spellings {
        std::vector<std::string> names;
        std::vector<std::uint8_t> bytes;
        Bitmap24 expected;
    };
    const std::vector<Spellings> kinds = {
        {{"photo.jpg", "photo.JPG", "photo.jpeg", "photo.JPEG", "photo.Jpg"}, jpeg, jpegPixels},
        {{"scan.tif", "scan.tiff", "scan.TIF", "scan.Tiff"}, encodeTiff(source), source},
        {{"image.png", "image.PNG"}, makeRgbPng(source), source},
        {{"image.bmp", "image.BMP"}, encodeBmp(source), source},
        {{"image.gif", "image.GIF"}, makeGif(gif), bitmapOf(2, 1, {{10, 20, 30}, {200, 100, 0}})},
        {{"icon.ico", "icon.ICO"},
         makeIcon({solidIconImage(32, 32, 24, {40, 80, 120, 255})}),
         solid(32, 32, {40, 80, 120})},
    };
    for (const Spellings& kind : kinds) {
        for (const std::string& name : kind.names) {
            SCOPED_TRACE(name);
            ImageControl control;
            ASSERT_TRUE(
                Load_image_file(sandbox.write(QString::fromStdString(name), kind.bytes), control));
            EXPECT_EQ(control.width(), kind.expected.width());
            EXPECT_EQ(control.height(), kind.expected.height());
            EXPECT_TRUE(bitmapsMatch(control.picture().bitmap(), kind.expected));
        }
    }
}

std::string cannotOpen(const QString& path, int error) {
    return "Cannot open file \"" + path.toStdString() + "\". " + std::strerror(error);
}

TEST(LoadCannotOpen, MessageNamesThePathAndTheSystemsReason) {
    const Sandbox sandbox;
    sandbox.write("plain.txt", bytesOf(kText));
    ASSERT_TRUE(QDir().mkpath(sandbox.path("album.png")));
    struct Row {
        std::string name;
        QString path;
        int error;
    };
    const std::vector<Row> rows = {
        {"no such file", sandbox.path("missing.png"), ENOENT},
        {"a file where a folder should be", sandbox.path("plain.txt/photo.jpg"), ENOTDIR},
        {"a folder", sandbox.path("album.png"), EISDIR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LoadFailure failure = failureOf([&row] { decodePictureFile(row.path); });
        EXPECT_TRUE(failure.appError) << failure;
        EXPECT_FALSE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, cannotOpen(row.path, row.error));
    }
}

bool canOpenForReading(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// While it lives, this thread checks file permissions as an ordinary user,
// even when the tests run as root (a file system user id other than 0
// drops the capability to override them).
class OrdinaryFileAccess {
  public:
    OrdinaryFileAccess() : previous_(::geteuid() == 0 ? ::setfsuid(65534) : -1) {}
    ~OrdinaryFileAccess() {
        if (previous_ >= 0) ::setfsuid(static_cast<uid_t>(previous_));
    }
    OrdinaryFileAccess(const OrdinaryFileAccess&) = delete;
    OrdinaryFileAccess& operator=(const OrdinaryFileAccess&) = delete;

  private:
    int previous_;
};

TEST(LoadCannotOpen, UnreadableFileFailsTheLoadWithCannotOpen) {
    const Sandbox sandbox;
    const QString path = sandbox.write("locked.png", makeRgbPng(photoLike(4, 4, 1)));
    const QByteArray folder = QFile::encodeName(QFileInfo(path).path());
    ASSERT_EQ(::chmod(folder.constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);

    ImageControl control;
    LoadFailure failure;
    {
        const OrdinaryFileAccess ordinary;
        if (canOpenForReading(path)) GTEST_SKIP() << "file permissions are not enforced here";
        failure = failureOf([&path, &control] { Load_image_file(path, control); });
    }
    EXPECT_TRUE(failure.appError) << failure;
    EXPECT_FALSE(failure.invalidPicture) << failure;
    EXPECT_EQ(failure.message, cannotOpen(path, EACCES));
}

TEST(LoadNoFile, MissingFileOrFolderLoadsNothingAndRaisesNothing) {
    const Sandbox sandbox;
    ASSERT_TRUE(QDir().mkpath(sandbox.path("album.png")));
    ImageControl control;
    ASSERT_TRUE(
        Load_image_file(sandbox.write("previous.bmp", encodeBmp(photoLike(7, 5, 1))), control));
    for (const QString& path :
         {sandbox.path("missing.png"), sandbox.path("album.png"), sandbox.path("missing.txt")}) {
        SCOPED_TRACE(path.toStdString());
        bool loaded = true;
        const LoadFailure failure = failureOf([&] { loaded = Load_image_file(path, control); });
        EXPECT_FALSE(failure.thrown) << failure;
        EXPECT_FALSE(loaded);
        EXPECT_EQ(control.picture().width(), 7);
        EXPECT_EQ(control.picture().height(), 5);
    }
}

}  // namespace
}  // namespace quillmere::test
