// The right-button filter on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <vector>

#include "platform/win32/right_button_filter.h"

namespace {

std::map<HWND, std::vector<UINT>> g_seen;
std::map<HWND, std::vector<WPARAM>> g_characters;

// A Unicode window, as the browser's windows are.
LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) g_characters[window].push_back(wParam);
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_LBUTTONDOWN ||
      message == WM_CONTEXTMENU || message == WM_KEYDOWN || message == WM_MOUSEWHEEL) {
    g_seen[window].push_back(message);
    return 7;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class RightButtonFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    g_characters.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = recordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FilterTestWindow";
    RegisterClassW(&wc);
    root = make(nullptr);
    child = make(root);
    grandchild = make(child);
    sibling = make(root);
  }
  void TearDown() override { DestroyWindow(root); }
  HWND make(HWND parent) {
    return CreateWindowExW(0, L"FilterTestWindow", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 50, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  std::uintptr_t id(HWND w) { return reinterpret_cast<std::uintptr_t>(w); }
  HWND root{}, child{}, grandchild{}, sibling{};
  win32::RightButtonFilter filter;
  const ui::SubclassTable& table = filter.records();
};

TEST_F(RightButtonFilterTest, RightButtonMessagesAreSwallowedEverythingElsePassesThrough) {
  filter.filterTree(root);
  for (HWND w : {root, child, grandchild, sibling}) {
    EXPECT_EQ(SendMessageA(w, WM_RBUTTONDOWN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(w, WM_RBUTTONUP, 0, 0), 0);
    EXPECT_EQ(SendMessageA(w, WM_LBUTTONDOWN, 0, 0), 7) << "the previous procedure's answer comes back";
    EXPECT_EQ(SendMessageA(w, WM_CONTEXTMENU, 0, 0), 7);
    SendMessageA(w, WM_KEYDOWN, VK_APPS, 0);
    SendMessageA(w, WM_MOUSEWHEEL, 0, 0);
    EXPECT_EQ(g_seen[w], (std::vector<UINT>{WM_LBUTTONDOWN, WM_CONTEXTMENU, WM_KEYDOWN, WM_MOUSEWHEEL}));
  }
}

TEST_F(RightButtonFilterTest, RecordsFollowTheDepthFirstOrderAndKeepThePreviousProcedure) {
  filter.filterTree(root);
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[0].window, id(root));
  EXPECT_EQ(table[1].window, id(child));
  EXPECT_EQ(table[2].window, id(grandchild));
  EXPECT_EQ(table[3].window, id(sibling));
  EXPECT_EQ(table[0].previousProcedure, reinterpret_cast<std::uintptr_t>(&recordingProc));
  EXPECT_EQ(GetWindowLongPtrW(root, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&win32::rightButtonFilterProc));
}

TEST_F(RightButtonFilterTest, ASecondWalkFiltersOnlyNewWindowsAndNeverTwice) {
  filter.filterTree(root);
  HWND late = make(grandchild);
  filter.filterTree(root);
  EXPECT_EQ(table.size(), 5u);
  EXPECT_EQ(table[4].window, id(late));
  // Filtered twice, the filter would call itself for ever; once, the message arrives.
  EXPECT_EQ(SendMessageA(child, WM_LBUTTONDOWN, 0, 0), 7);
  EXPECT_EQ(SendMessageA(late, WM_RBUTTONDOWN, 0, 0), 0);
  EXPECT_TRUE(g_seen[late].empty());
}

TEST_F(RightButtonFilterTest, EachFilterServesItsOwnWindows) {
  win32::RightButtonFilter other;
  HWND second = make(nullptr);
  other.filterTree(second);
  filter.filterTree(root);
  for (HWND w : {second, root}) {
    EXPECT_EQ(SendMessageA(w, WM_RBUTTONDOWN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(w, WM_LBUTTONDOWN, 0, 0), 7) << "the previous procedure is found";
  }
  DestroyWindow(second);
}

// On a code page without Chinese a filter of ANSI forms would narrow a typed
// Chinese character to "?" on its way to the page.
using CodePage1252Filter = RightButtonFilterTest;

TEST_F(CodePage1252Filter, ATypedChineseCharacterReachesAFilteredWindowWhole) {
  ASSERT_EQ(GetACP(), 1252u) << "run under an English locale (the win32_tests.cp1252 test)";
  filter.filterTree(root);
  const WPARAM ting = 0x6C40;  // 汀
  SendMessageW(grandchild, WM_CHAR, ting, 0);
  PostMessageW(child, WM_CHAR, ting, 0);
  MSG message;
  while (PeekMessageW(&message, child, WM_CHAR, WM_CHAR, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(g_characters[grandchild], std::vector<WPARAM>{ting});
  EXPECT_EQ(g_characters[child], std::vector<WPARAM>{ting});
}

}  // namespace
