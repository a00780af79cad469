// The interaction window: the station's chat page in a large rounded window
// that docks and hides at the screen edges like the remote control.
#include "app/placement.h"
#include "app/window_forms.h"
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "net/addresses.h"
#include "app/windows/interaction_window.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

WindowDef interactionWindowDefinition() {
  using namespace interaction_window;
  WindowDef w;
  w.id = WindowId::Interaction;
  w.title = "互动";
  w.rect = {0, 0, 742, 484};
  w.position = OpeningPosition::Centred;
  w.shape = Shape::RoundedRectangle;
  w.background = rgb(0x0088FF);
  w.showInTaskbar = true;
  w.dragAnywhere = true;
  w.escCloses = true;

  const Font buttonFont = bold("汉仪细圆简", 24);
  w.controls = {
      timer(kDockTimer, 100),
      superBtn(kMinimize, {616, 0, 56, 48}, "缩", "我是最小化按钮", buttonFont,
               {{kWhite, rgb(0x2DC156)}, {rgb(0xECECEC), rgb(0x5BD77D)}, {kWhite, rgb(0x2DC156)}}),
      superBtn(kClose, {688, 0, 56, 48}, "关", "关闭", buttonFont,
               {{rgb(0xE3E7F0), rgb(0xFA1F56)}, {rgb(0xE4E8F3), rgb(0xEE889F)}, {rgb(0xDCE6EF), rgb(0xFA1F56)}}),
      htmlViewer(kChatView, {4, 48, 732, 416}, net::chatPageAddress()),
      transLabel(kTitleLabel, {24, 0, 152, 48}, "互动", bold("方正静蕾简体", 56), rgb(0xFEE4CF),
                 {HAlign::Centre, VAlign::Centre, false, TextEffect::Plain}),
  };

  w.bindings = {
      {kWindowItself, Event::Created, app::interactionWindowCreated},
      {kWindowItself, Event::Moved, app::interactionEdgeSnap},
      {kDockTimer, Event::Timer, app::interactionEdgeAutoHide},
      {kMinimize, Event::Clicked, app::minimizeInteractionWindow},
      {kClose, Event::Clicked, app::closeInteractionWindow},
  };
  return w;
}

}  // namespace app
