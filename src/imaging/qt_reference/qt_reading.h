#pragma once

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <span>

namespace quillmere {

// What a Qt reader did with the bytes it was given.
struct QtReadLog {
    // A read of several bytes (a row of pixels, say) asked for more than
    // was left.
    bool blockRanOut = false;
    // A read of one byte (run-length data is read so) found none left.
    bool byteRanOut = false;
};

// The file's bytes as a device for Qt's readers, read without buffering so
// that each read the reader asks for reaches the device as asked, and
// noting in the log when one runs past the end.
class LoggingBuffer final : public QBuffer {
  public:
    LoggingBuffer(std::span<const std::uint8_t> bytes, QtReadLog* log);

  protected:
    qint64 readData(char* data, qint64 maxSize) override;

  private:
    QByteArray bytes_;
    QtReadLog* log_;
};

}  // namespace quillmere
