#pragma once
// What the program needs from the platform, one small interface per job.
// The Win32 build passes its realisations; the tests pass fakes.
#include <string>

#include "app/file_system.h"
#include "app/profile_store.h"
#include "net/transfer.h"
#include "net/shell.h"

namespace app {

struct Services {
  // Reads a fetch's body; called off the user-interface thread (handlers
  // fetch through Program::fetcher).
  net::BodyReader& network;
  FileSystem& files;
  ProfileStore& profiles;
  net::Shell& shell;
  // The directory of the executable, without a trailing backslash.
  std::string runDirectory;
};

}  // namespace app
