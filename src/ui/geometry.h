#pragma once

namespace ui {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
  constexpr int right() const { return left + width; }
  constexpr int bottom() const { return top + height; }
};

// Position and size arithmetic of the program: computed in double precision
// and truncated toward zero.
inline int truncateToInt(double value) { return static_cast<int>(value); }

// Comparisons of positions allow this tolerance (exact for integers).
inline constexpr double kPositionTolerance = 0.0000001;
inline bool positionsEqual(double a, double b) {
  double d = a - b;
  return d < kPositionTolerance && d > -kPositionTolerance;
}
inline bool positionGreater(double a, double b) { return a - b > kPositionTolerance; }

}  // namespace ui
