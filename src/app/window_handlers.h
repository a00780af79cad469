#pragma once
// Handlers that open, hide and close the program's windows, and the creation
// handlers of the windows other than the main window.
namespace app {
class Program;

void openExitConfirmation(Program& program);  // "关" and "退出": ask first, modal
void confirmExit(Program& program);           // "确定": the program ends
void cancelExit(Program& program);            // "返回"

void openAdvertWindow(Program& program);  // "支持一下广告吧"
void closeAdvertWindow(Program& program);
void popUpAdvertMenu(Program& program);  // "广告右键", exactly at the pointer
void advertWindowCreated(Program& program);

void showRemoteControl(Program& program);  // "遥控器出来", "遥控器"
void hideRemoteControl(Program& program);
void remoteControlCreated(Program& program);

void openSettingsWindow(Program& program);  // the remote control's "设置"
void closeSettingsWindow(Program& program);
void settingsWindowCreated(Program& program);

void openInteractionWindow(Program& program);  // the remote control's "互动"
void closeInteractionWindow(Program& program);
void interactionWindowCreated(Program& program);

}  // namespace app
