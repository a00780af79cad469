#include "app/colours.h"

#include "app/program.h"
#include "app/windows/advert_window.h"
#include "app/windows/main_window.h"
#include "app/windows/settings_window.h"

namespace app {

using ui::WindowId;

namespace {

const char kDefault[] = "默认底色";
const char kSecondDefault[] = "默认底色2";

enum class Property { Background, CurrentColour };
enum class Repainted { ByChoiceAndDefaults, ByDefaultsOnly, Never };

// A window's background has the window as its target and no control name.
constexpr ui::ControlName windowItself(WindowId window) { return {window, {}}; }

struct Target {
  ui::ControlName target;
  Property property;
  const char* defaultKey;  // in "system.dll", for "默认"
  Repainted repainted;     // besides at its window's creation
};

// Every colour target, in the order each pass paints them. A window being
// created takes its own targets; a chosen colour and "默认" repaint theirs,
// loading the advert window just before its first target. The picker is the
// chosen colour's source, so only "默认" writes it; the interaction window
// takes a colour only when it is created.
constexpr Target kTargets[] = {
    {windowItself(WindowId::Main), Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {app::main_window::kTitleLabel, Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {app::main_window::kVersionLabel, Property::Background, kSecondDefault, Repainted::ByChoiceAndDefaults},
    {app::main_window::kNotificationLine, Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {app::main_window::kAdvertLink, Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {windowItself(WindowId::Settings), Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {windowItself(WindowId::Remote), Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {windowItself(WindowId::Advert), Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {app::advert_window::kCaptionLabel, Property::Background, kDefault, Repainted::ByChoiceAndDefaults},
    {app::settings_window::kColourPicker, Property::CurrentColour, kDefault, Repainted::ByDefaultsOnly},
    {windowItself(WindowId::Interaction), Property::Background, kDefault, Repainted::Never},
};

void paint(Program& program, const Target& t, ui::Colour colour) {
  if (t.target.name.empty()) {
    program.window(t.target.window).setBackground(colour);
  } else if (t.property == Property::CurrentColour) {
    program.control(t.target).setCurrentColour(colour);
  } else {
    program.control(t.target).setBackColour(colour);
  }
}

// A chosen colour or "默认": each target in turn, its colour read anew.
template <typename ColourOf>
void repaint(Program& program, bool defaults, ColourOf colourOf) {
  bool advertLoaded = false;
  for (const Target& t : kTargets) {
    if (t.repainted == Repainted::Never || (t.repainted == Repainted::ByDefaultsOnly && !defaults)) continue;
    if (t.target.window == WindowId::Advert && !advertLoaded) {
      program.ui().open(WindowId::Advert);
      advertLoaded = true;
    }
    paint(program, t, colourOf(t));
  }
}

}  // namespace

void applyUserColourAtCreation(Program& program, WindowId window) {
  SettingsFiles& settings = program.settings();
  if (!settings.userSettingsExist()) return;
  for (const Target& t : kTargets) {
    if (t.target.window == window) paint(program, t, settings.readUserBackground());
  }
}

void applyChosenColour(Program& program) {
  // Each step reads the picker anew, as the picker may be gone once the
  // advert window has been opened in between.
  auto chosen = [&] { return program.control(app::settings_window::kColourPicker).currentColour(); };
  repaint(program, /*defaults=*/false, [&](const Target&) { return chosen(); });
  program.settings().writeUserBackground(chosen());
}

void applyDefaultColours(Program& program) {
  SettingsFiles& settings = program.settings();
  if (settings.userSettingsExist()) settings.deleteUserSettings();
  repaint(program, /*defaults=*/true, [&](const Target& t) { return settings.readDefaultColour(t.defaultKey); });
}

}  // namespace app
