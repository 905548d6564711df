#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "common/app_error.h"
#include "support/file_size_limit.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

QString fileText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

class IniFileTest : public ::testing::Test {
  protected:
    QString write(const char* text) { return sandbox.write("settings.ini", QByteArray(text)); }
    test::Sandbox sandbox;
};

TEST_F(IniFileTest, ReadsIntegersTheLenientWay) {
    const QString path = write(
        "[Placement]\n"
        "Top=0x20\nLeft=$10\nWidth=  -7\nHeight=x1F\n"
        "[File]\n"
        "recursive=yes\nhuge=2147483648\nmax=2147483647\nminus=-2147483648\nhexmax=$FFFFFFFF\n"
        "trailing=12 \nempty=\nplus=+5\nzero=0\n");
    const IniFile ini(path);
    const struct {
        const char* section;
        const char* key;
        std::optional<int> value;
    } cases[] = {
        {"Placement", "Top", 32},    {"placement", "LEFT", 16},    {"Placement", "Width", -7},
        {"Placement", "Height", 31}, {"File", "recursive", {}},    {"File", "huge", {}},
        {"File", "max", 2147483647}, {"File", "minus", INT32_MIN}, {"File", "hexmax", -1},
        {"File", "trailing", {}},    {"File", "empty", {}},        {"File", "plus", 5},
        {"File", "zero", 0},         {"File", "missing", {}},      {"Nowhere", "Top", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.readInteger(c.section, c.key), c.value) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, ReadsTextExactlyAsWritten) {
    const QString path = sandbox.path("settings.ini");
    const QStringList values = {QString::fromUtf8("/фото/照片/*.JPG"),
                                "a=b=c",
                                "  padded  ",
                                "",
                                "tab\there",
                                QString(3000, u'x')};
    {
        IniFile ini(path);
        for (int i = 0; i < values.size(); ++i)
            ini.writeString("File", QString("Key%1").arg(i), values[i]);
        ini.save();
    }
    const IniFile ini(path);
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(ini.readString("file", QString("key%1").arg(i), "fallback"),
                  values[i].left(IniFile::kMaxValueLength));
    }
    EXPECT_EQ(ini.readString("File", "Absent", "fallback"), "fallback");
    EXPECT_EQ(ini.readString("File", "Key5", "").size(), 2047);
}

TEST_F(IniFileTest, WritingKeepsEverythingElseInPlace) {
    const QString path = write(
        "; written by hand\n"
        "[Other]\n"
        "keep=me\n"
        "\n"
        "[file]\n"
        "last=old\n"
        "; a comment inside\n"
        "extra=1\n"
        "\n"
        "[Tail]\n"
        "z=9\n");
    IniFile ini(path);
    ini.writeString("File", "Last", "new");
    ini.writeString("File", "recursive", "0");
    ini.writeString("Placement", "Top", "5");
    ini.save();
    EXPECT_EQ(fileText(path),
              "; written by hand\n"
              "[Other]\n"
              "keep=me\n"
              "\n"
              "[file]\n"
              "Last=new\n"
              "; a comment inside\n"
              "extra=1\n"
              "recursive=0\n"
              "\n"
              "[Tail]\n"
              "z=9\n"
              "[Placement]\n"
              "Top=5\n");
}

TEST_F(IniFileTest, ANewFileHoldsItsSectionsInWritingOrder) {
    const QString path = sandbox.path("new.ini");
    IniFile ini(path);
    ini.writeString("File", "Last", "Edit1");
    ini.writeString("User", "Date", "12/9/26");
    ini.writeString("File", "recursive", "1");
    ini.writeString("Placement", "Top", "1");
    ini.save();
    EXPECT_EQ(fileText(path),
              "[File]\nLast=Edit1\nrecursive=1\n[User]\nDate=12/9/26\n[Placement]\nTop=1\n");
}

TEST_F(IniFileTest, AFileThatCannotBeWrittenSaysSoAndStaysWhole) {
    const QString original = "[File]\nLast=keep\n";
    const QString path = write("[File]\nLast=keep\n");
    ASSERT_TRUE(QDir().mkdir(sandbox.path("folder.ini")));
    for (const QString& target :
         {sandbox.path("missing/settings.ini"), sandbox.path("folder.ini")}) {
        IniFile ini(target);
        ini.writeString("File", "Last", "x");
        try {
            ini.save();
            ADD_FAILURE() << "no error for " << target.toStdString();
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), "Unable to write to " + target);
        }
    }
    EXPECT_EQ(fileText(path), original);
    EXPECT_EQ(QDir(sandbox.path(".")).entryList(QDir::Files).size(), 1) << "no temporary left";
}

TEST_F(IniFileTest, AWriteThatFailsKeepsTheOldSettings) {
    const QString original = "[File]\nLast=keep\n";
    const QString path = write("[File]\nLast=keep\n");
    IniFile ini(path);
    ini.writeString("File", "Last", QString(8000, u'x'));
    try {
        const test::FileSizeLimit limit(4096);
        ini.save();
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), "Unable to write to " + path);
    }
    EXPECT_EQ(fileText(path), original);
    EXPECT_EQ(QDir(sandbox.path(".")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"settings.ini"});
}

// The temporary file must fit wherever the settings file does.
TEST_F(IniFileTest, AFileWithTheLongestNameIsSaved) {
    for (const QString& name :
         {QString(251, u's') + ".ini", QString(83, QChar(0x8A2D)) + "ab.ini"}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(QFile::encodeName(name).size(), 255);
        const QString path = sandbox.path(name);
        for (const char* value : {"first", "second"}) {
            IniFile ini(path);
            ini.writeString("File", "Last", value);
            ini.save();
        }
        EXPECT_EQ(fileText(path), "[File]\nLast=second\n");
        EXPECT_EQ(QDir(sandbox.path(".")).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        ASSERT_TRUE(QFile::remove(path));
    }
}

TEST_F(IniFileTest, SavingKeepsTheFilePermissions) {
    const QString path = write("[File]\nLast=a\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    IniFile ini(path);
    ini.writeString("File", "Last", "b");
    ini.save();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace quillmere
