#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "common/app_error.h"
#include "common/error_text.h"
#include "folder_tree.h"
#include "list/folder_scan.h"

namespace quillmere {
namespace {

// The message of the scan's error, or "no error" followed by what it found.
QString outcomeOf(const QString& directory, const QString& pattern, bool recursive = false) {
    try {
        return QStringLiteral("no error: ") + scanFolder(directory, pattern, recursive).join(u'|');
    } catch (const InvalidPictureError& error) {
        return QStringLiteral("invalid-picture error: ") + error.message();
    } catch (const AppError& error) {
        return error.message();
    }
}

QString text(const char16_t* characters) {
    return QString::fromUtf16(characters);
}

QStringList under(const QString& directory, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) paths.append(directory + name);
    return paths;
}

class FolderScanTest : public ::testing::Test {
  protected:
    // The paths the scan should give for names below the tree's root.
    QStringList inTree(const QStringList& names) const { return under(tree.root() + u'/', names); }

    test::FolderTree tree;
};

struct CheckCase {
    QString directory;
    QString pattern;
    QString message;
};

TEST_F(FolderScanTest, ChecksItsArgumentsInOrder) {
    tree.files({"a.jpg", "sub/b.jpg"});
    tree.folder("x*");
    const QString root = tree.root();
    const QString notFound = QStringLiteral("The specified path was not found\r\n[");
    const QString badPath = QStringLiteral("Invalid characters in path\r\n[");
    const QString badPattern = QStringLiteral("Invalid characters in search pattern\r\n[");
    const CheckCase cases[] = {
        // 1: a blank directory, before anything else.
        {"", "*.JPG", "Path is empty"},
        {" \t\r\n", "", "Path is empty"},
        {text(u"\u0020\u0001"), "a/b", "Path is empty"},
        // 3: a blank pattern, before the directory's characters.
        {root, "", "Search pattern is empty"},
        {root, " \t ", "Search pattern is empty"},
        {root + "/x*", " ", "Search pattern is empty"},
        // 4: characters that cannot stand in a file name, before the
        // directory's characters.
        {root, "a/*.JPG", badPattern + "a/*.JPG]"},
        {root, "*.J\tPG", badPattern + "*.J\tPG]"},
        {root, text(u"*.JPG\u001f"), badPattern + text(u"*.JPG\u001f]")},
        {root + "/x*/", "/", badPattern + "/]"},
        // 7: wildcards and control characters in the absolute form.
        {root + "/x*/", "*.JPG", badPath + root + "/x*/]"},
        {root + "/x?y", "*.JPG", badPath + root + "/x?y]"},
        {root + "/sub/../x\x01", "*.JPG", badPath + root + "/x\x01]"},
        {root + "/x*/../sub", "*.JPG", "no error: " + root + "/x*/../sub/b.jpg"},
        // 8: no folder of that name; the absolute form is resolved on the
        // text, and the mask is not looked at before.
        {root + "/missing/", "*.JPG", notFound + root + "/missing/]"},
        {root + "/a.jpg", "*.JPG", notFound + root + "/a.jpg]"},
        {root + "/./missing/../gone", "*.JPG", notFound + root + "/gone]"},
        {root + "/missing", "[abc", notFound + root + "/missing]"},
        {root + "/sub/..", "*.JPG", "no error: " + root + "/sub/../a.jpg"},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(
            ("directory \"" + c.directory + "\" pattern \"" + c.pattern + "\"").toStdString());
        EXPECT_EQ(outcomeOf(c.directory, c.pattern), c.message);
    }
}

TEST_F(FolderScanTest, TakesOnlyControlCharactersAndSlashAsBadInNames) {
    // Characters that Windows forbids are ordinary here.
    const QString odd = QStringLiteral("q:\"<>|\\");
    tree.files({odd + "/x:\"<>|\\.jpg", odd + "/y.png"});
    EXPECT_EQ(scanFolder(tree.path(odd), QStringLiteral("x:\"<>|\\.JPG"), false),
              inTree({odd + "/x:\"<>|\\.jpg"}));
}

TEST_F(FolderScanTest, MakesARelativeDirectoryAbsoluteForItsMessages) {
    tree.folder("here");
    const test::CurrentDirectory inside(tree.path("here"));
    const QString current = QDir::currentPath();
    EXPECT_EQ(outcomeOf("missing/..//gone/", "*.JPG"),
              "The specified path was not found\r\n[" + current + "/gone/]");
    EXPECT_EQ(outcomeOf("../x*", "*.JPG"),
              "Invalid characters in path\r\n[" + tree.root() + "/x*]");
    EXPECT_EQ(outcomeOf(".", "*.JPG"), "no error: ");
}

TEST_F(FolderScanTest, ReportsACurrentDirectoryThatCannotBeRead) {
    tree.files({"a.jpg"});
    tree.folder("gone");
    const test::CurrentDirectory inside(tree.path("gone"));
    ASSERT_EQ(::rmdir(QFile::encodeName(tree.path("gone")).constData()), 0);

    // Only a relative directory needs the current one; the check comes
    // right after the blank directory.
    EXPECT_EQ(outcomeOf("pics", "*.JPG"), systemReason(ENOENT));
    EXPECT_EQ(outcomeOf("pics", ""), systemReason(ENOENT));
    EXPECT_EQ(outcomeOf(" ", ""), "Path is empty");
    EXPECT_EQ(outcomeOf(tree.root(), "*.JPG"), "no error: " + tree.path("a.jpg"));
}

TEST_F(FolderScanTest, WalksPreOrderInNameOrderWithoutRegardToCase) {
    tree.files({"B.jpg", "a.JPG", "c/Z.jpg", "c/y.jpg", "c/deep/x.jpg", "d.jpg", "_under.jpg",
                "x.png/w.jpg", "notes", "sub2.png", "e.jpeg"});
    const QString root = tree.root();

    EXPECT_EQ(scanFolder(root, "*.JPG", true),
              inTree({"a.JPG", "B.jpg", "c/deep/x.jpg", "c/y.jpg", "c/Z.jpg", "d.jpg",
                      "x.png/w.jpg", "_under.jpg"}));
    EXPECT_EQ(scanFolder(root, "*.JPG", false), inTree({"a.JPG", "B.jpg", "d.jpg", "_under.jpg"}));
    // A folder whose name matches is descended, never listed.
    EXPECT_EQ(scanFolder(root, "*.PNG", true), inTree({"sub2.png"}));
    EXPECT_EQ(scanFolder(root, "*.*", false),
              inTree({"a.JPG", "B.jpg", "d.jpg", "e.jpeg", "notes", "sub2.png", "_under.jpg"}));
    EXPECT_EQ(scanFolder(root, "*.GIF", true), QStringList());
}

TEST_F(FolderScanTest, OrdersNamesThatDifferOnlyInCaseByTheirBytes) {
    tree.files({"b.JPG", "a.jpg", "B.jpg", "A.jpg"});
    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", false),
              inTree({"A.jpg", "a.jpg", "B.jpg", "b.JPG"}));
}

