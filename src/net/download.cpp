#include "net/download.h"

namespace net {

void downloadToFile(Fetcher& fetcher, app::FileSystem& files, const std::string& path, const std::string& address) {
  // The fetch comes first and happens whatever the path is.
  const Bytes body = fetcher.fetchUrlBytes(address);
  if (path.empty()) return;
  // Silent by design: a failed fetch still replaces the file with an empty
  // one, and a file that cannot be opened (missing directory, in use) is
  // simply left as it was. Nobody is told; the callers read the file back and
  // carry on with whatever it holds.
  (void)files.writeWholeFile(path, body);
}

}  // namespace net
