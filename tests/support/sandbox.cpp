#include "support/sandbox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillmere::test {

Sandbox::Sandbox() {
    EXPECT_TRUE(dir_.isValid());
}

QString Sandbox::path(const QString& name) const {
    return dir_.filePath(name);
}

QString Sandbox::write(const QString& name, const std::vector<std::uint8_t>& bytes) const {
    return write(name, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size())));
}

QString Sandbox::write(const QString& name, const QByteArray& bytes) const {
    const QString full = path(name);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
    file.write(bytes);
    return full;
}

std::vector<std::uint8_t> Sandbox::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

bool Sandbox::exists(const QString& path) {
    return QFileInfo::exists(path);
}

}  // namespace quillmere::test
