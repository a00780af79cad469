#pragma once
// The remote control's controls, in definition order: the names its
// definition (remote_control.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::remote_control {

inline constexpr ui::ControlName kDockTimer{ui::WindowId::Remote, "时钟1"};
inline constexpr ui::ControlName kPin{ui::WindowId::Remote, "顶"};  // caption "遥控器置顶"
inline constexpr ui::ControlName kRefreshNotices{ui::WindowId::Remote, "刷新公告"};
inline constexpr ui::ControlName kTitleLabel{ui::WindowId::Remote, "透明标签1"};
inline constexpr ui::ControlName kSettings{ui::WindowId::Remote, "设置1"};
inline constexpr ui::ControlName kInteraction{ui::WindowId::Remote, "互动"};
inline constexpr ui::ControlName kClose{ui::WindowId::Remote, "关"};

}  // namespace app::remote_control
