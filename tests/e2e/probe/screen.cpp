// station_probe: points, pixels and regions of the screen, and moving windows from outside.
#include "probe.h"

namespace probe {

// ------------------------------------------------------ points and regions ---

// at X Y: the window the system finds under a screen point (the one a click
// there would reach: window regions and hidden windows are taken into
// account), with its top-level window.
int cmd_at(int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe at X Y", 2);
  HWND h = WindowFromPoint(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
  HWND root = h ? GetAncestor(h, GA_ROOT) : nullptr;
  DWORD pid = 0;
  if (root) GetWindowThreadProcessId(root, &pid);
  emit("{\"hwnd\": " + jhwnd(h) + ", \"class\": " + jstr(h ? class_name(h) : L"") + ", \"text\": " +
       jstr(h ? window_text(h) : L"") + ", \"root\": " + jhwnd(root) + ", \"root_class\": " +
       jstr(root ? class_name(root) : L"") + ", \"root_title\": " + jstr(root ? window_text(root) : L"") +
       ", \"pid\": " + jnum(pid) + "}");
  return 0;
}

// pixel X Y: the colour shown on the screen at a point.
int cmd_pixel(int argc, wchar_t** argv) {
  long long x = 0, y = 0;
  if (argc < 4 || !parse_int(argv[2], x) || !parse_int(argv[3], y)) return fail("usage: probe pixel X Y", 2);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, static_cast<int>(x), static_cast<int>(y));
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) return fail("GetPixel failed");
  emit("{\"r\": " + jnum(GetRValue(c)) + ", \"g\": " + jnum(GetGValue(c)) + ", \"b\": " + jnum(GetBValue(c)) +
       "}");
  return 0;
}

// region HWND: the window's region (window coordinates) as its bounding box
// and the rectangles it is made of; "type" is "none" for a window without one.
int cmd_region(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe region HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int type = GetWindowRgn(h, rgn);
  const char* name = type == SIMPLEREGION ? "simple" : type == COMPLEXREGION ? "complex" : type == NULLREGION ? "null" : "none";
  std::string out = "{\"type\": \"" + std::string(name) + "\"";
  if (type == SIMPLEREGION || type == COMPLEXREGION) {
    RECT box{};
    GetRgnBox(rgn, &box);
    out += ", \"box\": " + jrect(box) + ", \"rects\": [";
    DWORD bytes = GetRegionData(rgn, 0, nullptr);
    std::vector<char> data(bytes);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes && GetRegionData(rgn, bytes, rd)) {
      const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
      for (DWORD i = 0; i < rd->rdh.nCount; ++i) {
        out += (i ? ", [" : "[") + jnum(r[i].left) + ", " + jnum(r[i].top) + ", " + jnum(r[i].right) + ", " +
               jnum(r[i].bottom) + "]";
      }
    }
    out += "]";
  }
  DeleteObject(rgn);
  emit(out + "}");
  return 0;
}

// place HWND X Y: moves a window (size and z-order kept, not activated) the
// way a program or a window manager would; the window is told of the move.
int cmd_place(int argc, wchar_t** argv) {
  long long v = 0, x = 0, y = 0;
  if (argc < 5 || !parse_int(argv[2], v) || !parse_int(argv[3], x) || !parse_int(argv[4], y))
    return fail("usage: probe place HWND X Y", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  BOOL ok = SetWindowPos(h, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  settle();
  RECT r{};
  GetWindowRect(h, &r);
  emit("{\"ok\": " + jbool(ok) + ", \"rect\": " + jrect(r) + "}");
  return ok ? 0 : 1;
}

// taskbar HWND: what a click on the window's taskbar button does (there is
// no taskbar on the bare X server): a minimized window is restored through
// its system command and brought to the front; a window in front is
// minimized; any other is brought to the front. Prints the window afterwards.
int cmd_taskbar(int argc, wchar_t** argv) {
  long long v = 0;
  if (argc < 3 || !parse_int(argv[2], v)) return fail("usage: probe taskbar HWND", 2);
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  if (!IsWindow(h)) return fail("no such window");
  if (IsIconic(h)) {
    PostMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    for (int i = 0; i < 100 && IsIconic(h); ++i) Sleep(50);
    SetForegroundWindow(h);
  } else if (GetForegroundWindow() == h) {
    PostMessageW(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int i = 0; i < 100 && !IsIconic(h); ++i) Sleep(50);
  } else {
    SetForegroundWindow(h);
  }
  settle();
  emit(window_json(h));
  return 0;
}

}  // namespace probe
