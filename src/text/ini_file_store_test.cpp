#include "text/ini_file_store.h"

#include <gtest/gtest.h>

#include "testing/scratch_folder.h"

namespace kestro {
namespace {

// The store on real files, in a folder whose name GBK cannot hold.
class IniFileStoreTest : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  NativePath path_ = folder_.PathOf("config.ini");
  SystemFiles files_;
  IniFileStore store_{files_};
};

TEST_F(IniFileStoreTest, MissingFileGivesFallbackAndStaysMissing) {
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), 89);
  EXPECT_EQ(folder_.Read("config.ini"), "<missing>");
}

TEST_F(IniFileStoreTest, FirstWriteCreatesTheFile) {
  store_.WriteString(path_, "HotKey", "CtrlRun", "2");
  store_.WriteString(path_, "HotKey", "VKRun", "-5");
  EXPECT_EQ(folder_.Read("config.ini"), "[HotKey]\r\nCtrlRun=2\r\nVKRun=-5\r\n");
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), -5);
}

TEST_F(IniFileStoreTest, WriteKeepsTheRestOfTheFile) {
  folder_.Write("config.ini", "; mine\n[Other]\nname = value\n\n[HotKey]\nVKRun=1\n");
  store_.WriteString(path_, "hotkey", "vkrun", "65");
  EXPECT_EQ(folder_.Read("config.ini"), "; mine\n[Other]\nname = value\n\n[HotKey]\nVKRun=65\n");
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), 65);
}

TEST_F(IniFileStoreTest, WriteIntoAMissingFolderFailsQuietly) {
  NativePath path = PathInFolder(folder_.PathOf("missing"), "config.ini");
  store_.WriteString(path, "HotKey", "VKRun", "65");
  EXPECT_EQ(store_.ReadInt(path, "HotKey", "VKRun", 89), 89);
}

}  // namespace
}  // namespace kestro
