// bench_fetch: times the program's own HTTP client (win32::WinInetFetcher on
// a thread of its own, waited for in the backend's loop, as every download
// of station.exe goes) on one address.
//
//   bench_fetch URL
//
// Fetches once for each line read from standard input and prints "fetch I
// MILLISECONDS BYTES", so that the caller can run its other client between
// two fetches and both see the machine alike. One fetcher, as in the
// program: the first fetch also opens the internet handle.
#include "backend_wait.h"
#include "platform/win32/wininet_fetcher.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: bench_fetch URL < one line per fetch\n", stderr);
    return 2;
  }
  std::string address;
  for (const wchar_t* c = argv[1]; *c; ++c) address += static_cast<char>(*c);  // ASCII addresses only
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  win32::Win32Backend backend(GetModuleHandleW(nullptr));
  win32::BackendWait wait(backend);
  net::ThreadedFetcher fetcher(std::make_shared<win32::WinInetFetcher>(), wait);
  int failures = 0;
  char line[64];
  for (int i = 0; std::fgets(line, sizeof line, stdin); ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const net::Bytes body = fetcher.fetchUrlBytes(address);
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("fetch %d %.3f %zu\n", i, ms, body.size());
    std::fflush(stdout);
    if (body.empty()) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
