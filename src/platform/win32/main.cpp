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

// The program takes no command line. It ends with 1 when the system would
// not make its main window.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The browser views need OLE on this, the user-interface thread.
  HRESULT ole = OleInitialize(nullptr);
  int exitCode = 0;
  {
    // Reads the fetches' bodies on their own threads; a fetch abandoned at
    // the bound may still run when the program ends, touching nothing of it.
    win32::WinInetFetcher network;
    win32::Win32FileSystem files;
    win32::Win32ProfileStore profiles;
    win32::Win32Shell shell;
    app::Services services{network, files, profiles, shell, files.runDirectory()};
    win32::Win32Backend backend(instance);
    app::Program program(backend, services);
    backend.attach(program.ui());
    if (program.start()) {
      backend.runMessageLoop();
    } else {
      exitCode = 1;
    }
    program.finish();
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return exitCode;
}
