#include "fakes.h"

#include <sstream>

namespace testing_support {

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

std::string FakeFileSystem::text(const std::string& path) const {
  auto it = files.find(path);
  return it == files.end() ? std::string() : std::string(it->second.begin(), it->second.end());
}

void FakeFileSystem::setText(const std::string& path, const std::string& text) {
  files[path] = std::vector<std::uint8_t>(text.begin(), text.end());
}

namespace {
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}
std::string trim(const std::string& s) {
  auto b = s.find_first_not_of(' ');
  auto e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}
}  // namespace

std::string FakeProfileStore::read(const std::string& file, const std::string& section, const std::string& key) {
  ++reads;
  if (!files_.readWholeFile(file)) return {};
  bool inSection = false;
  for (const std::string& line : linesOf(files_.text(file))) {
    std::string t = trim(line);
    if (!t.empty() && t.front() == '[') {
      inSection = t == "[" + section + "]";
      continue;
    }
    auto eq = t.find('=');
    if (inSection && eq != std::string::npos && trim(t.substr(0, eq)) == key) return trim(t.substr(eq + 1));
  }
  return {};
}

bool FakeProfileStore::write(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
  std::vector<std::string> lines = linesOf(files_.text(file));
  int sectionAt = -1;
  int insertAt = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string t = trim(lines[i]);
    if (!t.empty() && t.front() == '[') {
      if (sectionAt >= 0 && insertAt < 0) insertAt = i;
      if (t == "[" + section + "]") sectionAt = i;
      continue;
    }
    auto eq = t.find('=');
    if (sectionAt >= 0 && insertAt < 0 && eq != std::string::npos && trim(t.substr(0, eq)) == key) {
      lines[i] = key + "=" + value;
      insertAt = -2;
      break;
    }
  }
  if (sectionAt < 0) {
    lines.push_back("[" + section + "]");
    lines.push_back(key + "=" + value);
  } else if (insertAt != -2) {
    lines.insert(lines.begin() + (insertAt < 0 ? static_cast<int>(lines.size()) : insertAt), key + "=" + value);
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return files_.writeWholeFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
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

void FakeShell::informationBox(const std::string& text, const std::string& caption) {
  boxes.emplace_back(text, caption);
  if (whileBoxShown) whileBoxShown();
}

std::uintptr_t FakeWindowTree::nextChild(std::uintptr_t parent, std::uintptr_t after) {
  asked.emplace_back(parent, after);
  const auto& list = children[parent];
  if (after == 0) return list.empty() ? 0 : list.front();
  for (std::size_t i = 0; i + 1 < list.size(); ++i) {
    if (list[i] == after) return list[i + 1];
  }
  return 0;
}

std::uintptr_t FakeWindowTree::installFilter(std::uintptr_t window) {
  filtered.push_back(window);
  return window + 1000;  // the "previous procedure"
}

}  // namespace testing_support
