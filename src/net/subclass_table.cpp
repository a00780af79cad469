#include "net/subclass_table.h"

namespace net {

std::optional<SubclassRecord> SubclassTable::find(std::uintptr_t window) const {
  for (const auto& record : records_) {
    if (record->window == window) return *record;
  }
  return std::nullopt;
}

void SubclassTable::append(const SubclassRecord& record) { records_.push_back(std::make_unique<SubclassRecord>(record)); }

}  // namespace net
