// The right-button filter's walk over a browser view's windows.
#include <gtest/gtest.h>
#include <pthread.h>

#include "fakes.h"
#include "ui/subclass_table.h"

namespace {

using testing_support::FakeWindowTree;

TEST(SubclassTree, WalksDepthFirstLookingEachWindowUpBeforeChangingIt) {
  FakeWindowTree tree;
  tree.children[1] = {2, 5};
  tree.children[2] = {3, 4};
  ui::SubclassTable table;
  ui::subclassWindowTree(table, tree, 1);
  EXPECT_EQ(tree.filtered, (std::vector<std::uintptr_t>{1, 2, 3, 4, 5}));
  ASSERT_EQ(table.size(), 5u);
  EXPECT_EQ(table[3].window, 4u);
  EXPECT_EQ(table[3].previousProcedure, 1004u);
  EXPECT_EQ(table[3].rightButtonAction, nullptr);
  // The next sibling of 2 is asked for only after 2's own children are done.
  auto asked = tree.asked;
  auto pos = [&](std::pair<std::uintptr_t, std::uintptr_t> call) {
    return std::find(asked.begin(), asked.end(), call) - asked.begin();
  };
  EXPECT_LT(pos({2, 4}), pos({1, 2}));
}

TEST(SubclassTree, ASecondWalkAddsOnlyTheWindowsThatAppearedSince) {
  FakeWindowTree tree;
  tree.children[1] = {2};
  ui::SubclassTable table;
  ui::subclassWindowTree(table, tree, 1);
  tree.children[2] = {7};
  tree.children[1] = {2, 8};
  ui::subclassWindowTree(table, tree, 1);
  EXPECT_EQ(tree.filtered, (std::vector<std::uintptr_t>{1, 2, 7, 8}));
  EXPECT_EQ(table.size(), 4u);
}

TEST(SubclassTree, RecordsOfGoneWindowsStayAndTheirHandlesAreSkipped) {
  FakeWindowTree tree;
  tree.children[1] = {2};
  ui::SubclassTable table;
  ui::subclassWindowTree(table, tree, 1);
  // A new tree whose window reuses handle 2: it counts as filtered.
  tree.children.clear();
  tree.children[9] = {2, 10};
  ui::subclassWindowTree(table, tree, 9);
  EXPECT_EQ(tree.filtered, (std::vector<std::uintptr_t>{1, 2, 9, 10}));
  EXPECT_EQ(table[0].window, 1u) << "old records stay ahead of the new";
  EXPECT_TRUE(table.find(2));
  EXPECT_FALSE(table.find(3));
}

// On a thread with a stack of 256 KiB, a walk that recursed once per level
// (a few dozen bytes a frame at the least) would overflow it long before
// the tree's 20,000 levels.
TEST(SubclassTree, AVeryDeepTreeDoesNotExhaustTheStack) {
  FakeWindowTree tree;
  constexpr std::uintptr_t kDepth = 20000;
  for (std::uintptr_t i = 1; i < kDepth; ++i) tree.children[i] = {i + 1};
  ui::SubclassTable table;
  struct Walk {
    ui::SubclassTable* table;
    FakeWindowTree* tree;
  } walk{&table, &tree};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attributes,
                [](void* context) -> void* {
                  auto* w = static_cast<Walk*>(context);
                  ui::subclassWindowTree(*w->table, *w->tree, 1);
                  return nullptr;
                },
                &walk),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  EXPECT_EQ(table.size(), kDepth);
}

TEST(SubclassTree, NoWindowNoWalk) {
  FakeWindowTree tree;
  ui::SubclassTable table;
  ui::subclassWindowTree(table, tree, 0);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_TRUE(tree.asked.empty());
}

}  // namespace
