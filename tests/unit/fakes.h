#pragma once
// Simple stand-ins for the platform's services, in memory.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/file_system.h"
#include "app/text_codec.h"
#include "net/fetcher.h"
#include "net/transfer.h"
#include "net/shell.h"
#include "ui/check.h"

namespace testing_support {

// Answers at once from `bodies`; as the program's body reader, on the
// fetch's own thread, after `beforeAnswer` (a test's gate) has returned.
class FakeFetcher : public net::Fetcher, public net::BodyReader {
 public:
  std::map<std::string, net::Bytes> bodies;  // by address; missing: a failed fetch
  std::vector<std::string> requests;
  std::function<void()> beforeAnswer;
  net::Bytes fetchUrlBytes(const std::string& address) override;
  void readBody(const std::string& address, net::Transfer& transfer) override;
};

// The run directory's files by name ("\\userini.user"); the folder itself
// always exists.
class FakeFileSystem : public app::FileSystem {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::map<std::string, int> readsOf;
  std::set<std::string> directories;
  std::set<std::string> locked;  // cannot be opened, written or removed

  bool exists(const std::string& path) override;
  bool removeFile(const std::string& path) override;
  bool createDirectory(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) override;
  bool writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;

  std::string text(const std::string& path) const;
  void setText(const std::string& path, const std::string& text);
};

// While one lives, failed checks are recorded here instead of ending the
// test program, and the checked call goes on as in the shipped program.
struct FailedChecks {
  FailedChecks();
  ~FailedChecks();
  FailedChecks(const FailedChecks&) = delete;
  FailedChecks& operator=(const FailedChecks&) = delete;
  std::vector<std::string> seen;

 private:
  ui::CheckReporter before_;
};

// GBK and UTF-16 for ASCII and the few Chinese characters the tests' settings
// files hold (皮肤底色默认其他); any other character is '?' either way.
class FakeTextCodec : public app::TextCodec {
 public:
  std::u16string utf16FromGbk(std::string_view gbk) const override;
  std::string gbkFromUtf16(std::u16string_view text) const override;
};

class FakeShell : public net::Shell {
 public:
  struct Open {
    std::uintptr_t owner;
    std::string address;
    net::ShowCommand show;
  };
  std::uintptr_t explorerWindow = 0;  // a window titled "Microsoft Internet Explorer"
  std::intptr_t openResult = 42;
  std::map<std::string, std::string> classesRoot;
  std::uintptr_t runResult = 33;
  std::vector<Open> opened;
  std::vector<std::string> ran;

  std::uintptr_t findTopLevelWindow(const std::string& title) override;
  std::intptr_t open(std::uintptr_t owner, const std::string& address, net::ShowCommand show) override;
  std::optional<std::string> classesRootDefault(const std::string& key) override;
  std::uintptr_t run(const std::string& commandLine, net::ShowCommand show) override;
};

}  // namespace testing_support
