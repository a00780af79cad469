#include "app/update_check.h"

#include <cstdlib>

#include "app/about_box.h"
#include "app/program.h"
#include "app/window_forms.h"
#include "net/addresses.h"
#include "net/links.h"
#include "station_version.h"

namespace app {

namespace {

constexpr double kNewerMargin = 1e-7;

// Folds the double-byte forms, keeping every other character's bytes whole.
std::string foldFullWidth(std::string_view text) {
  std::string folded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead > 0x80 && i + 1 < text.size()) {
      auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        folded += static_cast<char>(trail - 0x80);
      } else if (lead == 0xA1 && trail == 0xA1) {
        folded += ' ';
      } else {
        folded += text.substr(i, 2);
      }
      ++i;
    } else {
      folded += text[i];
    }
  }
  return folded;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  std::size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

}  // namespace

double parseManifestVersion(std::string_view raw) {
  std::string text = foldFullWidth(raw);
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  // The longest prefix of the form: sign, digits, fraction, exponent.
  std::size_t start = i, end;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      end = j;
    }
  }
  return std::strtod(text.substr(start, end - start).c_str(), nullptr);
}

std::string newVersionMessage(const std::string& versionText, const std::string& notes) {
  return "发现新版本（" + versionText + "）可以更新！，本次更新了如下内容：" + "\r\n" +
         replaceAll(notes, "#换行符", "\r\n") + "\r\n" + "\r\n";
}

void checkForUpdate(Program& program) {
  const char kPath[] = "最新版本/版本信息";
  releaseTopmost(program);
  net::XmlDocument manifest;
  manifest.loadFromBytes(program.fetcher().fetchUrlBytes(net::updateManifestAddress()));
  const std::string versionText = manifest.readAttribute(kPath, "版本号");
  if (parseManifestVersion(versionText) - station::config::kLocalVersion > kNewerMargin) {
    showInfoMessage(program, newVersionMessage(versionText, manifest.readAttribute(kPath, "升级说明")));
    net::openManifestAddress(program.services().shell, manifest.readAttribute(kPath, "下载地址"));
  } else {
    showInfoMessage(program, "当前您使用的是最新版本");
  }
}

}  // namespace app
