#include "fakes.h"

#include <algorithm>
#include <iterator>

namespace testing_support {

namespace {
FailedChecks* g_failedChecks = nullptr;
void recordFailedCheck(const std::string& what) { g_failedChecks->seen.push_back(what); }
}  // namespace

FailedChecks::FailedChecks() : before_(ui::setCheckReporter(recordFailedCheck)) { g_failedChecks = this; }

FailedChecks::~FailedChecks() {
  ui::setCheckReporter(before_);
  g_failedChecks = nullptr;
}

net::Bytes FakeFetcher::fetchUrlBytes(const std::string& address) {
  requests.push_back(address);
  auto it = bodies.find(address);
  return it == bodies.end() ? net::Bytes{} : it->second;
}

void FakeFetcher::readBody(const std::string& address, net::Transfer& transfer) {
  if (beforeAnswer) beforeAnswer();
  const net::Bytes body = fetchUrlBytes(address);
  transfer.append(body.data(), body.size());
}

namespace {
std::string parentOf(const std::string& path) {
  auto slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

bool FakeFileSystem::exists(const std::string& path) { return files.count(path) || directories.count(path); }

bool FakeFileSystem::removeFile(const std::string& path) {
  if (locked.count(path)) return false;
  return files.erase(path) > 0;
}

bool FakeFileSystem::createDirectory(const std::string& path) {
  if (exists(path) || locked.count(path)) return false;
  directories.insert(path);
  return true;
}

std::optional<std::vector<std::uint8_t>> FakeFileSystem::readWholeFile(const std::string& path) {
  ++readsOf[path];
  auto it = files.find(path);
  if (it == files.end() || locked.count(path)) return std::nullopt;
  return it->second;
}

bool FakeFileSystem::writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::string parent = parentOf(path);
  if (locked.count(path) || (!parent.empty() && !directories.count(parent))) return false;
  files[path] = bytes;
  return true;
}

namespace {
struct KnownCharacter {
  const char* gbk;  // two bytes
  char16_t utf16;
};
const KnownCharacter kKnownCharacters[] = {{"皮", u'皮'}, {"肤", u'肤'}, {"底", u'底'}, {"色", u'色'},
                                           {"默", u'默'}, {"认", u'认'}, {"其", u'其'}, {"他", u'他'}};
}  // namespace

std::u16string FakeTextCodec::utf16FromGbk(std::string_view gbk) const {
  std::u16string text;
  for (std::size_t i = 0; i < gbk.size();) {
    if (static_cast<unsigned char>(gbk[i]) < 0x80) {
      text += static_cast<char16_t>(gbk[i++]);
      continue;
    }
    const auto known = std::find_if(std::begin(kKnownCharacters), std::end(kKnownCharacters),
                                    [&](const KnownCharacter& c) { return gbk.substr(i, 2) == c.gbk; });
    text += known == std::end(kKnownCharacters) ? u'?' : known->utf16;
    i += 2;
  }
  return text;
}

std::string FakeTextCodec::gbkFromUtf16(std::u16string_view text) const {
  std::string gbk;
  for (char16_t unit : text) {
    const auto known = std::find_if(std::begin(kKnownCharacters), std::end(kKnownCharacters),
                                    [&](const KnownCharacter& c) { return c.utf16 == unit; });
    if (known != std::end(kKnownCharacters)) {
      gbk += known->gbk;
    } else {
      gbk += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
  }
  return gbk;
}

std::string FakeFileSystem::text(const std::string& path) const {
  auto it = files.find(path);
  return it == files.end() ? std::string() : std::string(it->second.begin(), it->second.end());
}

void FakeFileSystem::setText(const std::string& path, const std::string& text) {
  files[path] = std::vector<std::uint8_t>(text.begin(), text.end());
}


std::uintptr_t FakeShell::findTopLevelWindow(const std::string& title) {
  return title == "Microsoft Internet Explorer" ? explorerWindow : 0;
}

std::intptr_t FakeShell::open(std::uintptr_t owner, const std::string& address, net::ShowCommand show) {
  opened.push_back({owner, address, show});
  return openResult;
}

std::optional<std::string> FakeShell::classesRootDefault(const std::string& key) {
  auto it = classesRoot.find(key);
  if (it == classesRoot.end()) return std::nullopt;
  return it->second;
}

std::uintptr_t FakeShell::run(const std::string& commandLine, net::ShowCommand) {
  ran.push_back(commandLine);
  return runResult;
}

}  // namespace testing_support
