#pragma once
// The advert window's controls, in definition order, and its popup menu: the
// names its definition (advert_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::advert_window {

inline constexpr ControlName kClose{WindowId::Advert, "关"};
inline constexpr ControlName kCaptionLabel{WindowId::Advert, "标签1"};
inline constexpr ControlName kSlideTimer{WindowId::Advert, "时钟1"};
inline constexpr ControlName kAdvertView{WindowId::Advert, "超文本浏览框1"};

inline constexpr char kAdvertMenu[] = "广告右键";

}  // namespace ui::advert_window
