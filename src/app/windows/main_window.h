#pragma once
// The main window's controls, in definition order, and its popup menus: the
// names its definition (main_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace ui::main_window {

inline constexpr ControlName kAdvertLink{WindowId::Main, "超级链接框1"};
inline constexpr ControlName kMenuButton{WindowId::Main, "新"};  // caption "设"
inline constexpr ControlName kMaximize{WindowId::Main, "扩"};
inline constexpr ControlName kNotificationLine{WindowId::Main, "通知标签"};
inline constexpr ControlName kStationView{WindowId::Main, "超文本浏览框1"};
inline constexpr ControlName kPin{WindowId::Main, "顶"};
inline constexpr ControlName kMinimize{WindowId::Main, "缩"};
inline constexpr ControlName kClose{WindowId::Main, "关"};
inline constexpr ControlName kVersionLabel{WindowId::Main, "版本标签"};
inline constexpr ControlName kTitleLabel{WindowId::Main, "标签1"};
inline constexpr ControlName kUnpin{WindowId::Main, "消顶"};
inline constexpr ControlName kRestore{WindowId::Main, "消扩"};
inline constexpr ControlName kPictureAdvert{WindowId::Main, "图片框2"};

// The hidden top-level items of the menu tree, popped up as menus.
inline constexpr char kTrayMenu[] = "托盘";
inline constexpr char kDropDownMenu[] = "下拉";

}  // namespace ui::main_window
