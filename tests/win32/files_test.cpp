// The Win32 file operations on the files of a folder, in a scratch directory.
#include "platform/win32/files.h"
#include "platform/win32/owners.h"

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

  std::wstring pathOf(const std::string& name) const { return scratch.widePath() + std::wstring(name.begin(), name.end()); }
  // The file's bytes read directly, whatever the file system under test says.
  std::string rawContents(const std::string& name) const {
    const win32::FileHandle file(CreateFileW(pathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "(cannot open)";
    std::string contents;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0) contents.append(block, read);
    return contents;
  }

  testing_support::ScratchDirectory scratch;
  win32::Win32FileSystem files{scratch.widePath()};
};

TEST_F(FilesWin32, FilesAndDirectoriesExistAreMadeOnceAndRemoved) {
  EXPECT_TRUE(files.exists("\\")) << "the folder itself";
  EXPECT_FALSE(files.exists(""));
  EXPECT_FALSE(files.removeFile("\\userini.user"));
  EXPECT_FALSE(files.readWholeFile("\\userini.user").has_value());
  ASSERT_TRUE(files.writeWholeFile("\\userini.user", bytesOf("[a]\r\n")));
  EXPECT_TRUE(files.exists("\\userini.user"));
  EXPECT_TRUE(files.removeFile("\\userini.user"));
  EXPECT_FALSE(files.exists("\\userini.user"));
  EXPECT_TRUE(files.createDirectory("\\ad"));
  EXPECT_FALSE(files.createDirectory("\\ad"));
  EXPECT_TRUE(files.exists("\\ad"));
  EXPECT_FALSE(files.removeFile("\\ad")) << "a directory is not a file";
  EXPECT_FALSE(files.readWholeFile("\\ad").has_value());
  // One level at a time: no missing parents are made.
  EXPECT_FALSE(files.createDirectory("\\a\\b"));
  EXPECT_FALSE(files.exists("\\a"));
}

TEST_F(FilesWin32, WriteAndReadBackEveryByte) {
  // Larger than any one read, every byte value, zeros included.
  Bytes bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
  ASSERT_TRUE(files.writeWholeFile("\\ad.tingweiini", bytes));
  const auto back = files.readWholeFile("\\ad.tingweiini");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytes);
}

TEST_F(FilesWin32, EmptyFileReadsAsEmptyNotAsNothing) {
  ASSERT_TRUE(files.writeWholeFile("\\empty", {}));
  const auto back = files.readWholeFile("\\empty");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(back->empty());
}

TEST_F(FilesWin32, WriteReplacesTheWholeFile) {
  const std::string path = "\\userini.user";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("a much longer old content")));
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("new")));
  EXPECT_EQ(rawContents(path), "new");
  ASSERT_TRUE(files.writeWholeFile(path, {}));
  EXPECT_TRUE(files.exists(path));
  EXPECT_EQ(rawContents(path), "");
}

TEST_F(FilesWin32, WriteIntoMissingDirectoryMakesNothing) {
  EXPECT_FALSE(files.writeWholeFile("\\ad\\tingweiad.gif", bytesOf("GIF89a")));
  EXPECT_FALSE(files.exists("\\ad\\tingweiad.gif"));
  EXPECT_FALSE(files.exists("\\ad"));
}

TEST_F(FilesWin32, OnlyAHolderThatSharesNothingKeepsReadsAndWritesOut) {
  const std::string path = "\\userini.user";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("old and long")));
  struct Holder {
    DWORD access, share;
    bool readable, writable;
  };
  const Holder holders[] = {
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true, true},  // a writer that shares
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true, true},                  // a reader that shares
      {GENERIC_READ, FILE_SHARE_READ, true, false},  // a reader that lets nobody write, the system included
      {GENERIC_READ | GENERIC_WRITE, 0, false, false},
  };
  for (const Holder& h : holders) {
    SCOPED_TRACE(testing::Message() << std::hex << h.access << " shares " << h.share);
    ASSERT_TRUE(files.writeWholeFile(path, bytesOf("old and long")));
    win32::FileHandle holder(
        CreateFileW(pathOf(path).c_str(), h.access, h.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(files.readWholeFile(path).has_value(), h.readable);
    EXPECT_EQ(files.writeWholeFile(path, bytesOf("new")), h.writable);
    holder.reset();
    EXPECT_EQ(rawContents(path), h.writable ? "new" : "old and long");
  }
}

TEST_F(FilesWin32, ReadSharesWithOtherReaders) {
  const std::string path = "\\system.dll";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("[color]\r\n")));
  win32::FileHandle reader(CreateFileW(pathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  const auto back = files.readWholeFile(path);
  reader.reset();
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytesOf("[color]\r\n"));
}

TEST_F(FilesWin32, ReadOfAFileHeldExclusivelyIsNothing) {
  const std::string path = "\\held";
  ASSERT_TRUE(files.writeWholeFile(path, bytesOf("x")));
  win32::FileHandle holder(
      CreateFileW(pathOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_FALSE(files.readWholeFile(path).has_value());
  EXPECT_FALSE(files.removeFile(path));
  holder.reset();
  EXPECT_TRUE(files.removeFile(path));
}

// The folder's name holds letters of no Chinese code page and the names
// hold GBK characters, one with a trail byte equal to the backslash's
// ("嘰" is 0x87 0x5C): the system sees every character as it is.
using CodePage1252Files = FilesWin32;

TEST_F(CodePage1252Files, AFolderOfAnyScriptAndGbkNames) {
  ASSERT_EQ(GetACP(), 1252u) << "run under an English locale (the win32_tests.cp1252 test)";
  const std::wstring folder = scratch.widePath() + L"\\run-\uD55C\u00F1";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  win32::Win32FileSystem run(folder);
  ASSERT_TRUE(run.createDirectory("\\广告"));
  ASSERT_TRUE(run.createDirectory("\\嘰"));
  ASSERT_TRUE(run.writeWholeFile("\\广告\\通知内容.txt", bytesOf("汀蔚")));
  ASSERT_TRUE(run.writeWholeFile("\\嘰\\a.txt", bytesOf("a")));
  EXPECT_TRUE(run.exists("\\嘰\\a.txt"));
  const auto back = run.readWholeFile("\\广告\\通知内容.txt");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == bytesOf("汀蔚"));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\\u5E7F\u544A\\*.txt").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::wstring(found.cFileName), L"\u901A\u77E5\u5185\u5BB9.txt");
  FindClose(search);
  EXPECT_TRUE(run.removeFile("\\广告\\通知内容.txt"));
  EXPECT_FALSE(run.exists("\\广告\\通知内容.txt"));
}

TEST(FilesWin32RunDirectory, IsTheFolderOfTheExecutable) {
  const std::wstring run = win32::runDirectory();
  ASSERT_FALSE(run.empty());
  EXPECT_NE(run.back(), L'\\');
  std::wstring module(32768, L'\0');
  module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  EXPECT_EQ(module.substr(0, module.rfind(L'\\')), run);
  const DWORD attributes = GetFileAttributesW(run.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
