#pragma once
// Stores the body of one fetch in a file.
#include <string>

#include "app/file_system.h"
#include "net/fetcher.h"

namespace net {

// Fetches the address and writes the body (possibly empty) to the path,
// replacing what the file held. An empty path writes nothing. Silent: the
// caller learns nothing of a failed fetch or a file that cannot be opened.
void downloadToFile(Fetcher& fetcher, app::FileSystem& files, const std::string& path, const std::string& address);

}  // namespace net
