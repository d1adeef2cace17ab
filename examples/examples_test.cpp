// The example scripts of the package: each loads as it is written, no line
// losing a blank or split at a '.', and plays to its end without a box.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runner/script_runner.h"
#include "script/script_file.h"
#include "script/script_language.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

// The lines between the markers, as written.
std::vector<std::string> WrittenLines(const std::string& gbk) {
  std::vector<std::string> lines;
  std::istringstream text(gbk);
  bool inBody = false;
  for (std::string line; std::getline(text, line);) {
    if (line == "脚本结束."_gbk) break;
    if (inBody) lines.push_back(line);
    inBody = inBody || line == "脚本开始."_gbk;
  }
  return lines;
}

TEST(ExamplesTest, EachLoadsAsWrittenAndPlaysToItsEndWithoutABox) {
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KESTRO_EXAMPLES)) {
    if (entry.path().extension() != ".ini") continue;
    std::u8string name = entry.path().filename().u8string();
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    ++examples;
    std::stringstream utf8;
    utf8 << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    std::string gbk = GbkFromUtf8(utf8.str());
    LoadedScript script = ParseScriptText(FromDiskLineEnds(ToDiskLineEnds(gbk)));
    EXPECT_EQ(script.lines, WrittenLines(gbk));
    // A key name the table lacks plays as nothing, without a word.
    for (const std::string& line : script.lines) {
      std::size_t open = line.find(":(");
      if (open == std::string::npos) continue;
      std::string name = line.substr(open + 2, line.find(')') - open - 2);
      EXPECT_NE(LookupKeyName(name), nullptr) << line;
    }

    FakeMainWindow window;
    FakeInput input;
    ScriptRunner runner(window, input, input, [](std::function<void()> body) {
      body();
      return true;
    });
    std::vector<RunEnd> ends;
    runner.StartRun({"1", false, script.lines}, [&](RunEnd end) { ends.push_back(end); });
    EXPECT_EQ(ends, std::vector<RunEnd>{RunEnd::Completed});
    EXPECT_TRUE(window.messages.empty());
  }
  EXPECT_GE(examples, 3);
}

}  // namespace
}  // namespace kestro
