// The exit confirmation: a double-headed arrow with a tall button in each
// head, "确定" on the left and "返回" on the right.
#include "app/window_handlers.h"
#include "app/windows/definitions.h"
#include "app/windows/exit_confirmation.h"

namespace app {

using namespace ui;  // the definitions are written in the window model's terms

WindowDef exitConfirmationDefinition() {
  using namespace exit_confirmation;
  WindowDef w;
  w.id = WindowId::ExitConfirm;
  w.title = "";
  w.rect = {0, 0, 347, 147};
  w.position = OpeningPosition::Centred;
  w.shape = Shape::DoubleArrow;
  w.background = rgb(0xE4C9B1);
  w.showInTaskbar = false;
  w.dragAnywhere = true;
  w.escCloses = true;
  w.alwaysOnTop = true;

  w.controls = {
      withEdgeWhileHot(superBtn(kBack, {256, 0, 88, 152}, "返回", "", bold("黑体", 20),
                                {{rgb(0xD23602), rgb(0xCFA487)}, {rgb(0xCC2704), rgb(0xE0C5B1)},
                                 {rgb(0xD93904), rgb(0xCFA487)}})),
      superBtn(kConfirm, {0, 0, 88, 152}, "确定", "点击就退出了", bold("黑体", 21),
               {{rgb(0xC62D00), rgb(0xCFA487)}, {rgb(0xD12D03), rgb(0xE0C5B1)}, {rgb(0xD13203), rgb(0xCFA487)}}),
      label(kQuestion, {104, 56, 152, 32}, "确认要退出了吗？", bold("微软雅黑", 16), kBlack, rgb(0xE4C9B1),
            {HAlign::Centre, VAlign::Centre, false, TextEffect::Plain}),
  };

  w.bindings = {
      {kConfirm, Event::Clicked, app::confirmExit},
      {kBack, Event::Clicked, app::cancelExit},
  };
  return w;
}

}  // namespace app
