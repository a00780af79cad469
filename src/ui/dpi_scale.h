#pragma once
// The program lays everything out in logical units, the pixels of a 96-DPI
// screen: window definitions, the model's rectangles, window forms, placement,
// edge snap, auto-hide and slide-in all work in them. A backend scales by
// s = DPI / 96 on the way to the screen and divides by s on the way back
// (pointer, screen size, a window the user moved), with this one class.
//
// Rounding, everywhere: to the nearest whole pixel, halves away from zero.
// For s >= 1 a logical value survives the round trip unchanged.
#include <cstdint>

#include "ui/geometry.h"

namespace ui {

class DpiScale {
 public:
  static constexpr int kBaseDpi = 96;

  constexpr DpiScale() = default;
  // A DPI below 1 (a broken system answer) is taken as the base DPI.
  explicit constexpr DpiScale(int dpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

  constexpr int dpi() const { return dpi_; }
  constexpr bool isIdentity() const { return dpi_ == kBaseDpi; }
  constexpr bool operator==(const DpiScale&) const = default;

  constexpr int toPhysical(int logical) const { return divideRounded(std::int64_t{logical} * dpi_, kBaseDpi); }
  constexpr int toLogical(int physical) const { return divideRounded(std::int64_t{physical} * kBaseDpi, dpi_); }

  constexpr Point toPhysical(Point p) const { return {toPhysical(p.x), toPhysical(p.y)}; }
  constexpr Point toLogical(Point p) const { return {toLogical(p.x), toLogical(p.y)}; }
  constexpr Size toPhysical(Size s) const { return {toPhysical(s.width), toPhysical(s.height)}; }
  constexpr Size toLogical(Size s) const { return {toLogical(s.width), toLogical(s.height)}; }

  // A window on the screen: its corner and its size are scaled apart, so a
  // window keeps one physical size wherever it is moved.
  constexpr Rect windowToPhysical(Rect r) const {
    return {toPhysical(r.left), toPhysical(r.top), toPhysical(r.width), toPhysical(r.height)};
  }
  // A control in its window: its edges are scaled, so controls that touch in
  // logical units touch on the screen too, with no gap or overlap.
  constexpr Rect edgesToPhysical(Rect r) const {
    const int left = toPhysical(r.left), top = toPhysical(r.top);
    return {left, top, toPhysical(r.right()) - left, toPhysical(r.bottom()) - top};
  }
  // A line or an offset of the drawing (an edge, the pressed shift): never
  // thinner than one pixel when it is there at all.
  constexpr int thickness(int logical) const {
    const int physical = toPhysical(logical);
    return logical > 0 && physical < 1 ? 1 : physical;
  }

 private:
  static constexpr int divideRounded(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t half = denominator / 2;
    return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator : (numerator - half) / denominator);
  }

  int dpi_ = kBaseDpi;
};

}  // namespace ui
