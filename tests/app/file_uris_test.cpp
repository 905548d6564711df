#include "app/file_uris.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QMimeData>
#include <QUrl>
#include <fstream>

#include "common/path_encoding.h"
#include "imaging/file_access.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

TEST(FileUrisTest, DroppedNamesThatAreNotUtf8ReachTheirFiles) {
    test::Sandbox sandbox;
    const QByteArray folder = encodePath(sandbox.path("."));
    const QByteArray names[] = {"caf\xE9.png", "caf\xC3\xA9.png", "plain.png", "a b#c.png"};
    for (const QByteArray& name : names) {
        const QByteArray bytes = folder + '/' + name;
        std::ofstream(bytes.constData()) << "x";
        QMimeData data;
        data.setUrls({QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"))});
        const QStringList paths = localPathsOf(&data);
        ASSERT_EQ(paths.size(), 1);
        EXPECT_EQ(encodePath(paths[0]), bytes);
        EXPECT_TRUE(isExistingFile(paths[0])) << bytes.toStdString();
        ::unlink(bytes.constData());  // the sandbox cannot name it to remove it
    }
    QMimeData web;
    web.setUrls({QUrl("https://example.com/a.png")});
    EXPECT_EQ(localPathsOf(&web), QStringList());
}

}  // namespace
}  // namespace quillmere