TEST_F(FolderScanTest, OrdersAndNamesNonAsciiEntries) {
    tree.files({text(u"\u00e9.jpg"), "E.jpg", "z.jpg", text(u"\u00c9a.jpg"), text(u"\u00d1/n.jpg"),
                text(u"\u00d1/\U0001F600.jpg")});
    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", true),
              inTree({"E.jpg", "z.jpg", text(u"\u00e9.jpg"), text(u"\u00c9a.jpg"),
                      text(u"\u00d1/n.jpg"), text(u"\u00d1/\U0001F600.jpg")}));
    EXPECT_EQ(scanFolder(tree.root(), text(u"\u00e9*"), true), inTree({text(u"\u00e9.jpg")}));
    EXPECT_EQ(scanFolder(tree.path(text(u"\u00d1")), "?.JPG", false),
              under(tree.path(text(u"\u00d1/")), {"n.jpg", text(u"\U0001F600.jpg")}));
}

TEST_F(FolderScanTest, ListsAndDescendsHiddenEntries) {
    tree.files({".hidden.jpg", ".cache/inside.jpg", "visible.jpg", ".cache/.deeper/x.jpg"});
    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", true),
              inTree({".cache/.deeper/x.jpg", ".cache/inside.jpg", ".hidden.jpg", "visible.jpg"}));
    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", false), inTree({".hidden.jpg", "visible.jpg"}));
}

