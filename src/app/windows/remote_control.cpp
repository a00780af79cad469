// The remote control: a small rounded panel beside the main window with the
// program's secondary actions; it docks and hides at the screen edges.
#include "app/notices.h"
#include "app/placement.h"
#include "app/window_forms.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "app/windows/remote_control.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

WindowDef remoteControlDefinition() {
  using namespace remote_control;
  WindowDef w;
  w.id = WindowId::Remote;
  w.title = "遥控器";
  w.rect = {0, 0, 169, 279};
  w.position = OpeningPosition::Centred;
  w.shape = Shape::RoundedRectangle;
  w.background = rgb(0x0088FF);
  w.showInTaskbar = false;
  w.dragAnywhere = true;
  w.escCloses = true;
  w.alwaysOnTop = false;

  const Font buttonFont = bold("黑体", 16);
  w.controls = {
      timer(kDockTimer, 100),
      asPin(superBtn(kPin, {32, 136, 104, 24}, "遥控器置顶", "遥控器置顶", buttonFont,
                     {{kWhite, rgb(0x5FC4FA)}, {kWhite, rgb(0xB3E3FD)}, {kWhite, rgb(0x5FC4FA)}})),
      superBtn(kRefreshNotices, {10, 176, 144, 40}, "刷新公告", "刷新公告、广告", buttonFont,
               {{rgb(0xE3E7F0), rgb(0xFF80C0)}, {rgb(0xE4E8F3), rgb(0xE65173)}, {rgb(0xDCE6EF), rgb(0xFF80C0)}}),
      transLabel(kTitleLabel, {-5, 224, 176, 56}, "遥控器", normal("方正综艺简体", 48), rgb(0xC4E1FD),
                 {HAlign::Centre, VAlign::Centre, false, TextEffect::Plain}),
      superBtn(kSettings, {14, 40, 144, 24}, "设置", "默认颜色搭配", buttonFont,
               {{rgb(0xE3E7F0), rgb(0x369528)}, {rgb(0xE4E8F3), rgb(0x96E08B)}, {rgb(0xDCE6EF), rgb(0x369528)}}),
      superBtn(kInteraction, {54, 78, 64, 40}, "互动", "互动", bold("微软雅黑", 16),
               {{rgb(0xE3E7F0), rgb(0xE24F1D)}, {rgb(0xE4E8F3), rgb(0xF1AE98)}, {rgb(0xDCE6EF), rgb(0xE24F1D)}}),
      superBtn(kClose, {136, 0, 32, 32}, "关", "关闭遥控器", buttonFont,
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
  };

  w.bindings = {
      {kWindowItself, Event::Created, app::remoteControlCreated},
      {kWindowItself, Event::Moved, app::remoteEdgeSnap},
      {kDockTimer, Event::Timer, app::remoteEdgeAutoHide},
      {kPin, Event::Clicked, app::toggleRemoteAlwaysOnTop},
      {kRefreshNotices, Event::Clicked, app::refreshNotices},
      {kSettings, Event::Clicked, app::openSettingsWindow},
      {kInteraction, Event::Clicked, app::openInteractionWindow},
      {kClose, Event::Clicked, app::hideRemoteControl},
  };
  return w;
}

}  // namespace app
