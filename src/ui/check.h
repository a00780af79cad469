#pragma once
// Programmer errors: a name the model does not know in an open window, a
// window without definitions, a binding in another window's table. Failures
// of the environment never come here; they are silent where they happen.
//
// A failed check calls the reporter. By default that ends the program at
// once, so every test, native or under Wine, fails on the spot; the shipped
// program sets one that writes to the debugger's output and goes on, and
// the checked call then does nothing.
#include <string>

namespace ui {

using CheckReporter = void (*)(const std::string& what);

// Replaces the reporter; returns the one before.
CheckReporter setCheckReporter(CheckReporter reporter);

// Reports the failed check; always false.
bool checkFailed(const char* condition, const std::string& detail, const char* file, int line);

}  // namespace ui

// True when the condition holds; otherwise reports it (with the detail, a
// std::string) and is false.
#define STATION_CHECK(condition, detail) \
  (static_cast<bool>(condition) || ::ui::checkFailed(#condition, (detail), __FILE__, __LINE__))
