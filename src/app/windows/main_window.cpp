// The main window: the station page in the middle, the title banner and
// version badge at the top left, the row of flat buttons at the top right,
// the advert link and picture beside them, the notification line along the
// bottom, and the two popup menus.
#include "app/about_box.h"
#include "app/main_window_handlers.h"
#include "app/notices.h"
#include "app/site_links.h"
#include "app/station_page.h"
#include "app/update_check.h"
#include "app/window_forms.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "net/addresses.h"
#include "station_version.h"
#include "app/windows/main_window.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

namespace {
const Font kButtonFont = bold("黑体", 16);
}

WindowDef mainWindowDefinition() {
  using namespace main_window;
  WindowDef w;
  w.id = WindowId::Main;
  w.title = "汀蔚网络视听台";
  w.rect = {50, 50, 815, 631};
  w.position = OpeningPosition::Centred;
  w.border = Border::None;
  w.shape = Shape::Rectangle;
  w.background = rgb(0x0088FF);
  w.movable = true;
  w.showInTaskbar = true;
  w.dragAnywhere = true;
  w.escCloses = true;
  w.alwaysOnTop = false;

  // Rewritten from the program version by the creation handler all the same.
  const std::string versionCaption = std::string("V") + station::config::kLocalVersionText;
  w.controls = {
      hyperLinker(kAdvertLink, {584, 40, 192, 24}, "广告", bold("微软雅黑", 14),
                  {.text = rgb(0xDCE1FE), .hover = rgb(0x80E000), .visited = rgb(0xDCE1FE), .back = rgb(0x0088FF)}),
      superBtn(kMenuButton, {520, 0, 56, 24}, "设", "检测更新", kButtonFont,
               {{kWhite, rgb(0xBCAD27)}, {kWhite, rgb(0xE4DB81)}, {kWhite, rgb(0xBCAD2B)}}),
      superBtn(kMaximize, {688, 0, 56, 24}, "扩", "我是最大化按钮", kButtonFont,
               {{kWhite, rgb(0xFFA8FF)}, {kWhite, rgb(0xFFD2E9)}, {kWhite, rgb(0xFFA8FF)}}),
      label(kNotificationLine, {8, 608, 800, 24}, "通知", bold("幼圆", 19), rgb(0xFFC6AA), rgb(0x0088FF),
            {HAlign::Left, VAlign::Centre, false, TextEffect::Plain}),
      htmlViewer(kStationView, {8, 72, 800, 528}, net::stationPageAddress()),
      asPin(superBtn(kPin, {576, 0, 56, 24}, "顶", "点我就置顶了", kButtonFont,
                     {{kWhite, rgb(0x5FC4FA)}, {kWhite, rgb(0xB3E3FD)}, {kWhite, rgb(0x5FC4FA)}})),
      superBtn(kMinimize, {632, 0, 56, 24}, "缩", "我是最小化按钮", kButtonFont,
               {{kWhite, rgb(0x2DC156)}, {rgb(0xECECEC), rgb(0x5BD77D)}, {kWhite, rgb(0x2DC156)}}),
      superBtn(kClose, {744, 0, 56, 24}, "关", "点下去就退出了哦", kButtonFont,
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
      label(kVersionLabel, {384, 23, 88, 40}, versionCaption, bold("方正姚体", 32), rgb(0xF7B5BD), rgb(0x2B9AFF),
            {HAlign::Centre, VAlign::Centre, false, TextEffect::Raised}),
      label(kTitleLabel, {16, 8, 384, 56}, "汀蔚网络视听台", bold("方正姚体", 47), rgb(0xF89145), rgb(0x0088FF),
            {HAlign::Centre, VAlign::Centre, false, TextEffect::Engraved}),
      hidden(asPin(superBtn(kUnpin, {576, 0, 56, 24}, "消-顶", "点我就取消置顶了", kButtonFont,
                            {{kWhite, rgb(0x5FC4FA)}, {kWhite, rgb(0xB3E3FD)}, {kWhite, rgb(0x5FC4FA)}}))),
      hidden(superBtn(kRestore, {688, 0, 56, 24}, "消-扩", "点我就恢复成窗口", kButtonFont,
                      {{kWhite, rgb(0xFFA8FF)}, {kWhite, rgb(0xFFD2E9)}, {kWhite, rgb(0xFFA8FF)}})),
      hidden(picBox(kPictureAdvert, {560, 8, 256, 56}, rgb(0x0088FF), Cursor::Hand)),
  };

  w.menu = {
      {kTrayMenu, 0, nullptr},
      {"关于", 1, app::showAboutBox},
      {"检测更新", 1, app::checkForUpdate},
      {"官网", 1, app::openOfficialSite},
      {"刷新视听台", 1, app::refreshStationPage},
      {"-", 1, nullptr},
      {"正常的窗口", 1, app::showNormalForm},
      {"置顶或取消置顶", 1, app::toggleMainAlwaysOnTop},
      {"遥控器出来", 1, app::showRemoteControl},
      {"-", 1, nullptr},
      {"汀蔚地区网", 1, app::openPortalSite},
      {"微汀蔚", 1, app::openSisterSite},
      {"沣岙百科", 1, app::openCityEncyclopedia},
      {"汀蔚百科", 1, app::openRegionEncyclopedia},
      {"-", 1, nullptr},
      {"支持一下广告吧", 1, app::openAdvertWindow},
      {"-", 1, nullptr},
      {"退出", 1, app::openExitConfirmation},

      {kDropDownMenu, 0, nullptr},
      {"正常窗口", 1, app::showNormalForm},
      {"小窗口", 1, app::showSmallForm},
      {"-", 1, nullptr},
      {"置顶/取消置顶", 1, app::toggleMainAlwaysOnTop},
      {"遥控器", 1, app::showRemoteControl},
      {"-", 1, nullptr},
      {"检测是否有更新", 1, app::checkForUpdate},
  };

  w.bindings = {
      {kWindowItself, Event::Created, app::mainWindowCreated},
      {kWindowItself, Event::AboutToBeDestroyed, app::mainWindowClosing},
      {kWindowItself, Event::RightPressed, app::popUpTrayMenu},
      {kTitleLabel, Event::RightPressed, app::popUpTrayMenu},
      {kVersionLabel, Event::RightPressed, app::popUpTrayMenu},
      {kNotificationLine, Event::RightPressed, app::popUpTrayMenu},
      {kAdvertLink, Event::RightPressed, app::popUpTrayMenu},
      {kMenuButton, Event::Clicked, app::popUpDropDownMenu},
      {kPin, Event::Clicked, app::mainAlwaysOnTopOn},
      {kUnpin, Event::Clicked, app::mainAlwaysOnTopOff},
      {kMinimize, Event::Clicked, app::minimizeMainWindow},
      {kMaximize, Event::Clicked, app::showMaximizedForm},
      {kRestore, Event::Clicked, app::restoreFromMaximized},
      {kClose, Event::Clicked, app::openExitConfirmation},
      {kPictureAdvert, Event::LeftPressed, app::openPictureAdvert},
  };
  return w;
}

}  // namespace app
