#include "runner/held_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/fake_input.h"

namespace kestro {
namespace {

using Calls = std::vector<std::string>;

TEST(HeldInputTest, ReleasesWhatStaysDownThenSendsNothing) {
  struct Case {
    const char* what;
    void (*play)(Input&);
    Calls released;
  } cases[] = {
      {"taps and clicks leave nothing down",
       [](Input& in) {
         in.KeyEvent(65, false);
         in.KeyEvent(65, true);
         in.MouseEvent(kMouseLeftDown | kMouseLeftUp);
       },
       {}},
      {"a held Shift and Ctrl",
       [](Input& in) {
         in.KeyEvent(16, false);
         in.KeyEvent(17, false);
         in.KeyEvent(65, false);
         in.KeyEvent(65, true);
       },
       {"key 17 up", "key 16 up"}},
      {"pressed twice, released once",
       [](Input& in) {
         in.KeyEvent(16, false);
         in.KeyEvent(16, false);
         in.KeyEvent(16, true);
       },
       {}},
      {"held buttons",
       [](Input& in) {
         in.MouseEvent(kMouseLeftDown);
         in.MouseEvent(kMouseRightDown);
         in.MouseEvent(kMouseRightUp);
       },
       {"mouse 4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeInput system;
    HeldInput held(system);
    c.play(held);
    system.calls.clear();
    held.ReleaseAllAndClose();
    EXPECT_EQ(system.calls, c.released);

    system.calls.clear();
    held.KeyEvent(16, false);
    held.MouseEvent(kMouseLeftDown);
    held.MoveCursor(1, 2);
    held.ReleaseAllAndClose();
    EXPECT_TRUE(system.calls.empty());
  }
}

}  // namespace
}  // namespace kestro
