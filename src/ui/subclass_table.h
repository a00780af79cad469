#pragma once
// The right-button filter's bookkeeping, for a backend that realises
// Backend::filterRightButton by replacing window procedures: the windows
// whose procedure was replaced, one record each, in the order they were
// filtered. Records are never removed while the program runs, so a window
// never gets the filter twice (even a new window that reuses a destroyed
// one's handle is skipped).
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

struct SubclassRecord {
  std::uintptr_t window = 0;              // the filtered window; the key
  std::uintptr_t previousProcedure = 0;   // what replacing the procedure returned
  void (*rightButtonAction)() = nullptr;  // never supplied: the filter only swallows
};

class SubclassTable {
 public:
  // A copy of the first record of the window, by a scan from the start.
  std::optional<SubclassRecord> find(std::uintptr_t window) const;
  void append(const SubclassRecord& record);
  std::size_t size() const { return records_.size(); }
  const SubclassRecord& operator[](std::size_t i) const { return *records_[i]; }
  // Frees every record (at exit).
  void clear() { records_.clear(); }

 private:
  std::vector<std::unique_ptr<SubclassRecord>> records_;
};

// How windows are walked and their procedure replaced; the platform's.
class WindowTree {
 public:
  virtual ~WindowTree() = default;
  // The direct child of parent after `after` (0: the first); 0 when no more.
  virtual std::uintptr_t nextChild(std::uintptr_t parent, std::uintptr_t after) = 0;
  // Puts the right-button filter on the window; returns the previous procedure.
  virtual std::uintptr_t installFilter(std::uintptr_t window) = 0;
};

// Puts the right-button filter on the window and every window below it that
// exists now, depth first, each looked up before it is changed.
void subclassWindowTree(SubclassTable& table, WindowTree& tree, std::uintptr_t root);

}  // namespace ui
