// The portable INI reader and writer stand in for the profile functions
// wherever those do not exist, so here both run on one table of INI texts
// and must agree with each other and with the table.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/settings_store.h"
#include "text/ini_profile.h"
#include "text/ini_profile_test_cases.h"

namespace kestro {
namespace {

using namespace ini_cases;

class SystemSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    // A directory name that GBK cannot hold reaches the file whole.
    directory_ =
        std::wstring(temp) + L"kestro 热键 テスト ✓ " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(directory_.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    for (const std::wstring& file : created_) DeleteFileW(file.c_str());
    RemoveDirectoryW(directory_.c_str());
  }

  // A fresh file per case, so no cached copy of an earlier case can answer.
  NativePath NewPath() {
    std::wstring file = directory_ + L"\\case" + std::to_wstring(created_.size()) + L".ini";
    created_.push_back(file);
    DeleteFileW(file.c_str());
    return file;
  }

  static void SetFileBytes(const NativePath& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
  }

  static std::string FileBytes(const NativePath& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<no file>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }

  std::wstring directory_;
  std::vector<std::wstring> created_;
  SystemSettingsStore store_;
};

TEST_F(SystemSettingsStoreTest, ProfileFunctionsAndPortableReaderAgreeOnEveryText) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.what);
    NativePath path = NewPath();
    if (!c.file.empty()) SetFileBytes(path, c.file);
    int platform = store_.ReadInt(path, c.section, c.key, kFallback);
    EXPECT_EQ(platform, IniReadInt(c.file, c.section, c.key, kFallback));
    EXPECT_EQ(platform, c.expected);
  }
}

TEST_F(SystemSettingsStoreTest, ProfileFunctionsAndPortableWriterAgreeOnEverySequence) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.what);
    NativePath path = NewPath();
    if (!c.file.empty()) SetFileBytes(path, c.file);
    std::string portable = c.file;
    for (const Assignment& a : c.writes) {
      store_.WriteString(path, a.section, a.key, a.value);
      portable = IniWriteString(portable, a.section, a.key, a.value);
    }
    std::string platform = FileBytes(path);
    if (c.sameBytesOnWine) {
      EXPECT_EQ(platform, portable);
    }
    // Whatever the layout, both files must hold the same values.
    auto keys = c.otherKeys;
    for (const Assignment& a : c.writes) keys.emplace_back(a.section, a.key);
    for (const auto& [section, key] : keys) {
      EXPECT_EQ(store_.ReadInt(path, section, key, kFallback),
                IniReadInt(portable, section, key, kFallback))
          << section << "/" << key << " in " << platform;
    }
  }
}

TEST_F(SystemSettingsStoreTest, EmptyFileIsLikeNoFile) {
  NativePath path = NewPath();
  SetFileBytes(path, "");
  EXPECT_EQ(store_.ReadInt(path, "HotKey", "VKRun", 89), 89);
  store_.WriteString(path, "HotKey", "VKRun", "89");
  EXPECT_EQ(FileBytes(path), IniWriteString("", "HotKey", "VKRun", "89"));
}

}  // namespace
}  // namespace kestro
