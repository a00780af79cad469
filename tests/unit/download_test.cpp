// Storing a fetched body in a file, with stand-ins for the fetch and the files.
#include <gtest/gtest.h>

#include "app/download.h"
#include "fakes.h"

namespace {

using testing_support::FakeFetcher;
using testing_support::FakeFileSystem;

const char kAddress[] = "http://127.0.0.1/bofang/ad/tingweitz.xml";
const char kRun[] = "C:\\station";

class FetchDownloadToFile : public ::testing::Test {
 protected:
  FetchDownloadToFile() { files.directories.insert(kRun); }
  std::string path(const std::string& name) const { return kRun + name; }

  FakeFetcher fetcher;
  FakeFileSystem files;
};

TEST_F(FetchDownloadToFile, WritesTheBodyToThePath) {
  fetcher.bodies[kAddress] = {'<', 'y', 'u', 'n', '/', '>', 0, 0xB0};
  app::downloadToFile(fetcher, files, path("\\ad.tingweiini"), kAddress);
  ASSERT_EQ(fetcher.requests, std::vector<std::string>{kAddress});
  ASSERT_TRUE(files.files.count(path("\\ad.tingweiini")));
  EXPECT_EQ(files.files[path("\\ad.tingweiini")], (net::Bytes{'<', 'y', 'u', 'n', '/', '>', 0, 0xB0}));
}

TEST_F(FetchDownloadToFile, FailedFetchEmptiesTheFile) {
  files.setText(path("\\ad.tingweiini"), "yesterday's notice");
  app::downloadToFile(fetcher, files, path("\\ad.tingweiini"), kAddress);
  ASSERT_TRUE(files.files.count(path("\\ad.tingweiini")));
  EXPECT_TRUE(files.files[path("\\ad.tingweiini")].empty());
}

TEST_F(FetchDownloadToFile, FailedFetchCreatesAnEmptyFile) {
  app::downloadToFile(fetcher, files, path("\\ad.tingweiini"), kAddress);
  ASSERT_TRUE(files.files.count(path("\\ad.tingweiini")));
  EXPECT_TRUE(files.files[path("\\ad.tingweiini")].empty());
}

TEST_F(FetchDownloadToFile, EmptyPathStillFetchesButWritesNothing) {
  fetcher.bodies[kAddress] = {'x'};
  app::downloadToFile(fetcher, files, "", kAddress);
  EXPECT_EQ(fetcher.requests, std::vector<std::string>{kAddress});
  EXPECT_TRUE(files.files.empty());
}

TEST_F(FetchDownloadToFile, MissingDirectoryIsNotCreated) {
  fetcher.bodies[kAddress] = {'G', 'I', 'F'};
  app::downloadToFile(fetcher, files, path("\\ad\\tingweiad.gif"), kAddress);
  EXPECT_EQ(fetcher.requests.size(), 1u);
  EXPECT_FALSE(files.exists(path("\\ad\\tingweiad.gif")));
  EXPECT_FALSE(files.exists(path("\\ad")));
}

TEST_F(FetchDownloadToFile, FileInUseKeepsItsContent) {
  files.setText(path("\\ad.tingweiini"), "old");
  files.locked.insert(path("\\ad.tingweiini"));
  fetcher.bodies[kAddress] = {'n', 'e', 'w'};
  app::downloadToFile(fetcher, files, path("\\ad.tingweiini"), kAddress);
  EXPECT_EQ(files.text(path("\\ad.tingweiini")), "old");
}

TEST_F(FetchDownloadToFile, EmptyAddressIsPassedOnAsItIs) {
  // The fetch itself decides what an empty address yields.
  app::downloadToFile(fetcher, files, path("\\ad.tingweiini"), "");
  EXPECT_EQ(fetcher.requests, std::vector<std::string>{""});
  EXPECT_TRUE(files.files[path("\\ad.tingweiini")].empty());
}

}  // namespace
