// The settings window: the background colour of all windows, the default
// colours, and the microblog link, on the first of three tabs.
#include "app/colours.h"
#include "app/site_links.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "app/windows/settings_window.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

namespace {
// The tab box's pages, by caption.
const char kSkin[] = "皮肤";
const char kTools[] = "小工具";
const char kOther[] = "其他";
}  // namespace

WindowDef settingsWindowDefinition() {
  using namespace settings_window;
  WindowDef w;
  w.id = WindowId::Settings;
  w.title = "设置";
  w.rect = {0, 0, 354, 264};
  w.position = OpeningPosition::Centred;
  w.background = rgb(0x0088FF);
  w.showInTaskbar = false;
  w.dragAnywhere = true;
  w.escCloses = true;

  const TextStyle centred{HAlign::Centre, VAlign::Centre, false, TextEffect::Plain};
  w.controls = {
      onPage(kSkin, transLabel(kMicroblogLabel, {40, 136, 146, 40}, "官方微博：", bold("方正静蕾简体", 29), rgb(0xFF80C0), centred)),
      onPage(kSkin, picBtn(kMicroblogButton, {218, 130, 48, 48}, rgb(0x80E000))),
      onPage(kOther, transLabel(kOtherPageLabel, {40, 64, 250, 42}, "待开放", bold("方正静蕾简体", 48), rgb(0xFF5080), centred)),
      onPage(kTools, transLabel(kToolsPageLabel, {40, 64, 250, 42}, "待开放", bold("方正静蕾简体", 48), rgb(0xFF5080), centred)),
      transLabel(kTitleLabel, {16, 8, 120, 40}, "设置", bold("方正静蕾简体", 48), rgb(0xC4E1FD), centred),
      superBtn(kClose, {312, 0, 40, 24}, "关", "关闭", bold("黑体", 16),
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
      onPage(kSkin, superBtn(kDefaults, {216, 40, 98, 50}, "默认配色", "默认颜色搭配", bold("黑体", 16),
                             {{rgb(0xE3E7F0), rgb(0x369528)}, {rgb(0xE4E8F3), rgb(0x96E08B)},
                              {rgb(0xDCE6EF), rgb(0x369528)}})),
      onPage(kSkin, transLabel(kColourLabel, {24, 48, 90, 24}, "背景颜色:", bold("微软雅黑", 16), rgb(0x0060C0),
                               {HAlign::Left, VAlign::Centre, false, TextEffect::Plain})),
      onPage(kSkin, colorPicker(kColourPicker, {112, 48, 82, 24}, rgb(0x0088FF))),
      pageControl(kTabs, {6, 54, 338, 202}, {kSkin, kTools, kOther}, normal("SimSun", 12), rgb(0x0088FF)),
  };

  w.bindings = {
      {kWindowItself, Event::Created, app::settingsWindowCreated},
      {kColourPicker, Event::ColourChosen, app::applyChosenColour},
      {kDefaults, Event::Clicked, app::applyDefaultColours},
      {kMicroblogButton, Event::Clicked, app::openMicroblog},
      {kClose, Event::Clicked, app::closeSettingsWindow},
  };
  return w;
}

}  // namespace app
