// The settings window: the background colour of all windows, the default
// colours, and the microblog link, on the first of three tabs.
#include "app/colours.h"
#include "app/site_links.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"

namespace ui {

WindowDef settingsWindowDefinition() {
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
      onPage("皮肤", transLabel("官方微博", {40, 136, 146, 40}, "官方微博：", bold("方正静蕾简体", 29), rgb(0xFF80C0), centred)),
      onPage("皮肤", picBtn("图形按钮1", {218, 130, 48, 48}, rgb(0x80E000))),
      onPage("其他", transLabel("设置标签2", {40, 64, 250, 42}, "待开放", bold("方正静蕾简体", 48), rgb(0xFF5080), centred)),
      onPage("小工具", transLabel("设置标签1", {40, 64, 250, 42}, "待开放", bold("方正静蕾简体", 48), rgb(0xFF5080), centred)),
      transLabel("设置标签", {16, 8, 120, 40}, "设置", bold("方正静蕾简体", 48), rgb(0xC4E1FD), centred),
      superBtn("关", {312, 0, 40, 24}, "关", "关闭", bold("黑体", 16),
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
      onPage("皮肤", superBtn("默认", {216, 40, 98, 50}, "默认配色", "默认颜色搭配", bold("黑体", 16),
                              {{rgb(0xE3E7F0), rgb(0x369528)}, {rgb(0xE4E8F3), rgb(0x96E08B)},
                               {rgb(0xDCE6EF), rgb(0x369528)}})),
      onPage("皮肤", transLabel("选色", {24, 48, 90, 24}, "背景颜色:", bold("微软雅黑", 16), rgb(0x0060C0),
                                {HAlign::Left, VAlign::Centre, false, TextEffect::Plain})),
      onPage("皮肤", colorPicker("颜色选择器1", {112, 48, 82, 24}, rgb(0x0088FF))),
      pageControl("高级选择夹1", {6, 54, 338, 202}, {"皮肤", "小工具", "其他"}, normal("SimSun", 12), rgb(0x0088FF)),
  };

  w.bindings = {
      {"", Event::Created, app::settingsWindowCreated},
      {"颜色选择器1", Event::ColourChosen, app::applyChosenColour},
      {"默认", Event::Clicked, app::applyDefaultColours},
      {"图形按钮1", Event::Clicked, app::openMicroblog},
      {"关", Event::Clicked, app::closeSettingsWindow},
  };
  return w;
}

}  // namespace ui
