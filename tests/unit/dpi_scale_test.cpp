// Logical units to the screen's pixels and back, and the program's edge
// docking on a scaled screen, as the backends report it.
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include "test_program.h"
#include "ui/pictures/picture.h"

namespace {

using ui::DpiScale;

TEST(DpiScale, RoundsHalvesAwayFromZeroAndEveryLogicalValueSurvivesTheRoundTrip) {
  const DpiScale s150(144);
  EXPECT_EQ(s150.toPhysical(1), 2);    // 1.5
  EXPECT_EQ(s150.toPhysical(-1), -2);  // -1.5
  EXPECT_EQ(s150.toPhysical(815), 1223);
  EXPECT_EQ(s150.toLogical(2048), 1365);  // 1365.33
  EXPECT_EQ(s150.toLogical(2047), 1365);  // 1364.67
  EXPECT_EQ(s150.toLogical(-2), -1);      // -1.33
  EXPECT_EQ(DpiScale(0), DpiScale());     // a broken system answer
  for (int dpi : {96, 108, 120, 144, 168, 192, 240, 288}) {
    const DpiScale scale(dpi);
    for (int v = -3000; v <= 3000; ++v) ASSERT_EQ(scale.toLogical(scale.toPhysical(v)), v) << dpi << " " << v;
  }
}

TEST(DpiScale, ControlsThatTouchStillTouchAndAWindowKeepsItsSizeWhereverItIs) {
  const DpiScale s150(144);
  const ui::Rect a = s150.edgesToPhysical({0, 0, 1, 3});
  const ui::Rect b = s150.edgesToPhysical({1, 0, 1, 3});
  EXPECT_EQ(a.right(), b.left);
  EXPECT_EQ(a.width + b.width, s150.toPhysical(2));
  for (int left = 0; left < 4; ++left) EXPECT_EQ(s150.windowToPhysical({left, 0, 815, 631}).width, 1223);
  // Lines never vanish on a small scale.
  EXPECT_EQ(DpiScale(40).thickness(1), 1);
  EXPECT_EQ(DpiScale(40).thickness(0), 0);
  EXPECT_EQ(s150.thickness(1), 2);
}

// 2048 x 1152 pixels at 150 %: 1365 x 768 for the program.
class ScaledScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.backend.scale = DpiScale(144);
    t.backend.screenSize = {2048, 1152};
    t.start();
  }
  ui::Rect physical(ui::WindowId id) { return t.backend.scale.windowToPhysical(t.ui().state(id)->rect); }
  void pointerAt(int x, int y) { t.backend.pointerPosition = {x, y}; }
  void tickRemote() { t.tick(app::remote_control::kDockTimer); }
  testing_support::TestProgram t;
};

TEST_F(ScaledScreenTest, TheMainWindowIsCentredAndTheAdvertRestsInTheCorner) {
  const ui::Rect main = physical(ui::WindowId::Main);
  EXPECT_EQ(main.width, 1223);
  EXPECT_EQ(main.height, 947);
  EXPECT_LE(std::abs(main.left + main.width / 2 - 1024), 2);
  for (int i = 0; i < 100; ++i) t.tick(app::advert_window::kSlideTimer);
  const ui::Rect advert = physical(ui::WindowId::Advert);
  EXPECT_LE(std::abs(advert.right() - 2048), 1);
  EXPECT_EQ(advert.bottom(), 1152 - 48);  // 32 logical pixels clear of the bottom, as at 100 %
}

TEST_F(ScaledScreenTest, TheRemoteDocksAtThePhysicalRightEdgeAndHidesLeavingItsScaledStrip) {
  pointerAt(2046, 460);
  t.ui().userMoved(ui::WindowId::Remote, {1300, 300});
  EXPECT_EQ(physical(ui::WindowId::Remote).right(), 2048);
  pointerAt(300, 300);
  tickRemote();
  EXPECT_EQ(2048 - physical(ui::WindowId::Remote).left, 8);  // 5 logical pixels, 7.5 physical
  pointerAt(2041, 460);                                        // on the strip
  tickRemote();
  EXPECT_EQ(physical(ui::WindowId::Remote).right(), 2048);
}

TEST_F(ScaledScreenTest, TheTopEdgeDocksByThePointerInLogicalPixels) {
  pointerAt(900, 6);  // 4 logical pixels down: snaps
  t.ui().userMoved(ui::WindowId::Remote, {600, -30});
  EXPECT_EQ(physical(ui::WindowId::Remote).top, 0);
  pointerAt(900, 8);  // 5.33, so 5: too far down
  t.ui().userMoved(ui::WindowId::Remote, {600, -30});
  EXPECT_EQ(physical(ui::WindowId::Remote).top, -45);
}

TEST(PictureScaling, ColoursStayAtTheCornersBlendBetweenAndTransparencyLendsNoColour) {
  pictures::Frame frame{2, 1, {0xFFFF0000u, 0xFF0000FFu}, 70};
  const pictures::Frame big = pictures::scaleFrame(frame, 4, 2);
  ASSERT_EQ(big.pixels.size(), 8u);
  EXPECT_EQ(big.delayMs, 70);
  EXPECT_EQ(big.pixels[0], 0xFFFF0000u);
  EXPECT_EQ(big.pixels[3], 0xFF0000FFu);
  EXPECT_EQ(big.pixels[4], big.pixels[0]);  // rows alike
  const std::uint32_t between = big.pixels[1];
  EXPECT_GT(between & 0xFF, 0u);
  EXPECT_GT((between >> 16) & 0xFF, 0u);

  // A transparent neighbour makes the edge fade, not darken.
  const pictures::Frame keyed = pictures::withoutColour(frame, 0x0000FF);
  EXPECT_EQ(keyed.pixels[1], 0u);
  const pictures::Frame faded = pictures::scaleFrame(keyed, 4, 1);
  EXPECT_EQ(faded.pixels[1] & 0xFFFFFFu, 0xFF0000u);
  EXPECT_LT(faded.pixels[1] >> 24, 0xFFu);
  EXPECT_EQ(faded.pixels[3], 0u);

  EXPECT_TRUE(pictures::scaleFrame(frame, 0, 5).pixels.empty());
  EXPECT_TRUE(pictures::scaleFrame(pictures::Frame{3, 3, {1, 2}, 0}, 6, 6).pixels.empty());  // short pixels
}

}  // namespace
