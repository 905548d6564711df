#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

namespace quillmere::test {

// A fresh folder for one test, removed afterwards.
class Sandbox {
  public:
    Sandbox();
    QString path(const QString& name) const;
    QString write(const QString& name, const std::vector<std::uint8_t>& bytes) const;
    QString write(const QString& name, const QByteArray& bytes) const;
    static std::vector<std::uint8_t> read(const QString& path);
    static bool exists(const QString& path);

  private:
    QTemporaryDir dir_;
};

}  // namespace quillmere::test