TEST_F(FolderScanTest, FollowsLinksToFoldersAndCountsOtherLinksAsFiles) {
    tree.files({"real/a.jpg"});
    tree.link("zlink", "real");
    tree.link("file-link.jpg", "real/a.jpg");
    tree.link("folder-link.jpg", "real");
    tree.link("dangling.jpg", "nowhere.jpg");

    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", true),
              inTree({"dangling.jpg", "file-link.jpg", "folder-link.jpg/a.jpg", "real/a.jpg",
                      "zlink/a.jpg"}));
    EXPECT_EQ(scanFolder(tree.root(), "*.JPG", false), inTree({"dangling.jpg", "file-link.jpg"}));
}

TEST_F(FolderScanTest, EndsCyclesOfLinks) {
    tree.files({"a.jpg", "sub/b.jpg", "sub/deeper/c.jpg", "other/o.jpg"});
    tree.link("sub/back", "..");
    tree.link("sub/self", ".");
    tree.link("sub/deeper/top", "../..");
    tree.link("sub/deeper/abs", tree.root());
    // Not on the way down, so it is walked again.
    tree.link("sub/deeper/side", "../../other");

    EXPECT_EQ(
        scanFolder(tree.root(), "*.JPG", true),
        inTree({"a.jpg", "other/o.jpg", "sub/b.jpg", "sub/deeper/c.jpg", "sub/deeper/side/o.jpg"}));
    // Started below a link, the walk still ends.
    EXPECT_EQ(scanFolder(tree.path("sub/back"), "*.JPG", true),
              under(tree.path("sub/back/"), {"a.jpg", "other/o.jpg", "sub/b.jpg",
                                             "sub/deeper/c.jpg", "sub/deeper/side/o.jpg"}));
}

TEST_F(FolderScanTest, SkipsAFolderThatCannotBeRead) {
    tree.files({"a.jpg", "locked/secret.jpg", "open/b.jpg", "z.jpg"});
    tree.lock("locked");
    const QString root = tree.root();

    const std::optional<test::ChildOutcome> walked =
        test::runWithoutRootRights([&] { return scanFolder(root, "*.JPG", true); });
    if (!walked) GTEST_SKIP() << "cannot give up root's rights here";
    EXPECT_EQ(walked->error, std::nullopt);
    EXPECT_EQ(walked->paths, inTree({"a.jpg", "open/b.jpg", "z.jpg"}));

    // The scanned folder itself: it exists, so no message, and no entries.
    const std::optional<test::ChildOutcome> locked =
        test::runWithoutRootRights([&] { return scanFolder(tree.path("locked"), "*.JPG", true); });
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->error, std::nullopt);
    EXPECT_EQ(locked->paths, QStringList());
}

TEST_F(FolderScanTest, KeepsTheDirectoryTextAsGiven) {
    tree.files({"photos/a.jpg", "photos/sub/b.jpg"});
    const test::CurrentDirectory inside(tree.root());
    const struct {
        QString directory;
        QStringList paths;
    } cases[] = {
        {"photos", {"photos/a.jpg", "photos/sub/b.jpg"}},
        {"photos/", {"photos/a.jpg", "photos/sub/b.jpg"}},
        {"./photos//", {"./photos//a.jpg", "./photos//sub/b.jpg"}},
        {".", {"./photos/a.jpg", "./photos/sub/b.jpg"}},
        {"photos/sub/..", {"photos/sub/../a.jpg", "photos/sub/../sub/b.jpg"}},
        {tree.path("photos"), inTree({"photos/a.jpg", "photos/sub/b.jpg"})},
        {tree.path("photos/"), inTree({"photos/a.jpg", "photos/sub/b.jpg"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory.toStdString());
        EXPECT_EQ(scanFolder(c.directory, "*.JPG", true), c.paths);
    }
}

TEST_F(FolderScanTest, FindsAnInvalidMaskAtTheFirstEntryOfTheDirectory) {
    tree.folder("empty");
    tree.files({"one/x.txt", "folders-only/inner/y.txt"});
    const QString message = QStringLiteral("'[abc' is an invalid mask at (5)");

    EXPECT_EQ(outcomeOf(tree.path("empty"), "[abc", true), "no error: ");
    EXPECT_EQ(outcomeOf(tree.path("one"), "[abc", false), message);
    EXPECT_EQ(outcomeOf(tree.path("folders-only"), "[abc", false), message);
    EXPECT_EQ(outcomeOf(tree.root(), "*[]", true), "'*[]' is an invalid mask at (3)");
}

}  // namespace
}  // namespace quillmere
