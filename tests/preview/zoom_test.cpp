#include "preview/zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quillmere {
namespace {

// A scroll box whose content is the control at (3, 3).
class FakeScrollBox : public ScrollBoxView {
  public:
    explicit FakeScrollBox(const ImageControl& image, int width = 200, int height = 100)
        : image_(image), width_(width), height_(height) {}
    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    int horizontalPosition() const override { return x_; }
    int verticalPosition() const override { return y_; }
    void setHorizontalPosition(int p) override {
        x_ = std::clamp(p, 0, std::max(0, 3 + image_.width() - width_));
    }
    void setVerticalPosition(int p) override {
        y_ = std::clamp(p, 0, std::max(0, 3 + image_.height() - height_));
    }

  private:
    const ImageControl& image_;
    int width_, height_;
    int x_ = 0, y_ = 0;
};

void showBitmap(ImageControl& image, int width, int height) {
    image.setAutoSize(true);
    image.picture().setGraphic(
        std::make_unique<RasterGraphic>(GraphicKind::Bitmap, Bitmap24(width, height)));
    image.setAutoSize(false);
}

TEST(NearestInteger, RoundsHalvesToEven) {
    EXPECT_EQ(nearestInteger(2.5), 2);
    EXPECT_EQ(nearestInteger(3.5), 4);
    EXPECT_EQ(nearestInteger(-2.5), -2);
    EXPECT_EQ(nearestInteger(120.00000476837158), 120);
    EXPECT_EQ(nearestInteger(172.79999), 173);
}

TEST(ZoomImage, ZoomsInTwentySixStepsThenStops) {
    ImageControl image;
    showBitmap(image, 100, 50);
    FakeScrollBox scroll(image);
    const std::vector<int> expected = {120,  144,  173,  208,  250,  300,  360,  432,  518,
                                       622,  746,  895,  1074, 1289, 1547, 1856, 2227, 2672,
                                       3206, 3847, 4616, 5539, 6647, 7976, 9571, 11485};
    std::vector<int> widths;
    QPoint point(0, 0);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        Zoom_image(image, kZoomInFactor, point, scroll);
        widths.push_back(image.width());
    }
    EXPECT_EQ(widths, expected);
    EXPECT_TRUE(image.stretch());
    EXPECT_FALSE(image.autoSize());

    Zoom_image(image, kZoomInFactor, point, scroll);  // the ratio is now 114.85
    EXPECT_EQ(image.width(), 11485);
    EXPECT_EQ(image.height(), nearestInteger(11485 * 0.5));
}

TEST(ZoomImage, ZoomsOutBelowTenPixelsOnce) {
    ImageControl image;
    showBitmap(image, 100, 100);
    FakeScrollBox scroll(image);
    std::vector<int> widths = {image.width()};
    QPoint point(0, 0);
    for (int i = 0; i < 12; ++i) {
        Zoom_image(image, kZoomOutFactor, point, scroll);
        widths.push_back(image.width());
    }
    EXPECT_EQ(widths, (std::vector<int>{100, 80, 64, 51, 41, 33, 26, 21, 17, 14, 11, 9, 9}));
}

TEST(ZoomImage, ResetDividesThePointByTheRatio) {
    ImageControl image;
    showBitmap(image, 50, 40);
    image.setSize(100, 80);  // ratio 2
    FakeScrollBox scroll(image, 10, 10);
    QPoint point(5, 7);
    Zoom_image(image, kZoomReset, point, scroll);
    EXPECT_EQ(point, QPoint(2, 4));
    EXPECT_EQ(image.width(), 50);
    EXPECT_EQ(image.height(), 40);
    EXPECT_FALSE(image.autoSize());
    EXPECT_TRUE(image.stretch());
}

TEST(ZoomImage, HeightFollowsTheBitmapAspect) {
    ImageControl image;
    showBitmap(image, 1000, 1);
    image.setSize(10, 1);
    FakeScrollBox scroll(image);
    QPoint point(0, 0);
    Zoom_image(image, kZoomOutFactor, point, scroll);
    EXPECT_EQ(image.width(), 8);
    EXPECT_EQ(image.height(), 0);
}

TEST(ZoomImage, CentresTheScaledPointAndClamps) {
    ImageControl image;
    showBitmap(image, 1000, 800);
    FakeScrollBox scroll(image, 200, 100);
    QPoint point(500, 400);
    Zoom_image(image, kZoomInFactor, point, scroll);
    EXPECT_EQ(point, QPoint(600, 480));
    EXPECT_EQ(scroll.horizontalPosition(), 600 - 100);
    EXPECT_EQ(scroll.verticalPosition(), 480 - 50);

    QPoint corner(10, 10);
    Zoom_image(image, kZoomInFactor, corner, scroll);
    EXPECT_EQ(scroll.horizontalPosition(), 0);
    EXPECT_EQ(scroll.verticalPosition(), 0);
}

TEST(ZoomImage, AnEmptyBitmapChangesNothing) {
    ImageControl image;
    image.setAutoSize(false);
    image.setSize(40, 30);
    FakeScrollBox scroll(image);
    scroll.setHorizontalPosition(5);
    QPoint point(9, 9);
    for (float factor : {kZoomInFactor, kZoomOutFactor, kZoomReset}) {
        Zoom_image(image, factor, point, scroll);
        EXPECT_EQ(point, QPoint(9, 9));
        EXPECT_EQ(image.width(), 40);
    }
    // A picture that held another kind of graphic gave it up for the empty bitmap.
    image.picture().setGraphic(std::make_unique<RasterGraphic>(GraphicKind::Gif, Bitmap24(4, 4)));
    Zoom_image(image, kZoomInFactor, point, scroll);
    EXPECT_EQ(image.picture().graphic()->kind(), GraphicKind::Bitmap);
    EXPECT_EQ(image.width(), 40);
}

}  // namespace
}  // namespace quillmere
