#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/fixtures/ink.h"
#include "imaging/fixtures/load_failure.h"
#include "imaging/imaging_messages.h"
#include "imaging/metafile/linked_player.h"
#include "imaging/metafile_playback.h"
#include "imaging/picture_file.h"
#include "support/metafile_writer.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere::test {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};

std::vector<std::uint8_t> redSquareEmf() {
    EmfWriter emf(96, 72);
    emf.fillWith(1, kRed).rectangle(10, 10, 50, 40);
    return emf.bytes();
}

std::vector<std::uint8_t> redSquareWmf() {
    WmfWriter wmf = WmfWriter::placeable(0, 0, 1440, 1080, 1440);
    wmf.createBrush(kRed).select(0).createPen(5, 0, kRed).select(1);
    wmf.rectangle(150, 150, 750, 600);
    return wmf.bytes();
}

TEST(MetafileLoading, EmfAndWmfFilesLoadAsMetafilePictures) {
    const LinkedMetafilePlayer player;
    Sandbox sandbox;
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    // The extension picks the metafile kind; the content tells EMF from WMF.
    const std::vector<Case> cases = {
        {"picture.emf", redSquareEmf()},
        {"PICTURE.WMF", redSquareWmf()},
        {"enhanced-named.wmf", redSquareEmf()},
        {"windows-named.Emf", redSquareWmf()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = sandbox.write(QString::fromStdString(c.name), c.bytes);
        const std::unique_ptr<Graphic> graphic = decodePictureFile(path);
        ASSERT_TRUE(graphic);
        EXPECT_EQ(graphic->kind(), GraphicKind::Metafile);
        EXPECT_EQ(graphic->width(), 96);
        EXPECT_EQ(graphic->height(), 72);

        const Bitmap24 normalised = loadBitmap(path);
        EXPECT_EQ(normalised.width(), 96);
        EXPECT_TRUE(pixelsAre(normalised, {{30, 25, kRed}, {70, 60, kWhite}}));
    }
}

TEST(MetafileLoading, ADamagedMetafileIsAnInvalidPicture) {
    const LinkedMetafilePlayer player;
    Sandbox sandbox;
    std::vector<std::uint8_t> cut = redSquareEmf();
    cut.resize(cut.size() - 8);
    for (const QString& name : {QStringLiteral("cut.emf"), QStringLiteral("text.wmf")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = name == u"cut.emf" ? sandbox.write(name, cut)
                                                : sandbox.write(name, QByteArray("not a metafile"));
        const LoadFailure failure = failureOf([&path] { decodePictureFile(path); });
        EXPECT_TRUE(failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::metafileNotValid().toStdString());
    }
}

TEST(MetafileLoading, WithoutAPlayerAMetafileFailsSayingWhy) {
    Sandbox sandbox;
    const QString path = sandbox.write(QStringLiteral("picture.emf"), redSquareEmf());
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), imaging_messages::metafilePlayerNotBuiltIn()},
        {QStringLiteral("no plug-in here"), QStringLiteral("no plug-in here")},
    };
    for (const auto& [problem, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        setMetafilePlayerProblem(problem);
        const LoadFailure failure = failureOf([&path] { decodePictureFile(path); });
        // The file is not at fault: no invalid-picture error.
        EXPECT_TRUE(failure.appError && !failure.invalidPicture) << failure;
        EXPECT_EQ(failure.message, imaging_messages::metafilePlayerMissing(reason).toStdString());
    }
    setMetafilePlayerProblem(QString());
}

}  // namespace
}  // namespace quillmere::test
