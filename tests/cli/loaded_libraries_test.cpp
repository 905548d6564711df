// What quillmere-batch loads, as the dynamic loader reports it: a list
// without metafiles never maps QtGui; a metafile brings in the player's
// plug-in, and QtGui with it; libtiff comes only with a TIFF file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cstdlib>

#include "imaging/codecs/bmp_encoder.h"
#include "run_program.h"
#include "support/metafile_writer.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// The file names of every object the loader maps in a run (the program's
// libraries and those it loads later), from its LD_DEBUG=files report.
QStringList librariesLoaded(const test::Sandbox& sandbox, const QStringList& arguments,
                            test::ProgramRun& run) {
    const QByteArray report = sandbox.path(QStringLiteral("loader")).toLocal8Bit();
    run = test::runBatchProgram(arguments, {}, [report] {
        ::setenv("LD_DEBUG", "files", 1);
        // The loader writes to this name with ".PID" appended.
        ::setenv("LD_DEBUG_OUTPUT", report.constData(), 1);
    });
    QStringList names;
    const QDir folder(sandbox.path(QString()));
    const QRegularExpression file(QStringLiteral(R"(\bfile=(\S+))"));
    for (const QString& entry : folder.entryList({QStringLiteral("loader.*")}, QDir::Files)) {
        QFile in(folder.filePath(entry));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(in.readAll());
        for (const auto& match : file.globalMatch(text)) {
            const QString name = match.captured(1).section(u'/', -1);
            if (!names.contains(name)) names << name;
        }
    }
    return names;
}

bool holds(const QStringList& names, const QString& part) {
    return std::any_of(names.begin(), names.end(),
                       [&part](const QString& name) { return name.startsWith(part); });
}

struct LoadCase {
    std::string name;
    QStringList files;
    QString format;
    bool metafilePlayer;  // whether the plug-in and QtGui are mapped
    bool tiff;            // whether libtiff is
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadedLibraries : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadedLibraries, QtGuiOnlyWithTheMetafilePlayerLibtiffOnlyWithTiff) {
    const LoadCase& c = GetParam();
    test::Sandbox sandbox;
    QStringList arguments = {QStringLiteral("--to"), c.format, QStringLiteral("--overwrite")};
    for (const QString& name : c.files) {
        if (name.endsWith(u".emf")) {
            test::EmfWriter emf(40, 30);
            emf.fillWith(1, Rgb{0, 0, 255}).rectangle(0, 0, 20, 30);
            arguments << sandbox.write(name, emf.bytes());
        } else {
            arguments << sandbox.write(name, encodeBmp(test::photoLike(64, 48)));
        }
    }
    test::ProgramRun run;
    const QStringList names = librariesLoaded(sandbox, arguments, run);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // The report is there: the program maps QtCore in any case.
    ASSERT_TRUE(holds(names, QStringLiteral("libQt6Core.so"))) << names.join(u' ').toStdString();
    EXPECT_EQ(holds(names, QStringLiteral("libQt6Gui.so")), c.metafilePlayer)
        << names.join(u' ').toStdString();
    EXPECT_EQ(holds(names, QStringLiteral("quillmere-metafile.so")), c.metafilePlayer)
        << names.join(u' ').toStdString();
    EXPECT_EQ(holds(names, QStringLiteral("libtiff.so")), c.tiff) << names.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LoadedLibraries,
    ::testing::Values(LoadCase{"BitmapToJpeg", {"small.bmp"}, "JPG", false, false},
                      LoadCase{"BitmapsToTiff", {"a.bmp", "b.bmp"}, "TIFF", false, true},
                      LoadCase{"MetafileToBitmap", {"drawing.emf"}, "BMP", true, false},
                      LoadCase{
                          "BitmapAndMetafileToJpeg", {"a.bmp", "drawing.emf"}, "JPG", true, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quillmere
