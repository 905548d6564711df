#include "imaging/qt_reference/qt_reading.h"

#include "imaging/qt_reference/qt_image_bridge.h"

namespace quillmere {

LoggingBuffer::LoggingBuffer(std::span<const std::uint8_t> bytes, QtReadLog* log)
    : bytes_(wrapBytes(bytes)), log_(log) {
    setBuffer(&bytes_);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 LoggingBuffer::readData(char* data, qint64 maxSize) {
    const qint64 got = QBuffer::readData(data, maxSize);
    if (log_ && got < maxSize) (maxSize > 1 ? log_->blockRanOut : log_->byteRanOut) = true;
    return got;
}

}  // namespace quillmere
