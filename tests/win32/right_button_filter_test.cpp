// The right-button filter on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <vector>

#include "platform/win32/right_button_filter.h"

namespace {

std::map<HWND, std::vector<UINT>> g_seen;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_LBUTTONDOWN ||
      message == WM_CONTEXTMENU || message == WM_KEYDOWN || message == WM_MOUSEWHEEL) {
    g_seen[window].push_back(message);
    return 7;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class RightButtonFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FilterTestWindow";
    RegisterClassA(&wc);
    root = make(nullptr);
    child = make(root);
    grandchild = make(child);
    sibling = make(root);
  }
  void TearDown() override { DestroyWindow(root); }
  HWND make(HWND parent) {
    return CreateWindowExA(0, "FilterTestWindow", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 50, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
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
  EXPECT_EQ(GetWindowLongPtrA(root, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&win32::rightButtonFilterProc));
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

}  // namespace
