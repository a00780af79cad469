// bench_fetch: times the program's own HTTP client (win32::WinInetFetcher on
// a thread of its own, waited for in the backend's loop, as every download
// of station.exe goes) on one address.
//
//   bench_fetch URL COUNT
//
// One fetcher, as in the program: the first fetch also opens the internet
// handle. Prints "fetch I MILLISECONDS BYTES" for each of COUNT fetches.
#include "platform/win32/backend_wait.h"
#include "platform/win32/wininet_fetcher.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: bench_fetch URL COUNT\n", stderr);
    return 2;
  }
  std::string address;
  for (const wchar_t* c = argv[1]; *c; ++c) address += static_cast<char>(*c);  // ASCII addresses only
  const int count = _wtoi(argv[2]);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  win32::Win32Backend backend(GetModuleHandleW(nullptr));
  win32::BackendWait wait(backend);
  win32::WinInetFetcher network;
  net::ThreadedFetcher fetcher(network, wait);
  int failures = 0;
  for (int i = 0; i < count; ++i) {
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
