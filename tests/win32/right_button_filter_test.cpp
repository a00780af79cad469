// The right-button filter on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/win32/owners.h"
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
  HWND root{}, child{}, grandchild{}, sibling{};
  win32::RightButtonFilter filter;
  const win32::FilterRecords& table = filter.records();
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
  EXPECT_EQ(table[0].window, root);
  EXPECT_EQ(table[1].window, child);
  EXPECT_EQ(table[2].window, grandchild);
  EXPECT_EQ(table[3].window, sibling);
  EXPECT_EQ(table[0].previous, &recordingProc);
  EXPECT_EQ(GetWindowLongPtrW(root, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&win32::rightButtonFilterProc));
}

TEST_F(RightButtonFilterTest, ASecondWalkFiltersOnlyNewWindowsAndNeverTwice) {
  filter.filterTree(root);
  HWND late = make(grandchild);
  filter.filterTree(root);
  EXPECT_EQ(table.size(), 5u);
  EXPECT_EQ(table[4].window, late);
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

// The walk over a made-up tree: window n is the handle n.
HWND handle(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }

class MadeUpTree : public win32::WindowTree {
 public:
  std::map<HWND, std::vector<HWND>> children;
  std::vector<HWND> filtered;                // in the order the filter was put on
  std::vector<std::pair<HWND, HWND>> asked;  // nextChild calls
  HWND nextChild(HWND parent, HWND after) override {
    asked.emplace_back(parent, after);
    const std::vector<HWND>& list = children[parent];
    if (after == nullptr) return list.empty() ? nullptr : list.front();
    const auto found = std::find(list.begin(), list.end(), after);
    return found == list.end() || found + 1 == list.end() ? nullptr : *(found + 1);
  }
  WNDPROC installFilter(HWND window) override {
    filtered.push_back(window);
    return nullptr;
  }
};

TEST(FilterWalk, EachWindowIsFilteredBeforeItsChildrenAreAskedForAndSiblingsAfterThem) {
  MadeUpTree tree;
  tree.children[handle(1)] = {handle(2), handle(5)};
  tree.children[handle(2)] = {handle(3), handle(4)};
  win32::FilterRecords records;
  win32::filterWindowTree(records, tree, handle(1));
  EXPECT_EQ(tree.filtered, (std::vector<HWND>{handle(1), handle(2), handle(3), handle(4), handle(5)}));
  const auto at = [&](HWND parent, HWND after) {
    return std::find(tree.asked.begin(), tree.asked.end(), std::make_pair(parent, after)) - tree.asked.begin();
  };
  EXPECT_LT(at(handle(2), handle(4)), at(handle(1), handle(2)));
  // A null root: no walk at all.
  tree.asked.clear();
  win32::filterWindowTree(records, tree, nullptr);
  EXPECT_TRUE(tree.asked.empty());
}

TEST(FilterWalk, RecordsOfGoneWindowsStayAndANewWindowWithTheirHandleIsSkipped) {
  MadeUpTree tree;
  tree.children[handle(1)] = {handle(2)};
  win32::FilterRecords records;
  win32::filterWindowTree(records, tree, handle(1));
  tree.children.clear();
  tree.children[handle(9)] = {handle(2), handle(10)};
  win32::filterWindowTree(records, tree, handle(9));
  EXPECT_EQ(tree.filtered, (std::vector<HWND>{handle(1), handle(2), handle(9), handle(10)}));
  EXPECT_EQ(records[0].window, handle(1)) << "old records stay ahead of the new";
}

// On a thread with a stack of 256 KiB, a walk that recursed once per level
// would overflow it long before the tree's 20,000 levels.
TEST(FilterWalk, AVeryDeepTreeDoesNotExhaustTheStack) {
  constexpr std::uintptr_t kDepth = 20000;
  struct Walk {
    MadeUpTree tree;
    win32::FilterRecords records;
  } walk;
  for (std::uintptr_t i = 1; i < kDepth; ++i) walk.tree.children[handle(i)] = {handle(i + 1)};
  const HANDLE thread = CreateThread(
      nullptr, 256 * 1024,
      [](void* context) -> DWORD {
        auto* w = static_cast<Walk*>(context);
        win32::filterWindowTree(w->records, w->tree, handle(1));
        return 0;
      },
      &walk, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(thread, nullptr);
  const win32::KernelHandle owned(thread);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeThread(thread, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(walk.records.size(), kDepth);
}

}  // namespace
