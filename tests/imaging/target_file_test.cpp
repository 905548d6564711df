#include "imaging/target_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>

#include "common/app_error.h"
#include "support/file_size_limit.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w', '!'};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class TargetFileTest : public ::testing::Test {
  protected:
    QStringList entries() const { return entriesOf(sandbox.path(".")); }
    test::Sandbox sandbox;
};

// Writes `bytes` to `path` as a new file or over the old one; while the
// file is being written, the one temporary file beside it must be hidden
// and fit the folder.
void writeThroughTemporary(const QString& path, const std::vector<std::uint8_t>& bytes) {
    const QString folder = QFileInfo(path).path();
    const QStringList before = entriesOf(folder);
    TargetFile target(path);
    target.write(bytes);
    const QStringList during = entriesOf(folder);
    ASSERT_EQ(during.size(), before.size() + 1);
    for (const QString& name : during) {
        if (before.contains(name)) continue;
        const QByteArray bytesOfName = QFile::encodeName(name);
        EXPECT_TRUE(bytesOfName.startsWith('.')) << name.toStdString();
        EXPECT_TRUE(bytesOfName.endsWith(".tmp")) << name.toStdString();
        EXPECT_LE(bytesOfName.size(), NAME_MAX) << name.toStdString();
    }
    target.commit();
    EXPECT_EQ(entriesOf(folder), before.contains(QFileInfo(path).fileName())
                                     ? before
                                     : QStringList(before) << QFileInfo(path).fileName());
}

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

TEST_F(TargetFileTest, AWriteTheFileSystemRefusesLeavesNothingBehind) {
    const std::vector<std::uint8_t> large(64 * 1024, 'x');
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "replacing" : "new");
        const QString path = sandbox.path("a.bmp");
        if (replacing) sandbox.write("a.bmp", kOld);
        try {
            const test::FileSizeLimit limit(4096);
            TargetFile target(path);
            target.write(large);
            target.commit();
            ADD_FAILURE() << "no error";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(),
                      QStringLiteral("Cannot create file \"%1\". File too large").arg(path));
        }
        EXPECT_EQ(entries(), replacing ? QStringList{"a.bmp"} : QStringList());
        EXPECT_EQ(test::Sandbox::read(path), replacing ? kOld : std::vector<std::uint8_t>())
            << "the target";
    }
}

// A name as long as the folder allows, in characters of one to four bytes:
// the temporary name must fit wherever the target's name does.
TEST_F(TargetFileTest, TargetsWithTheLongestNamesAreWrittenAndReplaced) {
    const QString names[] = {
        QString(251, u'a') + ".bmp",
        QString(239, u'b') + ".bmp",
        QString(125, QChar(0x00E9)) + "x.bmp",
        QString(83, QChar(0x7167)) + "ab.bmp",
        QString::fromUtf8("\xF0\x9F\x98\x80").repeated(62) + "abc.bmp",
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_LE(QFile::encodeName(name).size(), NAME_MAX);
        const QString path = sandbox.path(name);
        writeThroughTemporary(path, kOld);
        writeThroughTemporary(path, kNew);
        EXPECT_EQ(test::Sandbox::read(path), kNew);
        ASSERT_TRUE(QFile::remove(path));
    }
    EXPECT_EQ(entries(), QStringList());
}

// A target whose path is as long as the system allows.
TEST_F(TargetFileTest, ATargetAtTheLongestPathIsWrittenAndReplaced) {
    QString folder = QFileInfo(sandbox.path("x")).path();
    while (QFile::encodeName(folder).size() < PATH_MAX - 300) folder += '/' + QString(200, u'd');
    ASSERT_TRUE(QDir().mkpath(folder));
    const qsizetype room = PATH_MAX - 1 - QFile::encodeName(folder).size() - 1;
    const QString path = folder + '/' + QString(room - 4, u'n') + ".bmp";
    ASSERT_EQ(QFile::encodeName(path).size(), PATH_MAX - 1);
    writeThroughTemporary(path, kOld);
    writeThroughTemporary(path, kNew);
    EXPECT_EQ(test::Sandbox::read(path), kNew);
}

}  // namespace
}  // namespace quillmere
