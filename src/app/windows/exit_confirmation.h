#pragma once
// The exit confirmation's controls, in definition order: the names its
// definition (exit_confirmation.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::exit_confirmation {

inline constexpr ui::ControlName kBack{ui::WindowId::ExitConfirm, "超级按钮2"};     // caption "返回"
inline constexpr ui::ControlName kConfirm{ui::WindowId::ExitConfirm, "超级按钮1"};  // caption "确定"
inline constexpr ui::ControlName kQuestion{ui::WindowId::ExitConfirm, "标签1"};

}  // namespace app::exit_confirmation
