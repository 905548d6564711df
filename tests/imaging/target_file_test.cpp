#include "imaging/target_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "common/app_error.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w', '!'};

class TargetFileTest : public ::testing::Test {
  protected:
    QStringList entries() const {
        return QDir(sandbox.path("."))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    test::Sandbox sandbox;
};

TEST_F(TargetFileTest, CommitReplacesTheFileAndLeavesNothingElse) {
    const QString path = sandbox.write("a.bmp", kOld);
    {
        TargetFile target(path);
        target.write(kNew);
        EXPECT_EQ(test::Sandbox::read(path), kOld) << "replaced before the commit";
        target.commit();
    }
    EXPECT_EQ(test::Sandbox::read(path), kNew);
    EXPECT_EQ(entries(), QStringList{"a.bmp"});
}

TEST_F(TargetFileTest, AnUncommittedFileLeavesTheOldOneIntact) {
    const QString path = sandbox.write("a.bmp", kOld);
    {
        TargetFile target(path);
        target.write(kNew);
    }
    EXPECT_EQ(test::Sandbox::read(path), kOld);
    EXPECT_EQ(entries(), QStringList{"a.bmp"});
}

TEST_F(TargetFileTest, AReplacedFileKeepsItsPermissions) {
    const QString path = sandbox.write("a.bmp", kOld);
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    TargetFile target(path);
    target.write(kNew);
    target.commit();
    struct stat info {};
    ASSERT_EQ(::stat(native.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(TargetFileTest, WritingThroughALinkReplacesWhatItPointsTo) {
    const QString real = sandbox.write("real.bmp", kOld);
    const QString link = sandbox.path("link.bmp");
    ASSERT_TRUE(QFile::link(real, link));
    TargetFile target(link);
    target.write(kNew);
    target.commit();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(test::Sandbox::read(real), kNew);
}

TEST_F(TargetFileTest, UncreatableTargetsNameThePathAndTheReason) {
    sandbox.write("plain", kOld);
    ASSERT_TRUE(QDir().mkdir(sandbox.path("folder.bmp")));
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {sandbox.path("missing/a.bmp"), "No such file or directory"},
        {sandbox.path("plain/a.bmp"), "Not a directory"},
        {sandbox.path("folder.bmp"), "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        try {
            TargetFile target(c.path);
            FAIL() << "no error";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(),
                      QStringLiteral("Cannot create file \"%1\". %2").arg(c.path, c.reason));
        }
    }
    EXPECT_EQ(entries().size(), 2);
}

}  // namespace
}  // namespace quillmere
