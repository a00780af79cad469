#include "app/settings_files.h"

namespace app {

const char SettingsFiles::kUserSettingsName[] = "\\userini.user";
const char SettingsFiles::kDefaultsName[] = "\\system.dll";

namespace {
const char kUserSection[] = "皮肤";
const char kUserKey[] = "底色";
const char kDefaultsSection[] = "默认皮肤";
}  // namespace

std::int32_t parseStoredInteger(std::string_view text) {
  std::size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

SettingsFiles::SettingsFiles(FileSystem& files, const TextCodec& codec) : files_(files), profiles_(files, codec) {}

bool SettingsFiles::userSettingsExist() { return files_.exists(kUserSettingsName); }

std::int32_t SettingsFiles::readUserBackground() {
  return parseStoredInteger(profiles_.read(kUserSettingsName, kUserSection, kUserKey));
}

void SettingsFiles::writeUserBackground(std::int32_t colour) {
  // A failed write leaves the colour applied for this run only; nothing is reported.
  profiles_.write(kUserSettingsName, kUserSection, kUserKey, std::to_string(colour));
}

void SettingsFiles::deleteUserSettings() {
  // Absent, in use or read-only: the file stays as it is, silently.
  files_.removeFile(kUserSettingsName);
}

std::int32_t SettingsFiles::readDefaultColour(const std::string& key) {
  return parseStoredInteger(profiles_.read(kDefaultsName, kDefaultsSection, key));
}

}  // namespace app
