#pragma once
// The exit confirmation's controls, in definition order: the names its
// definition (exit_confirmation.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::exit_confirmation {

inline constexpr ControlName kBack{WindowId::ExitConfirm, "超级按钮2"};     // caption "返回"
inline constexpr ControlName kConfirm{WindowId::ExitConfirm, "超级按钮1"};  // caption "确定"
inline constexpr ControlName kQuestion{WindowId::ExitConfirm, "标签1"};

}  // namespace ui::exit_confirmation
