// ===========================================================================
//  PLATFORM SEAM (Win32): the program's entry point.
// ===========================================================================
#include <windows.h>
#include <ole2.h>

#include "app/program.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_profiles.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/wininet_fetcher.h"

// The program takes no command line.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The browser views need OLE on this, the only, thread.
  HRESULT ole = OleInitialize(nullptr);
  {
    win32::WinInetFetcher fetcher;
    win32::Win32FileSystem files;
    win32::Win32ProfileStore profiles;
    win32::Win32Shell shell;
    app::Services services{fetcher, files, profiles, shell, files.runDirectory()};
    win32::Win32Backend backend(instance);
    app::Program program(backend, services);
    backend.attach(program.ui());
    program.start();
    backend.runMessageLoop();
    program.finish();
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return 0;
}
