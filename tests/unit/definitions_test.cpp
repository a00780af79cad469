// Facts of the window definitions that handlers and users rely on.
#include <gtest/gtest.h>

#include <set>

#include "app/windows/definitions.h"
#include "ui/window_definition.h"
#include "app/windows/exit_confirmation.h"
#include "app/windows/main_window.h"

using ui::WindowId;

namespace {

TEST(Definitions, ControlNamesAreUniqueAndEveryBindingNamesAControlOfItsOwnWindow) {
  for (int i = 0; i < ui::kWindowCount; ++i) {
    const ui::WindowDef& def = app::definitionOf(static_cast<WindowId>(i));
    std::set<std::string> names;
    for (const ui::ControlDef& c : def.controls) EXPECT_TRUE(names.insert(c.name).second) << c.name;
    for (const ui::Binding& b : def.bindings) {
      EXPECT_TRUE(!b.source || (b.source->window == def.id && def.control(b.source->name)))
          << def.title << ": binding of a control of another window, " << b.sourceName();
      EXPECT_NE(b.handler, nullptr);
    }
  }
}

TEST(Definitions, MainWindowHasItsThirteenControlsInOrder) {
  const ui::WindowDef& def = app::definitionOf(WindowId::Main);
  std::vector<std::string_view> names;
  for (const ui::ControlDef& c : def.controls) names.push_back(c.name);
  using namespace app::main_window;
  EXPECT_EQ(names, (std::vector<std::string_view>{kAdvertLink.name, kMenuButton.name, kMaximize.name,
                                                  kNotificationLine.name, kStationView.name, kPin.name, kMinimize.name,
                                                  kClose.name, kVersionLabel.name, kTitleLabel.name, kUnpin.name,
                                                  kRestore.name, kPictureAdvert.name}));
  EXPECT_EQ(def.rect.width, 815);
  EXPECT_EQ(def.rect.height, 631);
  EXPECT_TRUE(def.escCloses);
  EXPECT_TRUE(def.dragAnywhere);
}

TEST(Definitions, ColoursAreStoredWithRedInTheLowByte) {
  EXPECT_EQ(ui::rgb(0x0088FF), 0xFF8800);
  EXPECT_EQ(ui::redOf(ui::rgb(0x123456)), 0x12);
  EXPECT_EQ(ui::blueOf(ui::rgb(0x123456)), 0x56);
  const ui::WindowDef& exit = app::definitionOf(WindowId::ExitConfirm);
  EXPECT_EQ(exit.background, ui::rgb(0xE4C9B1));
  EXPECT_TRUE(exit.control(app::exit_confirmation::kBack.name)->edgeWhileHot);
  EXPECT_FALSE(exit.control(app::exit_confirmation::kConfirm.name)->edgeWhileHot);
}

TEST(Definitions, TransparentLabelsAreDisabledSoPressesReachWhatIsBelow) {
  for (int i = 0; i < ui::kWindowCount; ++i) {
    for (const ui::ControlDef& c : app::definitionOf(static_cast<WindowId>(i)).controls) {
      if (c.kind == ui::ControlKind::TransLabel) {
        EXPECT_FALSE(c.enabled) << c.name;
      }
    }
  }
}

}  // namespace
