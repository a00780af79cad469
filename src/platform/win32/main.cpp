// The program's entry point.
#include <windows.h>

#include <memory>

#include "app/program.h"
#include "platform/win32/backend.h"
#include "platform/win32/files.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"
#include "platform/win32/shell.h"
#include "platform/win32/single_instance.h"
#include "platform/win32/wininet_fetcher.h"
#include "ui/check.h"

namespace {
// How long a second start looks for the main window of a first one that is
// still starting.
constexpr DWORD kFindRunningMainMs = 1500;
}  // namespace

// The program takes no command line. It ends with 1 when the system would
// not make its main window. A second start in the same user session only
// brings the running program's main window forward: two programs would
// write the same files and play the station twice.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef NDEBUG
  // A programmer's mistake that slipped through is told to a debugger, and
  // the call that met it does nothing; the listener's program goes on.
  ui::setCheckReporter([](const std::string& what) { OutputDebugStringW(win32::wideFromGbk(what + "\n").c_str()); });
#endif
  win32::SingleInstance instanceMark;
  if (!instanceMark.first()) {
    win32::bringRunningProgramForward(kFindRunningMainMs);
    return 0;
  }
  // The browser views need OLE on this, the user-interface thread.
  const win32::OleSession ole;
  win32::Win32FileSystem files(win32::runDirectory());
  win32::Win32Shell shell;
  win32::Win32TextCodec text;
  app::Services services{std::make_shared<win32::WinInetFetcher>(), files, shell, text};
  win32::Win32Backend backend(instance);
  app::Program program(backend, services);
  const bool started = program.start();
  if (started) backend.runMessageLoop();
  program.finish();
  return started ? 0 : 1;
}
