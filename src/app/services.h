#pragma once
// What the program needs from the platform, one small interface per job.
// The Win32 build passes its realisations; the tests pass fakes.
#include <memory>

#include "app/file_system.h"
#include "app/text_codec.h"
#include "net/transfer.h"
#include "net/shell.h"

namespace app {

struct Services {
  // Reads a fetch's body; called off the user-interface thread (handlers
  // fetch through Program::fetcher), and shared with the fetches' threads.
  std::shared_ptr<net::BodyReader> network;
  // The run directory's files.
  FileSystem& files;
  net::Shell& shell;
  TextCodec& text;
};

}  // namespace app
