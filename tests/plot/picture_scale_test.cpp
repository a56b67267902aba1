// A plot frame on a screen scaled by 1.5 (as QT_SCALE_FACTOR=1.5 gives it), where a line one
// pixel wide may fall between device pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <array>
#include <memory>

#include "plot/qt_environment.h"
#include "plot/ui/picture_base.h"

namespace velquor {
namespace {

const auto* const kQt =
    ::testing::AddGlobalTestEnvironment(std::make_unique<testing::QtEnvironment>("1.5").release());

TEST(PictureBase, OutlinesKeepTheirFourSidesAtScaleOneAndAHalf) {
  for (const FrameGeometry& g : {kForm1Frames[0], kForm1Frames[2], kForm7Frame, kForm5Frame}) {
    PictureBase base(g);
    base.resize(base.designSize());
    base.show();
    const QImage img = base.grab().toImage();
    const double ratio = img.devicePixelRatio();
    ASSERT_EQ(ratio, 1.5);
    const QRgb line = base.palette().color(QPalette::Mid).rgb();
    // Down the middle, a pixel of the outline's colour within two device pixels of where
    // each side of the frame and of its plotting area lies.
    auto side = [&](int x) {
      const int at = static_cast<int>(x * ratio);
      int n = 0;
      for (int d = std::max(0, at - 2); d <= std::min(img.width() - 1, at + 2); ++d) {
        n += img.pixel(d, img.height() / 2) == line;
      }
      return n;
    };
    const QRect fig = base.pctFig()->geometry();
    EXPECT_GE(side(0), 1) << "frame left, " << g.base.width;
    EXPECT_GE(side(base.width() - 1), 1) << "frame right, " << g.base.width;
    EXPECT_GE(side(fig.left() - 1), 1) << "plot left, " << g.base.width;
    EXPECT_GE(side(fig.right() + 1), 1) << "plot right, " << g.base.width;
  }
}

}  // namespace
}  // namespace velquor
