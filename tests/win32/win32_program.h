// The program on the real Win32 backend, with its services faked.
#pragma once

#include "app/program.h"
#include "fakes.h"
#include "platform/win32/backend.h"

namespace testing_support {

struct Win32Program {
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  std::shared_ptr<FakeFetcher> network = std::make_shared<FakeFetcher>();
  FakeFetcher& fetcher = *network;
  FakeFileSystem files;
  FakeShell shell;
  FakeTextCodec text;
  app::Services services{network, files, shell, text};
  app::Program program{backend, services};
};

}  // namespace testing_support
