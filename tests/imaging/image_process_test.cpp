#include "imaging/image_process.h"

#include <gtest/gtest.h>

#include <QDir>

#include "common/app_error.h"
#include "imaging/codecs/bmp_encoder.h"
#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

class CountingObserver : public ImageControlObserver {
  public:
    void imageControlResized() override { ++resizes; }
    void imageControlRepaintNow() override { ++repaints; }
    int resizes = 0;
    int repaints = 0;
};

void holdGraphic(ImageControl& control, GraphicKind kind, Bitmap24 pixels) {
    control.picture().setGraphic(std::make_unique<RasterGraphic>(kind, std::move(pixels)));
}

class ImageProcessTest : public ::testing::Test {
  protected:
    test::Sandbox sandbox;
    ImageControl control;
};

TEST_F(ImageProcessTest, LoadTakesThePictureSizeAndLeavesABitmap) {
    const Bitmap24 picture = test::photoLike(40, 30);
    const QString path = sandbox.write("photo.png", encodePng(picture));
    CountingObserver observer;
    control.setObserver(&observer);

    ASSERT_TRUE(Load_image_file(path, control));
    EXPECT_EQ(control.width(), 40);
    EXPECT_EQ(control.height(), 30);
    EXPECT_FALSE(control.autoSize());
    ASSERT_NE(control.picture().graphic(), nullptr);
    EXPECT_EQ(control.picture().graphic()->kind(), GraphicKind::Bitmap);
    EXPECT_GE(observer.repaints, 1);

    // The bitmap request now returns the normalised bitmap itself.
    const Bitmap24* first = &control.picture().bitmap();
    EXPECT_EQ(first, &control.picture().bitmap());
    EXPECT_EQ(test::maxChannelDifference(*first, picture), 0);
}

