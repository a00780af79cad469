#include "app/placement.h"

#include "app/program.h"
#include "app/windows/advert_window.h"
#include "app/windows/interaction_window.h"
#include "app/windows/remote_control.h"
#include "ui/geometry.h"

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

// Whether a dock tick can act: the window stands where a docked window shows
// or hides. Elsewhere only a move, a resize or a screen change can put it
// there, and each of them wakes the timer.
bool atADockPosition(ui::WindowRef w, double screenWidth) {
  const double left = w.left(), top = w.top();
  return ui::positionsEqual(left, 0) || ui::positionsEqual(left, screenWidth - w.width()) ||
         ui::positionsEqual(left, kStrip - w.width()) || ui::positionsEqual(left, screenWidth - kStrip) ||
         ui::positionsEqual(top, 0) || ui::positionsEqual(top, kStrip - w.height());
}

void edgeAutoHide(Program& program, WindowId id, const ui::ControlName& timer) {
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
  if (!atADockPosition(w, screenWidth)) program.control(timer).sleepUntilMoved();
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
  program.control(app::advert_window::kSlideTimer).setTimerPeriod(1);
}

void advertSlideStep(Program& program) {
  ui::ControlRef timer = program.control(app::advert_window::kSlideTimer);
  ui::WindowRef advert = program.window(WindowId::Advert);
  double restingTop = static_cast<double>(program.ui().screen().height) - advert.height() - kSlideMargin;
  if (ui::positionGreater(advert.top(), restingTop)) {
    advert.setTop(ui::truncateToInt(advert.top() - kSlideStep));
  }
  // At or above its rest line a tick moves nothing until the window moves or
  // the screen changes.
  if (!ui::positionGreater(advert.top(), restingTop)) timer.sleepUntilMoved();
}

void remoteEdgeSnap(Program& program) { edgeSnap(program, WindowId::Remote); }
void interactionEdgeSnap(Program& program) { edgeSnap(program, WindowId::Interaction); }
void remoteEdgeAutoHide(Program& program) {
  edgeAutoHide(program, WindowId::Remote, app::remote_control::kDockTimer);
}
void interactionEdgeAutoHide(Program& program) {
  edgeAutoHide(program, WindowId::Interaction, app::interaction_window::kDockTimer);
}

}  // namespace app
