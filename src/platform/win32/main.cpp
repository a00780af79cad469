// ===========================================================================
//  PLATFORM SEAM (Win32): the program's entry point.
// ===========================================================================
#include <windows.h>
#include <ole2.h>

#include "app/program.h"
#include "platform/win32/win32_backend.h"

// The program takes no command line.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The browser views need OLE on this, the only, thread.
  HRESULT ole = OleInitialize(nullptr);
  int exitCode = 0;
  {
    win32::Win32Backend backend(instance);
    app::Program program(backend);
    backend.attach(program.ui());
    program.start();
    backend.runMessageLoop();
    program.finish();
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return exitCode;
}
