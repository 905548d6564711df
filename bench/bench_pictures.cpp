#include "bench_pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <map>
#include <stdexcept>

#include "gif_writer.h"
#include "imaging/picture_encoding.h"
#include "support/picture_files.h"

namespace quillmere::bench {

namespace {

// A file that is deleted with the program's static objects.
class TemporaryFile {
  public:
    TemporaryFile(const QString& path, const std::vector<std::uint8_t>& bytes) : path_(path) {
        QFile file(path_);
        const auto size = static_cast<qint64>(bytes.size());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
            throw std::runtime_error("cannot write " + path_.toStdString());
        }
    }
    ~TemporaryFile() { QFile::remove(path_); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const QString& path() const { return path_; }

  private:
    QString path_;
};

std::vector<std::uint8_t> encodeAs(GraphicKind kind) {
    const Bitmap24& picture = benchPicture();
    switch (kind) {
        case GraphicKind::Bitmap:
            return encodePicture(picture, EncoderKind::Bmp, kJpegQuality);
        case GraphicKind::Jpeg:
            return encodePicture(picture, EncoderKind::Jpeg, kJpegQuality);
        case GraphicKind::Png:
            return encodePicture(picture, EncoderKind::Png, kJpegQuality);
        case GraphicKind::ImagingComponent:
            return encodePicture(picture, EncoderKind::Tiff, kJpegQuality);
        case GraphicKind::Gif:
            return encodeGif332(picture);
        case GraphicKind::Icon:
        case GraphicKind::Metafile:
            break;
    }
    throw std::invalid_argument("no benchmark file of that kind");
}

}  // namespace

const Bitmap24& benchPicture() {
    static const Bitmap24 picture = test::photoLike(kPictureWidth, kPictureHeight);
    return picture;
}

const std::vector<std::uint8_t>& encodedPicture(GraphicKind kind) {
    // The benchmarks run one at a time, so the cache needs no lock.
    static std::map<GraphicKind, std::vector<std::uint8_t>> files;
    auto found = files.find(kind);
    if (found == files.end()) found = files.emplace(kind, encodeAs(kind)).first;
    return found->second;
}

const QString& jpegPictureFile() {
    static const TemporaryFile file(
        QDir::temp().filePath(
            QStringLiteral("quillmere-bench-%1.jpg").arg(QCoreApplication::applicationPid())),
        encodedPicture(GraphicKind::Jpeg));
    return file.path();
}

}  // namespace quillmere::bench
