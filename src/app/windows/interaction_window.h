#pragma once
// The interaction window's controls, in definition order: the names its
// definition (interaction_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::interaction_window {

inline constexpr ControlName kDockTimer{WindowId::Interaction, "时钟1"};
inline constexpr ControlName kMinimize{WindowId::Interaction, "缩"};
inline constexpr ControlName kClose{WindowId::Interaction, "关"};
inline constexpr ControlName kChatView{WindowId::Interaction, "超文本浏览框1"};
inline constexpr ControlName kTitleLabel{WindowId::Interaction, "透明标签1"};

}  // namespace ui::interaction_window
