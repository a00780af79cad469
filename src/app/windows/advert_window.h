#pragma once
// The advert window's controls, in definition order, and its popup menu: the
// names its definition (advert_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::advert_window {

inline constexpr ui::ControlName kClose{ui::WindowId::Advert, "关"};
inline constexpr ui::ControlName kCaptionLabel{ui::WindowId::Advert, "标签1"};
inline constexpr ui::ControlName kSlideTimer{ui::WindowId::Advert, "时钟1"};
inline constexpr ui::ControlName kAdvertView{ui::WindowId::Advert, "超文本浏览框1"};

inline constexpr char kAdvertMenu[] = "广告右键";

}  // namespace app::advert_window
