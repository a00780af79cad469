#include "app/profile_store.h"

#include "app/profile_text.h"

namespace app {

namespace {
std::string_view asText(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
}  // namespace

std::string ProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
  std::optional<std::vector<std::uint8_t>> bytes = files_.readWholeFile(file);
  if (!bytes) return {};
  return readProfileValue(asText(*bytes), section, key);
}

bool ProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& value) {
  std::optional<std::vector<std::uint8_t>> bytes = files_.readWholeFile(file);
  // A file that is there but cannot be read (in use) is not replaced by one
  // that holds the new key alone.
  if (!bytes && files_.exists(file)) return false;
  std::string text = writeProfileValue(bytes ? asText(*bytes) : std::string_view(), section, key, value);
  return files_.writeWholeFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace app
