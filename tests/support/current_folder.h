#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

namespace quillmere::test {

// Makes the folder the current one while it lives, and the one before
// current again afterwards.
class CurrentFolder {
  public:
    explicit CurrentFolder(const QString& folder) : saved_(QDir::currentPath()) {
        EXPECT_TRUE(QDir::setCurrent(folder));
    }
    ~CurrentFolder() { QDir::setCurrent(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    QString saved_;
};

}  // namespace quillmere::test
