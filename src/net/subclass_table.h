#pragma once
// The windows whose procedure carries the right-button filter, one record
// each, in the order they were filtered. Records are never removed while the
// program runs, so a window never gets the filter twice.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace net {

struct SubclassRecord {
  std::uintptr_t window = 0;            // the filtered window; the key
  std::uintptr_t previousProcedure = 0; // what replacing the procedure returned
  void (*rightButtonAction)() = nullptr;  // never supplied: the filter only swallows
};

class SubclassTable {
 public:
  // The first record of the window, by a scan from the start.
  std::optional<SubclassRecord> find(std::uintptr_t window) const;
  void append(const SubclassRecord& record);
  std::size_t size() const { return records_.size(); }
  const SubclassRecord& operator[](std::size_t i) const { return *records_[i]; }
  // Frees every record (at exit).
  void clear() { records_.clear(); }

 private:
  std::vector<std::unique_ptr<SubclassRecord>> records_;
};

}  // namespace net
