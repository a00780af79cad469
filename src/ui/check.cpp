#include "ui/check.h"

#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

void endAtOnce(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

CheckReporter g_reporter = endAtOnce;

}  // namespace

CheckReporter setCheckReporter(CheckReporter reporter) {
  CheckReporter before = g_reporter;
  g_reporter = reporter ? reporter : endAtOnce;
  return before;
}

bool checkFailed(const char* condition, const std::string& detail, const char* file, int line) {
  g_reporter(std::string(file) + ":" + std::to_string(line) + ": check failed: " + condition + ": " + detail);
  return false;
}

}  // namespace ui
