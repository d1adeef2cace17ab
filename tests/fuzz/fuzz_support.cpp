#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "script/script_language.h"
#include "text/system_texts.h"

namespace kestro::fuzz {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz property does not hold: %s\n", what);
  std::abort();
}

void RequireGbkTexts() {
  // The bytes of code page 936, written out so that no compiler or
  // conversion of ours stands between them and the check.
  struct Keyword {
    CommandId id;
    std::string_view bytes;
  };
  static constexpr Keyword kKeywords[] = {
      {CommandId::ClickMouse, "\xB5\xA5\xBB\xF7\xCA\xF3\xB1\xEA"},        // 单击鼠标
      {CommandId::DoubleClickMouse, "\xCB\xAB\xBB\xF7\xCA\xF3\xB1\xEA"},  // 双击鼠标
      {CommandId::PressMouse, "\xB0\xB4\xD7\xA1\xCA\xF3\xB1\xEA"},        // 按住鼠标
      {CommandId::ReleaseMouse, "\xB5\xAF\xC6\xF0\xCA\xF3\xB1\xEA"},      // 弹起鼠标
      {CommandId::MoveMouse, "\xD2\xC6\xB6\xAF\xCA\xF3\xB1\xEA"},         // 移动鼠标
      {CommandId::TapKey, "\xB5\xA5\xBB\xF7\xBC\xFC\xC5\xCC"},            // 单击键盘
      {CommandId::PressKey, "\xB0\xB4\xD7\xA1\xBC\xFC\xC5\xCC"},          // 按住键盘
      {CommandId::ReleaseKey, "\xB5\xAF\xC6\xF0\xBC\xFC\xC5\xCC"},        // 弹起键盘
      {CommandId::KeyCombo, "\xD7\xE9\xBA\xCF\xB0\xB4\xBC\xFC"},          // 组合按键
      {CommandId::Wait, "\xB5\xC8\xB4\xFD\xCA\xB1\xBC\xE4"},              // 等待时间
  };
  bool gbk = true;
  for (const Keyword& keyword : kKeywords) {
    if (LookupCommand(keyword.bytes) == keyword.id) continue;
    std::fprintf(stderr, "command %d does not look up from its GBK keyword\n",
                 static_cast<int>(keyword.id));
    gbk = false;
  }
  const KeyNameEntry* enter = LookupKeyName("\xBB\xD8\xB3\xB5\xBC\xFC");  // 回车键
  gbk = gbk && enter && enter->virtualKey == 13;
  gbk = gbk && text::kLeftButtonWord == "\xD7\xF3\xBC\xFC";                      // 左键
  gbk = gbk && text::kRightButtonWord == "\xD3\xD2\xBC\xFC";                     // 右键
  gbk = gbk && text::kRepeatCountName == "\xD6\xB4\xD0\xD0\xB4\xCE\xCA\xFD";     // 执行次数
  gbk = gbk && text::kLoopValue == "\xD1\xAD\xBB\xB7";                           // 循环
  gbk = gbk && text::kScriptStartMarker == "\xBD\xC5\xB1\xBE\xBF\xAA\xCA\xBC.";  // 脚本开始.
  gbk = gbk && text::kScriptEndMarker == "\xBD\xC5\xB1\xBE\xBD\xE1\xCA\xF8.";    // 脚本结束.
  Require(gbk, "the build's texts are the GBK bytes the program reads");
}

}  // namespace kestro::fuzz

// Every target starts by checking the texts, so the check is defined once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kestro::fuzz::RequireGbkTexts();
  return 0;
}
