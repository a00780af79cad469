#pragma once
// The main window's controls, in definition order, and its popup menus: the
// names its definition (main_window.cpp), the handlers and the tests use.
#include "ui/window_definition.h"

namespace app::main_window {

inline constexpr ui::ControlName kAdvertLink{ui::WindowId::Main, "超级链接框1"};
inline constexpr ui::ControlName kMenuButton{ui::WindowId::Main, "新"};  // caption "设"
inline constexpr ui::ControlName kMaximize{ui::WindowId::Main, "扩"};
inline constexpr ui::ControlName kNotificationLine{ui::WindowId::Main, "通知标签"};
inline constexpr ui::ControlName kStationView{ui::WindowId::Main, "超文本浏览框1"};
inline constexpr ui::ControlName kPin{ui::WindowId::Main, "顶"};
inline constexpr ui::ControlName kMinimize{ui::WindowId::Main, "缩"};
inline constexpr ui::ControlName kClose{ui::WindowId::Main, "关"};
inline constexpr ui::ControlName kVersionLabel{ui::WindowId::Main, "版本标签"};
inline constexpr ui::ControlName kTitleLabel{ui::WindowId::Main, "标签1"};
inline constexpr ui::ControlName kUnpin{ui::WindowId::Main, "消顶"};
inline constexpr ui::ControlName kRestore{ui::WindowId::Main, "消扩"};
inline constexpr ui::ControlName kPictureAdvert{ui::WindowId::Main, "图片框2"};

// The hidden top-level items of the menu tree, popped up as menus.
inline constexpr char kTrayMenu[] = "托盘";
inline constexpr char kDropDownMenu[] = "下拉";

}  // namespace app::main_window
