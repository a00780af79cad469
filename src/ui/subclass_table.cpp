#include "ui/subclass_table.h"

namespace ui {

std::optional<SubclassRecord> SubclassTable::find(std::uintptr_t window) const {
  for (const auto& record : records_) {
    if (record->window == window) return *record;
  }
  return std::nullopt;
}

void SubclassTable::append(const SubclassRecord& record) { records_.push_back(std::make_unique<SubclassRecord>(record)); }

namespace {

void filterOnce(SubclassTable& table, WindowTree& tree, std::uintptr_t window) {
  if (table.find(window)) return;
  // A failed replacement still gets its record; it is never used.
  table.append(SubclassRecord{window, tree.installFilter(window), nullptr});
}

}  // namespace

void subclassWindowTree(SubclassTable& table, WindowTree& tree, std::uintptr_t root) {
  if (root == 0) return;
  filterOnce(table, tree, root);
  // The descent uses a stack of its own: the depth of a window tree is the
  // browser's business, and must not be able to exhaust the program's stack.
  struct Level {
    std::uintptr_t parent;
    std::uintptr_t child;  // the child being done; 0 before the first
  };
  std::vector<Level> stack{{root, 0}};
  while (!stack.empty()) {
    Level& level = stack.back();
    // The next sibling is asked for once the previous child's tree is done.
    std::uintptr_t next = tree.nextChild(level.parent, level.child);
    if (next == 0) {
      stack.pop_back();
      continue;
    }
    level.child = next;
    filterOnce(table, tree, next);
    stack.push_back({next, 0});
  }
}

}  // namespace ui
