#include "platform/executable_path.h"

#include <gtest/gtest.h>

#include "platform/files.h"

namespace kestro {
namespace {

TEST(ExecutablePathTest, TheFolderHoldsTheTestProgram) {
  NativePath folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(ExecutablePath().substr(0, folder.size() + 1), folder + kPathSeparator);
  SystemFiles files;
  EXPECT_TRUE(files.Exists(PathInFolder(folder, "kestro_tests")) ||
              files.Exists(PathInFolder(folder, "kestro_tests.exe")));
}

}  // namespace
}  // namespace kestro
