#include "bench_scripts.h"

#include "testing/gbk_literal.h"

namespace kestro {

TimedScript MixedScript() {
  TimedScript script;
  for (int i = 0; i < 4; ++i) {
    script.lines.insert(script.lines.end(),
                        {"等待时间:37;"_gbk, "单击鼠标:左键;"_gbk, "单击键盘:a;"_gbk,
                         "等待时间:3;"_gbk, "双击鼠标:左键;"_gbk, "移动鼠标:10,20;"_gbk});
  }
  // Per group: 10 ms before each of 6 lines, 38 + 200 + 0 + 4 + 400 + 0.
  script.passMs = 4 * (6 * 10 + 38 + 200 + 4 + 400);
  return script;
}

std::vector<std::string> ParsingLines() {
  return {"单击鼠标:左键;"_gbk,
          "双击鼠标:左键;"_gbk,
          "按住鼠标:右键;"_gbk,
          "弹起鼠标:右键;"_gbk,
          "移动鼠标:100,200;"_gbk,
          "单击键盘:a;"_gbk,
          "单击键盘:A;"_gbk,
          "按住键盘:(SHIFT键);"_gbk,
          "弹起键盘:(音量+);"_gbk,
          "等待时间:1000;"_gbk,
          "单击鼠标:中键;"_gbk,
          "移动鼠标:12a,5;"_gbk,
          "abc",
          "  等待时间:5; note"_gbk,
          "单击键盘:(tab键);"_gbk,
          ""};
}

}  // namespace kestro
