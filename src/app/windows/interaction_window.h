#pragma once
// The interaction window's controls, in definition order: the names its
// definition (interaction_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::interaction_window {

inline constexpr ui::ControlName kDockTimer{ui::WindowId::Interaction, "时钟1"};
inline constexpr ui::ControlName kMinimize{ui::WindowId::Interaction, "缩"};
inline constexpr ui::ControlName kClose{ui::WindowId::Interaction, "关"};
inline constexpr ui::ControlName kChatView{ui::WindowId::Interaction, "超文本浏览框1"};
inline constexpr ui::ControlName kTitleLabel{ui::WindowId::Interaction, "透明标签1"};

}  // namespace app::interaction_window
