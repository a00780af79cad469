// The advert window: slides up into the bottom-right corner and shows one of
// the station's three advert pages.
#include "app/notices.h"
#include "app/placement.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "net/addresses.h"
#include "app/windows/advert_window.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms


WindowDef advertWindowDefinition() {
  using namespace advert_window;
  WindowDef w;
  w.id = WindowId::Advert;
  w.title = "支持一下广告吧，谢谢！";
  w.rect = {0, 0, 392, 312};
  w.position = OpeningPosition::Centred;
  w.background = rgb(0x0088FF);
  w.showInTaskbar = false;
  w.dragAnywhere = true;
  w.escCloses = true;
  w.alwaysOnTop = true;

  w.controls = {
      superBtn(kClose, {360, 0, 32, 32}, "关", "点下去就退出了哦", bold("黑体", 16),
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
      label(kCaptionLabel, {12, 3, 264, 24}, "支持一下广告吧，谢谢！", bold("微软雅黑", 19), rgb(0xFDD0D0), rgb(0x0088FF),
            {HAlign::Centre, VAlign::Centre, false, TextEffect::Plain}),
      timer(kSlideTimer, 0),
      htmlViewer(kAdvertView, {0, 32, 392, 272}, net::advertPageAddress(1)),
  };

  w.menu = {
      {kAdvertMenu, 0, nullptr},
      {"第一条广告", 1, app::showFirstAdvert},
      {"第二条广告", 1, app::showSecondAdvert},
      {"第三条广告", 1, app::showThirdAdvert},
      {"-", 1, nullptr},
      {"关闭广告窗口", 1, app::closeAdvertWindow},
  };

  w.bindings = {
      {kWindowItself, Event::Created, app::advertWindowCreated},
      {kWindowItself, Event::RightPressed, app::popUpAdvertMenu},
      {kCaptionLabel, Event::RightPressed, app::popUpAdvertMenu},
      {kSlideTimer, Event::Timer, app::advertSlideStep},
      {kClose, Event::Clicked, app::closeAdvertWindow},
  };
  return w;
}

}  // namespace app
