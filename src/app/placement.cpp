#include "app/placement.h"

#include "app/program.h"
#include "ui/geometry.h"
#include "app/windows/advert_window.h"

namespace app {

using ui::WindowId;

namespace {

// Strip of a hidden window left on the screen, and how near the edge the
// pointer must be for a drop to snap.
constexpr double kStrip = 5;
constexpr double kSlideStep = 8;
constexpr double kSlideMargin = 30;

void edgeSnap(Program& program, WindowId id) {
  ui::WindowRef w = program.window(id);
  if (!w.isOpen()) return;
  ui::Point pointer = program.ui().pointer();
  double screenWidth = program.ui().screen().width;
  if (ui::positionGreater(0, w.left()) && ui::positionGreater(kStrip, pointer.x)) w.setLeft(0);
  if (ui::positionGreater(w.left(), screenWidth - w.width()) && ui::positionGreater(pointer.x, screenWidth - kStrip)) {
    w.setLeft(ui::truncateToInt(screenWidth - w.width()));
  }
  if (ui::positionGreater(0, w.top()) && ui::positionGreater(kStrip, pointer.y)) w.setTop(0);
}

void edgeAutoHide(Program& program, WindowId id) {
  ui::WindowRef w = program.window(id);
  if (!w.isOpen()) return;
  ui::Point p = program.ui().pointer();
  double screenWidth = program.ui().screen().width;
  bool inside = p.x >= w.left() && p.x <= w.left() + w.width() && p.y >= w.top() && p.y <= w.top() + w.height();
  // Each step reads the window again: a move made by one step, and the edge
  // snap that follows it, are seen by the next.
  if (inside) {
    if (ui::positionsEqual(w.left(), kStrip - w.width())) w.setLeft(0);
    if (ui::positionsEqual(w.left(), screenWidth - kStrip)) w.setLeft(ui::truncateToInt(screenWidth - w.width()));
    if (ui::positionsEqual(w.top(), kStrip - w.height())) w.setTop(0);
  } else {
    if (ui::positionsEqual(w.left(), 0)) w.setLeft(ui::truncateToInt(kStrip - w.width()));
    if (ui::positionsEqual(w.left(), screenWidth - w.width())) w.setLeft(ui::truncateToInt(screenWidth - kStrip));
    if (ui::positionsEqual(w.top(), 0)) w.setTop(ui::truncateToInt(kStrip - w.height()));
  }
}

}  // namespace

void placeRemoteBesideMain(Program& program) {
  ui::WindowRef main = program.window(WindowId::Main);
  double left = static_cast<double>(main.left()) + main.width();
  double top = main.top() + main.height() / 10.0;
  program.window(WindowId::Remote).move(ui::truncateToInt(left), ui::truncateToInt(top));
}

void placeInteractionBelowRemote(Program& program) {
  ui::WindowRef remote = program.window(WindowId::Remote);
  double top = static_cast<double>(remote.top()) + remote.height();
  program.window(WindowId::Interaction).setTop(ui::truncateToInt(top));
}

void startAdvertSlideIn(Program& program) {
  ui::WindowRef advert = program.window(WindowId::Advert);
  ui::Size screen = program.ui().screen();
  advert.move(screen.width - advert.width(), screen.height);
  program.slideFlag = 1;
  program.control(app::advert_window::kSlideTimer).setTimerPeriod(1);
}

void advertSlideStep(Program& program) {
  if (program.slideFlag != 1) return;
  ui::WindowRef advert = program.window(WindowId::Advert);
  double restingTop = static_cast<double>(program.ui().screen().height) - advert.height() - kSlideMargin;
  if (ui::positionGreater(advert.top(), restingTop)) advert.setTop(ui::truncateToInt(advert.top() - kSlideStep));
}

void remoteEdgeSnap(Program& program) { edgeSnap(program, WindowId::Remote); }
void interactionEdgeSnap(Program& program) { edgeSnap(program, WindowId::Interaction); }
void remoteEdgeAutoHide(Program& program) { edgeAutoHide(program, WindowId::Remote); }
void interactionEdgeAutoHide(Program& program) { edgeAutoHide(program, WindowId::Interaction); }

}  // namespace app
