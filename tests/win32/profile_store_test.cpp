// The settings files on real files: the program's own INI reader and writer
// compared with the system's profile functions on the same files (Chinese
// locale, ASCII paths), and what files in use or read-only do to them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/profile_store.h"
#include "app/settings_files.h"
#include "platform/win32/files.h"
#include "platform/win32/gbk_text.h"
#include "platform/win32/owners.h"
#include "profile_cases.h"
#include "scratch_directory.h"

namespace {

class ProfileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.ready()); }

  std::string raw(const std::string& name) {
    const auto bytes = files.readWholeFile(name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }
  void put(const std::string& name, const std::string& text) {
    ASSERT_TRUE(files.writeWholeFile(name, std::vector<std::uint8_t>(text.begin(), text.end())));
  }
  // Each case a file of its own: the system keeps what it read of a file
  // and may not see it change within one tick of the file clock.
  std::string nextName() { return "\\case" + std::to_string(++serial) + ".ini"; }

  testing_support::ScratchDirectory scratch;
  win32::Win32FileSystem files{scratch.widePath()};
  win32::Win32TextCodec codec;
  app::ProfileStore profiles{files, codec};
  int serial = 0;
};

TEST_F(ProfileFilesTest, ReadsAsTheSystemsProfileFunctions) {
  ASSERT_EQ(GetACP(), 936u) << "run under the zh_CN locale (scripts/wine-run)";
  for (const auto& c : testing_support::profileReads()) {
    const std::string name = nextName();
    if (c.file) put(name, *c.file);
    std::string buffer(10240, '\0');
    const DWORD length = GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), "", buffer.data(), 10240,
                                                  (scratch.path() + name).c_str());
    EXPECT_EQ(buffer.substr(0, length), c.value) << c.what << ": the system";
    EXPECT_EQ(profiles.read(name, c.section, c.key), c.value) << c.what << ": the program";
  }
}

TEST_F(ProfileFilesTest, WritesAsTheSystemsProfileFunctionsBarTheirRewriting) {
  for (const auto& c : testing_support::profileWrites()) {
    const std::string system = nextName();
    const std::string program = nextName();
    if (c.file) {
      put(system, *c.file);
      put(program, *c.file);
    }
    EXPECT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.value.c_str(),
                                           (scratch.path() + system).c_str()))
        << c.what;
    EXPECT_TRUE(profiles.write(program, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(raw(system), c.system.value_or(c.written)) << c.what << ": the system";
    EXPECT_EQ(raw(program), c.written) << c.what << ": the program";
  }
}

// Wine lets a read-only file be replaced, so a refused write is shown with a
// file another program holds open.
TEST_F(ProfileFilesTest, AHeldFileIsLeftAlone) {
  app::SettingsFiles settings(files, codec);
  put("\\userini.user", "[皮肤]\r\n底色=1\r\n");
  const std::wstring path = files.pathOf("\\userini.user");
  win32::FileHandle held(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  settings.writeUserBackground(2);
  settings.deleteUserSettings();
  held.reset();
  EXPECT_EQ(raw("\\userini.user"), "[皮肤]\r\n底色=1\r\n");
}

}  // namespace
