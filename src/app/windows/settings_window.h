#pragma once
// The settings window's controls, in definition order: the names its
// definition (settings_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::settings_window {

inline constexpr ui::ControlName kMicroblogLabel{ui::WindowId::Settings, "官方微博"};
inline constexpr ui::ControlName kMicroblogButton{ui::WindowId::Settings, "图形按钮1"};
inline constexpr ui::ControlName kOtherPageLabel{ui::WindowId::Settings, "设置标签2"};
inline constexpr ui::ControlName kToolsPageLabel{ui::WindowId::Settings, "设置标签1"};
inline constexpr ui::ControlName kTitleLabel{ui::WindowId::Settings, "设置标签"};
inline constexpr ui::ControlName kClose{ui::WindowId::Settings, "关"};
inline constexpr ui::ControlName kDefaults{ui::WindowId::Settings, "默认"};
inline constexpr ui::ControlName kColourLabel{ui::WindowId::Settings, "选色"};
inline constexpr ui::ControlName kColourPicker{ui::WindowId::Settings, "颜色选择器1"};
inline constexpr ui::ControlName kTabs{ui::WindowId::Settings, "高级选择夹1"};

}  // namespace app::settings_window