TEST_F(ImageProcessTest, LoadOfNothingOrAFolderChangesNothing) {
    holdGraphic(control, GraphicKind::Bitmap, test::solid(5, 6, {1, 2, 3}));
    control.setAutoSize(false);
    control.setSize(77, 88);
    const QString folder = sandbox.path("folder.png");
    ASSERT_TRUE(QDir().mkdir(folder));

    for (const QString& path : {folder, sandbox.path("missing.png"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(Load_image_file(path, control));
        EXPECT_EQ(control.width(), 77);
        EXPECT_EQ(control.height(), 88);
        EXPECT_FALSE(control.autoSize());
        EXPECT_EQ(control.picture().bitmap().pixel(4, 5), (Rgb{1, 2, 3}));
    }
}

TEST_F(ImageProcessTest, AFailedLoadKeepsThePreviousPicture) {
    ASSERT_TRUE(Load_image_file(sandbox.write("first.bmp", encodeBmp(test::solid(8, 4, {9, 9, 9}))),
                                control));
    control.setSize(200, 100);  // as a zoom would

    const QString text = sandbox.write("notes.png", QByteArray("just some text"));
    EXPECT_THROW(Load_image_file(text, control), AppError);
    EXPECT_EQ(control.picture().bitmap().width(), 8);
    EXPECT_EQ(control.picture().bitmap().pixel(7, 3), (Rgb{9, 9, 9}));
    // Auto-size stays on and has already fitted the control to that picture.
    EXPECT_TRUE(control.autoSize());
    EXPECT_EQ(control.width(), 8);
    EXPECT_EQ(control.height(), 4);
}

TEST_F(ImageProcessTest, BitmapRequestDiscardsAnyOtherGraphic) {
    holdGraphic(control, GraphicKind::Gif, test::solid(10, 10, {0, 0, 0}));
    const Bitmap24& bitmap = control.picture().bitmap();
    EXPECT_TRUE(bitmap.isEmpty());
    EXPECT_EQ(control.picture().graphic()->kind(), GraphicKind::Bitmap);
    EXPECT_EQ(control.picture().width(), 0);

    ImageControl empty;
    EXPECT_TRUE(empty.picture().bitmap().isEmpty());
}

TEST_F(ImageProcessTest, ControlToBitmapUsesTheControlSize) {
    control.setAutoSize(false);
    holdGraphic(control, GraphicKind::Png, test::solid(4, 3, {10, 20, 30}));
    control.setSize(6, 2);
    Control_to_bitmap24(control);
    const Bitmap24& wide = control.picture().bitmap();
    ASSERT_EQ(wide.width(), 6);
    ASSERT_EQ(wide.height(), 2);
    EXPECT_EQ(wide.pixel(3, 1), (Rgb{10, 20, 30}));
    EXPECT_EQ(wide.pixel(4, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(wide.pixel(5, 1), (Rgb{255, 255, 255}));
}

TEST_F(ImageProcessTest, PictureToBitmapOfNothingIsEmpty) {
    Picture_to_bitmap24(control);
    EXPECT_TRUE(control.picture().bitmap().isEmpty());
}

TEST_F(ImageProcessTest, AutoSizeNeedsBothSidesAboveZero) {
    control.setSize(50, 60);
    holdGraphic(control, GraphicKind::Bitmap, Bitmap24());
    EXPECT_EQ(control.width(), 50);
    holdGraphic(control, GraphicKind::Bitmap, Bitmap24(3, 2));
    EXPECT_EQ(control.width(), 3);
    EXPECT_EQ(control.height(), 2);

    control.setAutoSize(false);
    holdGraphic(control, GraphicKind::Bitmap, Bitmap24(9, 9));
    EXPECT_EQ(control.width(), 3);
    control.setAutoSize(true);  // switching it on applies at once
    EXPECT_EQ(control.width(), 9);
}

struct TargetCase {
    const char* name;
    std::vector<std::uint8_t> start;  // the first bytes of the file
};

TEST_F(ImageProcessTest, SaveChoosesTheEncoderByTheLowerCasedExtension) {
    holdGraphic(control, GraphicKind::Bitmap, test::photoLike(16, 8));
    const TargetCase cases[] = {{"a.jpg", {0xFF, 0xD8}},
                                {"a.JPG", {0xFF, 0xD8}},
                                {"a.png", {0x89, 'P', 'N', 'G'}},
                                {"a.Png", {0x89, 'P', 'N', 'G'}},
                                {"a.tiff", {'I', 'I', 42, 0}},
                                {"a.TIFF", {'I', 'I', 42, 0}},
                                {"a.bmp", {'B', 'M'}},
                                {"a.jpeg", {'B', 'M'}},
                                {"a.tif", {'B', 'M'}},
                                {"noextension", {'B', 'M'}},
                                {"a.txt", {'B', 'M'}}};
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = sandbox.path(c.name);
        ASSERT_TRUE(Save_image_file(path, control, 90));
        const std::vector<std::uint8_t> file = test::Sandbox::read(path);
        ASSERT_GE(file.size(), c.start.size());
        EXPECT_TRUE(std::equal(c.start.begin(), c.start.end(), file.begin()));
    }
}

TEST_F(ImageProcessTest, SaveOfANonBitmapGraphicWritesAnEmptyPicture) {
    for (const char* name : {"anim.jpg", "anim.bmp"}) {
        SCOPED_TRACE(name);
        holdGraphic(control, GraphicKind::Gif, test::solid(10, 10, {0, 0, 0}));
        const QString path = sandbox.path(name);
        ASSERT_TRUE(Save_image_file(path, control, 90));
        EXPECT_TRUE(test::Sandbox::exists(path));
        EXPECT_TRUE(test::Sandbox::read(path).empty());
        EXPECT_EQ(control.picture().graphic()->kind(), GraphicKind::Bitmap);
    }
}

TEST_F(ImageProcessTest, SaveFromADerivedControlWritesNothing) {
    class FancyControl : public ImageControl {};
    FancyControl fancy;
    fancy.picture().setGraphic(
        std::make_unique<RasterGraphic>(GraphicKind::Bitmap, test::photoLike(4, 4)));
    const QString path = sandbox.path("fancy.bmp");
    EXPECT_FALSE(Save_image_file(path, fancy, 90));
    EXPECT_FALSE(test::Sandbox::exists(path));
}

TEST_F(ImageProcessTest, SaveIntoAMissingFolderRaisesCannotCreate) {
    holdGraphic(control, GraphicKind::Bitmap, test::photoLike(4, 4));
    const QString path = sandbox.path("missing/out.png");
    try {
        Save_image_file(path, control, 90);
        FAIL() << "no error";
    } catch (const InvalidPictureError&) {
        FAIL() << "not an invalid-picture error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(path));
    }
    EXPECT_FALSE(test::Sandbox::exists(path));
    EXPECT_EQ(control.picture().bitmap().width(), 4);
}

TEST_F(ImageProcessTest, LoadThenSaveRoundTripsEveryLosslessFormat) {
    const Bitmap24 picture = test::photoLike(23, 11, 9);
    holdGraphic(control, GraphicKind::Bitmap, picture);
    for (const char* name : {"copy.bmp", "copy.png", "copy.tiff"}) {
        SCOPED_TRACE(name);
        const QString path = sandbox.path(name);
        ASSERT_TRUE(Save_image_file(path, control, 90));
        ImageControl other;
        ASSERT_TRUE(Load_image_file(path, other));
        EXPECT_EQ(test::maxChannelDifference(other.picture().bitmap(), picture), 0);
    }
}

}  // namespace
}  // namespace quillmere
