#include "platform/posix/settings_store_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace kestro {
namespace {

class PosixSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestro-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    // A GBK file name, as the program composes its paths.
    path_ = directory_ + "/设置.ini";
  }
  void TearDown() override {
    unlink(path_.c_str());
    rmdir(directory_.c_str());
  }

  std::string FileText() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void SetFileText(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  bool FileExists() {
    struct stat info;
    return stat(path_.c_str(), &info) == 0;
  }

  std::string directory_;
  std::string path_;
  PosixSettingsStore store_;
};

TEST_F(PosixSettingsStoreTest, MissingFileGivesFallbackAndStaysMissing) {
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), 89);
  EXPECT_FALSE(FileExists());
}

TEST_F(PosixSettingsStoreTest, FirstWriteCreatesTheFile) {
  store_.WriteString(path_, "HotKey", "CtrlRun", "2");
  store_.WriteString(path_, "HotKey", "VKRun", "-5");
  EXPECT_EQ(FileText(), "[HotKey]\r\nCtrlRun=2\r\nVKRun=-5\r\n");
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), -5);
}

TEST_F(PosixSettingsStoreTest, WriteKeepsTheRestOfTheFile) {
  SetFileText("; mine\n[Other]\nname = value\n\n[HotKey]\nVKRun=1\n");
  store_.WriteString(path_, "hotkey", "vkrun", "65");
  EXPECT_EQ(FileText(), "; mine\n[Other]\nname = value\n\n[HotKey]\nVKRun=65\n");
  EXPECT_EQ(store_.ReadInt(path_, "HotKey", "VKRun", 89), 65);
}

TEST_F(PosixSettingsStoreTest, WriteIntoAMissingDirectoryFailsQuietly) {
  std::string path = directory_ + "/missing/config.ini";
  store_.WriteString(path, "HotKey", "VKRun", "65");
  EXPECT_EQ(store_.ReadInt(path, "HotKey", "VKRun", 89), 89);
}

TEST(ExecutableDirectoryTest, IsTheTestProgramsDirectory) {
  std::string directory = ExecutableDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), '/');
  EXPECT_EQ(access((directory + "kestro_tests").c_str(), X_OK), 0) << directory;
}

}  // namespace
}  // namespace kestro
