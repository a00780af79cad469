#pragma once
// The remote control's controls, in definition order: the names its
// definition (remote_control.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::remote_control {

inline constexpr ControlName kDockTimer{WindowId::Remote, "时钟1"};
inline constexpr ControlName kPin{WindowId::Remote, "顶"};  // caption "遥控器置顶"
inline constexpr ControlName kRefreshNotices{WindowId::Remote, "刷新公告"};
inline constexpr ControlName kTitleLabel{WindowId::Remote, "透明标签1"};
inline constexpr ControlName kSettings{WindowId::Remote, "设置1"};
inline constexpr ControlName kInteraction{WindowId::Remote, "互动"};
inline constexpr ControlName kClose{WindowId::Remote, "关"};

}  // namespace ui::remote_control
