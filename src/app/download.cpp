#include "app/download.h"

namespace app {

void downloadToFile(net::Fetcher& fetcher, FileSystem& files, const std::string& name, const std::string& address) {
  // The fetch comes first and happens whatever the name is.
  const net::Bytes body = fetcher.fetchUrlBytes(address);
  if (name.empty()) return;
  // Silent by design: a failed fetch still replaces the file with an empty
  // one, and a file that cannot be opened (missing directory, in use) is
  // simply left as it was. Nobody is told; the callers read the file back and
  // carry on with whatever it holds.
  (void)files.writeWholeFile(name, body);
}

bool loadFromFile(net::XmlDocument& document, FileSystem& files, const std::string& name) {
  document.release();
  if (name.empty()) return false;
  std::optional<std::vector<std::uint8_t>> bytes = files.readWholeFile(name);
  if (!bytes) return false;
  return document.loadFromBytes(*bytes);
}

}  // namespace app
