#include "preview/image_widget.h"

#include <gtest/gtest.h>

#include <QTest>

#include "imaging/image_process.h"
#include "support/picture_files.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(ImageWidgetTest, DiscardingAPlayingGifBlanksThePreviewAtOnce) {
    test::Sandbox sandbox;
    const QString gif = sandbox.path("a.gif");
    {
        ImageControl source;
        source.picture().setGraphic(
            std::make_unique<RasterGraphic>(GraphicKind::Bitmap, test::solid(30, 20, {255, 0, 0})));
        ASSERT_TRUE(Save_image_file(gif, source, 0));
    }
    QWidget window;
    window.resize(100, 100);
    ImageWidget widget(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    widget.showAnimatedGif(gif);
    // A one-frame GIF paints once and then never changes by itself.
    QTest::qWait(100);

    PaintCounter counter;
    widget.installEventFilter(&counter);
    // The bitmap request rule: the animation goes, an empty bitmap stays.
    EXPECT_TRUE(widget.control().picture().bitmap().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 1000));
    EXPECT_EQ(widget.grab().toImage().pixel(5, 5), window.grab().toImage().pixel(5, 5));
    EXPECT_NE(widget.grab().toImage().pixel(5, 5), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace quillmere
