#include "bench_scripts.h"

namespace kestro {

TimedScript MixedScript() {
  TimedScript script;
  for (int i = 0; i < 4; ++i) {
    script.lines.insert(script.lines.end(), {"等待时间:37;", "单击鼠标:左键;", "单击键盘:a;",
                                             "等待时间:3;", "双击鼠标:左键;", "移动鼠标:10,20;"});
  }
  // Per group: 10 ms before each of 6 lines, 38 + 200 + 0 + 4 + 400 + 0.
  script.passMs = 4 * (6 * 10 + 38 + 200 + 4 + 400);
  return script;
}

std::vector<std::string> ParsingLines() {
  return {"单击鼠标:左键;",   "双击鼠标:左键;",     "按住鼠标:右键;",  "弹起鼠标:右键;",
          "移动鼠标:100,200;", "单击键盘:a;",       "单击键盘:A;",     "按住键盘:(SHIFT键);",
          "弹起键盘:(音量+);", "等待时间:1000;",    "单击鼠标:中键;",  "移动鼠标:12a,5;",
          "abc",              "  等待时间:5; note", "单击键盘:(tab键);", ""};
}

}  // namespace kestro
