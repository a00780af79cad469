#pragma once
// The settings window's controls, in definition order: the names its
// definition (settings_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::settings_window {

inline constexpr ControlName kMicroblogLabel{WindowId::Settings, "官方微博"};
inline constexpr ControlName kMicroblogButton{WindowId::Settings, "图形按钮1"};
inline constexpr ControlName kOtherPageLabel{WindowId::Settings, "设置标签2"};
inline constexpr ControlName kToolsPageLabel{WindowId::Settings, "设置标签1"};
inline constexpr ControlName kTitleLabel{WindowId::Settings, "设置标签"};
inline constexpr ControlName kClose{WindowId::Settings, "关"};
inline constexpr ControlName kDefaults{WindowId::Settings, "默认"};
inline constexpr ControlName kColourLabel{WindowId::Settings, "选色"};
inline constexpr ControlName kColourPicker{WindowId::Settings, "颜色选择器1"};
inline constexpr ControlName kTabs{WindowId::Settings, "高级选择夹1"};

}  // namespace ui::settings_window
