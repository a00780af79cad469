#include "app/colours.h"

#include "app/program.h"

namespace app {

using ui::WindowId;

namespace {
const char kDefault[] = "默认底色";
const char kSecondDefault[] = "默认底色2";
}  // namespace

void applyUserColourAtCreation(Program& program, WindowId window) {
  SettingsFiles& settings = program.settings();
  if (!settings.userSettingsExist()) return;
  auto paintWindow = [&](WindowId id) { program.window(id).setBackground(settings.readUserBackground()); };
  auto paintControl = [&](WindowId id, const char* name) {
    program.control(id, name).setBackColour(settings.readUserBackground());
  };
  switch (window) {
    case WindowId::Main:
      paintWindow(WindowId::Main);
      paintControl(WindowId::Main, "标签1");
      paintControl(WindowId::Main, "版本标签");
      paintControl(WindowId::Main, "通知标签");
      paintControl(WindowId::Main, "超级链接框1");
      break;
    case WindowId::Advert:
      paintWindow(WindowId::Advert);
      paintControl(WindowId::Advert, "标签1");
      break;
    case WindowId::Remote:
      paintWindow(WindowId::Remote);
      break;
    case WindowId::Settings:
      paintWindow(WindowId::Settings);
      program.control(WindowId::Settings, "颜色选择器1").setCurrentColour(settings.readUserBackground());
      break;
    case WindowId::Interaction:
      paintWindow(WindowId::Interaction);
      break;
    case WindowId::ExitConfirm:
      break;  // keeps its own colour
  }
}

void applyChosenColour(Program& program) {
  // Each step reads the picker anew, as the picker may be gone once the
  // advert window has been opened in between.
  auto chosen = [&] { return program.control(WindowId::Settings, "颜色选择器1").currentColour(); };
  program.window(WindowId::Main).setBackground(chosen());
  program.control(WindowId::Main, "标签1").setBackColour(chosen());
  program.control(WindowId::Main, "版本标签").setBackColour(chosen());
  program.control(WindowId::Main, "通知标签").setBackColour(chosen());
  program.control(WindowId::Main, "超级链接框1").setBackColour(chosen());
  program.window(WindowId::Settings).setBackground(chosen());
  program.window(WindowId::Remote).setBackground(chosen());
  program.ui().open(WindowId::Advert);
  program.window(WindowId::Advert).setBackground(chosen());
  program.control(WindowId::Advert, "标签1").setBackColour(chosen());
  program.settings().writeUserBackground(chosen());
}

void applyDefaultColours(Program& program) {
  SettingsFiles& settings = program.settings();
  if (settings.userSettingsExist()) settings.deleteUserSettings();
  auto byDefault = [&] { return settings.readDefaultColour(kDefault); };
  program.window(WindowId::Main).setBackground(byDefault());
  program.control(WindowId::Main, "标签1").setBackColour(byDefault());
  program.control(WindowId::Main, "版本标签").setBackColour(settings.readDefaultColour(kSecondDefault));
  program.control(WindowId::Main, "通知标签").setBackColour(byDefault());
  program.control(WindowId::Main, "超级链接框1").setBackColour(byDefault());
  program.window(WindowId::Settings).setBackground(byDefault());
  program.window(WindowId::Remote).setBackground(byDefault());
  program.ui().open(WindowId::Advert);
  program.window(WindowId::Advert).setBackground(byDefault());
  program.control(WindowId::Advert, "标签1").setBackColour(byDefault());
  program.control(WindowId::Settings, "颜色选择器1").setCurrentColour(byDefault());
}

}  // namespace app
