// The Win32 file operations on GBK paths, in a scratch directory.
#include "platform/win32/win32_files.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "scratch_directory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

class FilesWin32 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.ready()); }

  // The file's bytes read directly, whatever the file system under test says.
  static std::string rawContents(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(cannot open)";
    std::string contents;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) contents.append(block, read);
    CloseHandle(file);
    return contents;
  }

  testing_support::ScratchDirectory scratch;
  win32::Win32FileSystem files;
};

TEST_F(FilesWin32, ExistsForFilesAndDirectories) {
  EXPECT_TRUE(files.exists(scratch.path()));
  EXPECT_FALSE(files.exists(scratch + "\\userini.user"));
  ASSERT_TRUE(files.writeWholeFile(scratch + "\\userini.user", bytesOf("[a]\r\n")));
  EXPECT_TRUE(files.exists(scratch + "\\userini.user"));
  ASSERT_TRUE(files.createDirectory(scratch + "\\ad"));
  EXPECT_TRUE(files.exists(scratch + "\\ad"));
  EXPECT_FALSE(files.exists(""));
}

TEST_F(FilesWin32, RemoveFile) {
  EXPECT_FALSE(files.removeFile(scratch + "\\absent.txt"));
  ASSERT_TRUE(files.writeWholeFile(scratch + "\\present.txt", bytesOf("x")));
  EXPECT_TRUE(files.removeFile(scratch + "\\present.txt"));
  EXPECT_FALSE(files.exists(scratch + "\\present.txt"));
  EXPECT_FALSE(files.removeFile(scratch + "\\present.txt"));
  // A directory is not a file.
  ASSERT_TRUE(files.createDirectory(scratch + "\\ad"));
  EXPECT_FALSE(files.removeFile(scratch + "\\ad"));
  EXPECT_TRUE(files.exists(scratch + "\\ad"));
}

TEST_F(FilesWin32, CreateDirectoryOnceOnly) {
  EXPECT_TRUE(files.createDirectory(scratch + "\\ad"));
  EXPECT_FALSE(files.createDirectory(scratch + "\\ad"));
  EXPECT_TRUE(files.exists(scratch + "\\ad"));
  // One level at a time: no missing parents are made.
  EXPECT_FALSE(files.createDirectory(scratch + "\\a\\b"));
  EXPECT_FALSE(files.exists(scratch + "\\a"));
}

TEST_F(FilesWin32, ReadMissingOrDirectoryIsNothing) {
  EXPECT_FALSE(files.readWholeFile(scratch + "\\absent.txt").has_value());
  EXPECT_FALSE(files.readWholeFile(scratch.path()).has_value());
}

TEST_F(FilesWin32, WriteAndReadBackEveryByte) {
  // Larger than any one read, every byte value, zeros included.
  Bytes bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
  ASSERT_TRUE(files.writeWholeFile(scratch + "\\ad.tingweiini", bytes));
  const auto back = files.readWholeFile(scratch + "\\ad.tingweiini");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytes);
}

TEST_F(FilesWin32, EmptyFileReadsAsEmptyNotAsNothing) {
  ASSERT_TRUE(files.writeWholeFile(scratch + "\\empty", {}));
  const auto back = files.readWholeFile(scratch + "\\empty");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(back->empty());
}

TEST_F(FilesWin32, WriteReplacesTheWholeFile) {
  const std::string path = scratch + "\\userini.user";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("a much longer old content")));
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("new")));
  EXPECT_EQ(rawContents(path), "new");
  ASSERT_TRUE(files.writeWholeFile(path, {}));
  EXPECT_TRUE(files.exists(path));
  EXPECT_EQ(rawContents(path), "");
}

TEST_F(FilesWin32, WriteIntoMissingDirectoryMakesNothing) {
  EXPECT_FALSE(files.writeWholeFile(scratch + "\\ad\\tingweiad.gif", bytesOf("GIF89a")));
  EXPECT_FALSE(files.exists(scratch + "\\ad\\tingweiad.gif"));
  EXPECT_FALSE(files.exists(scratch + "\\ad"));
}

TEST_F(FilesWin32, WriteIsExclusive) {
  const std::string path = scratch + "\\ad.tingweiini";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("old")));
  // Even a reader that lets others read and write keeps the writer out.
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.writeWholeFile(path, bytesOf("new")));
  CloseHandle(reader);
  EXPECT_EQ(rawContents(path), "old");
  EXPECT_TRUE(files.writeWholeFile(path, bytesOf("new")));
  EXPECT_EQ(rawContents(path), "new");
}

TEST_F(FilesWin32, ReadSharesWithOtherReaders) {
  const std::string path = scratch + "\\system.dll";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("[color]\r\n")));
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const auto back = files.readWholeFile(path);
  CloseHandle(reader);
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytesOf("[color]\r\n"));
}

TEST_F(FilesWin32, ReadOfAFileHeldExclusivelyIsNothing) {
  const std::string path = scratch + "\\held";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("x")));
  HANDLE holder =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.readWholeFile(path).has_value());
  EXPECT_FALSE(files.removeFile(path));
  CloseHandle(holder);
  EXPECT_TRUE(files.removeFile(path));
}

TEST_F(FilesWin32, ChineseNamesInTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 936u) << "run under the zh_CN locale (scripts/wine-run)";
  // Source text is UTF-8; these literals are GBK bytes in the program.
  const std::string directory = scratch + "\\广告";
  const std::string path = directory + "\\通知内容.txt";
  ASSERT_TRUE(files.createDirectory(directory));
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("汀蔚")));
  EXPECT_TRUE(files.exists(path));
  const auto back = files.readWholeFile(path);
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytesOf("汀蔚"));
  // The system sees the characters, not the bytes as Latin letters.
  std::wstring wideDirectory(MultiByteToWideChar(936, 0, directory.c_str(), -1, nullptr, 0), L'\0');
  MultiByteToWideChar(936, 0, directory.c_str(), -1, wideDirectory.data(), static_cast<int>(wideDirectory.size()));
  wideDirectory.pop_back();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((wideDirectory + L"\\*.txt").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::wstring(found.cFileName), L"通知内容.txt");
  FindClose(search);
  EXPECT_TRUE(files.removeFile(path));
  EXPECT_FALSE(files.exists(path));
}

TEST_F(FilesWin32, NameWithABackslashTrailByte) {
  ASSERT_EQ(GetACP(), 936u) << "run under the zh_CN locale (scripts/wine-run)";
  // In GBK "嘰" is 0x87 0x5C: its second byte is the backslash's.
  const std::string directory = scratch + "\\嘰";
  ASSERT_EQ(directory.back(), '\\');
  ASSERT_TRUE(files.createDirectory(directory));
  ASSERT_TRUE(files.writeWholeFile(directory + "\\a.txt", bytesOf("a")));
  EXPECT_TRUE(files.exists(directory + "\\a.txt"));
  EXPECT_EQ(win32::parentDirectory(directory + "\\a.txt"), directory);
  EXPECT_EQ(win32::parentDirectory(directory), scratch.path());
}

TEST(FilesWin32Paths, ParentDirectory) {
  EXPECT_EQ(win32::parentDirectory("C:\\station\\station.exe"), "C:\\station");
  EXPECT_EQ(win32::parentDirectory("C:\\station.exe"), "C:");
  EXPECT_EQ(win32::parentDirectory("station.exe"), "");
  EXPECT_EQ(win32::parentDirectory(""), "");
}

TEST(FilesWin32RunDirectory, IsTheFolderOfTheExecutable) {
  win32::Win32FileSystem files;
  const std::string run = files.runDirectory();
  ASSERT_FALSE(run.empty());
  EXPECT_NE(run.back(), '\\');
  const DWORD attributes = GetFileAttributesA(run.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  // The running program sits right in it.
  std::wstring module(32768, L'\0');
  module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  const std::wstring name = module.substr(module.rfind(L'\\'));
  std::string ansiName(WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansiName.data(), static_cast<int>(ansiName.size()), nullptr,
                      nullptr);
  ansiName.pop_back();
  EXPECT_TRUE(files.exists(run + ansiName)) << run + ansiName;
}

}  // namespace
