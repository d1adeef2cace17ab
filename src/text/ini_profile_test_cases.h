#include "testing/gbk_literal.h"
// INI texts with what the Windows profile functions make of them. The
// portable reader's unit tests check it against the expectations; the
// Windows test runs the same table through GetPrivateProfileIntW and
// WritePrivateProfileStringW, so both readers are held to one table.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestro::ini_cases {

using namespace std::string_literals;

constexpr int kFallback = -9;

// ASCII text as UTF-16 bytes, with or without the signature.
inline std::string Utf16(std::string_view ascii, bool littleEndian, bool signature = true) {
  std::string bytes;
  if (signature) bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char c : ascii) {
    bytes += littleEndian ? c : '\0';
    bytes += littleEndian ? '\0' : c;
  }
  return bytes;
}

struct ReadCase {
  const char* what;
  std::string file;  // empty: no file at all
  std::string key;
  int expected;
  std::string section = "HotKey";
};

inline std::vector<ReadCase> ReadCases() {
  const std::string head = "[HotKey]\r\n";
  return {
      {"no file", "", "VKRun", kFallback},
      {"plain", head + "VKRun=65\r\n", "VKRun", 65},
      {"section and key in other case", "[hotkey]\r\nvkrun=65\r\n", "VKRun", 65},
      {"upper case", "[HOTKEY]\r\nVKRUN=65\r\n", "vKrUn", 65},
      {"spaces around everything", "  [ HotKey ]  \r\n  VKRun  =  65  \r\n", "VKRun", 65},
      {"tabs and ^Z are blanks",
       "[HotKey]\r\n\tVKRun\t=\x1A"
       "65\x1A\r\n",
       "VKRun", 65},
      {"space inside the key name", head + "VK Run=65\r\n", "VKRun", kFallback},
      {"negative", head + "CtrlRun=-7\r\n", "CtrlRun", -7},
      {"plus sign", head + "CtrlRun=+7\r\n", "CtrlRun", 7},
      {"sign apart from the digits", head + "CtrlRun=- 7\r\n", "CtrlRun", 0},
      {"two signs", head + "CtrlRun=+-7\r\n", "CtrlRun", 0},
      {"not a number", head + "CtrlRun=abc\r\n", "CtrlRun", 0},
      {"empty value", head + "CtrlRun=\r\n", "CtrlRun", kFallback},
      {"blank value", head + "CtrlRun=   \r\n", "CtrlRun", kFallback},
      {"no equals sign", head + "CtrlRun\r\n", "CtrlRun", kFallback},
      {"digits then letters", head + "VKRun=12abc\r\n", "VKRun", 12},
      {"digits then a space", head + "VKRun=1 2\r\n", "VKRun", 1},
      {"digits then a comment", head + "VKRun=5 ; five\r\n", "VKRun", 5},
      {"leading zero is decimal", head + "VKRun=089\r\n", "VKRun", 89},
      {"hexadecimal", head + "VKRun=0x1F\r\n", "VKRun", 31},
      {"upper-case X is no prefix", head + "VKRun=0X1F\r\n", "VKRun", 0},
      {"binary", head + "VKRun=0b101\r\n", "VKRun", 5},
      {"octal", head + "VKRun=0o17\r\n", "VKRun", 15},
      {"prefix without digits", head + "VKRun=0x\r\n", "VKRun", 0},
      {"negative hexadecimal", head + "VKRun=-0x10\r\n", "VKRun", -16},
      {"wraps at 32 bits", head + "VKRun=4294967297\r\n", "VKRun", 1},
      {"beyond int range", head + "VKRun=2147483648\r\n", "VKRun", -2147483647 - 1},
      {"negative wraps", head + "VKRun=-4294967297\r\n", "VKRun", -1},
      {"control characters before digits",
       head + "VKRun=\x01\x02"
              "7\r\n",
       "VKRun", 7},
      {"single quotes", head + "VKRun='7'\r\n", "VKRun", 7},
      {"double quotes", head + "VKRun=\"-7\"\r\n", "VKRun", -7},
      {"opening quote only", head + "VKRun='7\r\n", "VKRun", 0},
      {"empty quotes", head + "VKRun=''\r\n", "VKRun", kFallback},
      {"only 29 characters count", head + "VKRun=" + std::string(28, '0') + "89\r\n", "VKRun", 8},
      {"digits beyond 29 characters", head + "VKRun=" + std::string(31, '0') + "89\r\n", "VKRun",
       0},
      {"first of repeated keys", head + "VKRun=5\r\nVKRun=6\r\n", "VKRun", 5},
      {"first line without a value hides a later one", head + "VKRun\r\nVKRun=6\r\n", "VKRun",
       kFallback},
      {"missing section", "[Other]\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"key before any section", "VKRun=5\r\n[HotKey]\r\nCtrlRun=1\r\n", "VKRun", kFallback},
      {"key in a later section", head + "CtrlRun=1\r\n[Other]\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"only the first section of a name", head + "CtrlRun=1\r\n[HotKey]\r\nVKRun=5\r\n", "VKRun",
       kFallback},
      {"section name empty", "[]\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"line ends LF", "[HotKey]\nVKRun=5\n", "VKRun", 5},
      {"line ends CR", "[HotKey]\rVKRun=5\r", "VKRun", 5},
      {"no line end at the end", head + "VKRun=5", "VKRun", 5},
      {"blank lines and comments", "; settings\r\n\r\n" + head + ";VKRun=1\r\n\r\n\r\nVKRun=5\r\n",
       "VKRun", 5},
      {"text after the bracket", "[HotKey] ; keys\r\nVKRun=5\r\n", "VKRun", 5},
      {"last bracket ends the name", "[Hot]Key]\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"bracket twice", "[HotKey]]\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"no closing bracket", "[HotKey\r\nVKRun=5\r\n", "VKRun", kFallback},
      {"NUL ends a key name", head + "VKRun\0junk=5\r\n"s, "VKRun", 5},
      {"NUL ends a value",
       head + "VKRun=\0"
              "5\r\n"s,
       "VKRun", kFallback},
      {"Chinese text elsewhere", "[设置]\r\n名字=中文\r\n"_gbk + head + "VKRun=5\r\n", "VKRun", 5},
      {"UTF-8 signature", "\xEF\xBB\xBF" + head + "VKRun=5\r\n", "VKRun", 5},
      {"UTF-8 character before a bracket", "\xEF\xBB\xBF[HotKey]\xE6\x97\xA5]\r\nVKRun=5\r\n",
       "VKRun", kFallback},
      {"UTF-16LE", Utf16(head + "VKRun=5\r\n", true), "VKRun", 5},
      {"UTF-16LE other case and spaces", Utf16("[ hotKEY ]\r\n vkrun = 0x10 \r\n", true), "VKRun",
       16},
      {"UTF-16BE", Utf16(head + "VKRun=5\r\n", false), "VKRun", 5},
      {"UTF-16 without signature", Utf16(head + "VKRun=5\r\n", true, false), "VKRun", kFallback},
  };
}

struct Assignment {
  std::string section;
  std::string key;
  std::string value;
};

struct WriteCase {
  const char* what;
  std::string file;  // empty: no file at all
  std::vector<Assignment> writes;
  std::string expected;
  // False where the platform's own writer rewrites the whole file in its
  // normal form (Wine drops blank lines and spacing, Windows keeps them);
  // then only the values read back must agree.
  bool sameBytesOnWine = true;
  std::vector<std::pair<std::string, std::string>> otherKeys = {};
};

inline std::vector<Assignment> SixDefaults() {
  return {{"HotKey", "CtrlRun", "2"}, {"HotKey", "VKRun", "89"}, {"HotKey", "CtrlOver", "2"},
          {"HotKey", "VKOver", "84"}, {"HotKey", "CtrlXY", "2"}, {"HotKey", "VKXY", "70"}};
}

inline std::vector<WriteCase> WriteCases() {
  const Assignment ctrlRun = {"HotKey", "CtrlRun", "2"};
  return {
      {"new file", "", {ctrlRun}, "[HotKey]\r\nCtrlRun=2\r\n"},
      {"six keys into a new file", "", SixDefaults(),
       "[HotKey]\r\nCtrlRun=2\r\nVKRun=89\r\nCtrlOver=2\r\nVKOver=84\r\nCtrlXY=2\r\nVKXY=70\r\n"},
      {"six keys among other sections",
       "[Window]\r\nx=10\r\n[HotKey]\r\nVKRun=65\r\nExtra=yes\r\n[Tail]\r\nz=1\r\n",
       SixDefaults(),
       "[Window]\r\nx=10\r\n[HotKey]\r\nVKRun=89\r\nExtra=yes\r\nCtrlRun=2\r\nCtrlOver=2\r\n"
       "VKOver=84\r\nCtrlXY=2\r\nVKXY=70\r\n[Tail]\r\nz=1\r\n",
       true,
       {{"Window", "x"}, {"HotKey", "Extra"}, {"Tail", "z"}}},
      {"changed value",
       "[HotKey]\r\nCtrlRun=1\r\nVKRun=89\r\n",
       {ctrlRun},
       "[HotKey]\r\nCtrlRun=2\r\nVKRun=89\r\n"},
      {"new key before the next section",
       "[HotKey]\r\nVKRun=5\r\n[Other]\r\na=1\r\n",
       {ctrlRun},
       "[HotKey]\r\nVKRun=5\r\nCtrlRun=2\r\n[Other]\r\na=1\r\n"},
      {"new section at the end",
       "x=1\r\n[Other]\r\na=1\r\n",
       {ctrlRun},
       "x=1\r\n[Other]\r\na=1\r\n[HotKey]\r\nCtrlRun=2\r\n"},
      {"new section after a last line without line end",
       "[Other]\r\na=1",
       {ctrlRun},
       "[Other]\r\na=1\r\n[HotKey]\r\nCtrlRun=2\r\n"},
      {"new key after a last line without line end",
       "[HotKey]\r\nVKRun=5",
       {ctrlRun},
       "[HotKey]\r\nVKRun=5\r\nCtrlRun=2\r\n"},
      {"new key under a lone section line", "[HotKey]", {ctrlRun}, "[HotKey]\r\nCtrlRun=2\r\n"},
      {"names keep the file's spelling",
       "[hotkey]\r\nctrlrun=1\r\n",
       {ctrlRun},
       "[hotkey]\r\nctrlrun=2\r\n"},
      {"same value leaves the file alone",
       "[HotKey]\r\nCtrlRun = 2 \r\n",
       {ctrlRun},
       "[HotKey]\r\nCtrlRun = 2 \r\n"},
      {"changed line loses its spacing",
       "[HotKey]\r\n  CtrlRun = 3 \r\n",
       {ctrlRun},
       "[HotKey]\r\nCtrlRun=2\r\n"},
      {"leading blanks of the value dropped",
       "",
       {{"HotKey", "VKRun", "  89"}},
       "[HotKey]\r\nVKRun=89\r\n"},
      {"line without equals sign gets the value",
       "[HotKey]\r\nCtrlRun\r\n",
       {ctrlRun},
       "[HotKey]\r\nCtrlRun=2\r\n"},
      {"comments stay",
       "; settings\r\n[HotKey]\r\n; run\r\nCtrlRun=1\r\n",
       {ctrlRun},
       "; settings\r\n[HotKey]\r\n; run\r\nCtrlRun=2\r\n"},
      {"first of repeated sections",
       "[HotKey]\r\nVKRun=1\r\n[HotKey]\r\nCtrlRun=3\r\n",
       {ctrlRun},
       "[HotKey]\r\nVKRun=1\r\nCtrlRun=2\r\n[HotKey]\r\nCtrlRun=3\r\n"},
      // Its bytes must survive; its names are not looked up, as the platform
      // decodes an ANSI file by the system code page, which need not be GBK.
      {"Chinese text elsewhere",
       "[设置]\r\n名字=中文\r\n"_gbk,
       {ctrlRun},
       "[设置]\r\n名字=中文\r\n[HotKey]\r\nCtrlRun=2\r\n"_gbk},
      {"UTF-8 file",
       "\xEF\xBB\xBF[A]\r\nb=1\r\n",
       {ctrlRun},
       "\xEF\xBB\xBF[A]\r\nb=1\r\n[HotKey]\r\nCtrlRun=2\r\n"},
      {"UTF-16LE file",
       Utf16("[HotKey]\r\nVKRun=7\r\n", true),
       {ctrlRun},
       Utf16("[HotKey]\r\nVKRun=7\r\nCtrlRun=2\r\n", true)},
      {"UTF-16BE file",
       Utf16("[HotKey]\r\nVKRun=7\r\n", false),
       {ctrlRun},
       Utf16("[HotKey]\r\nVKRun=7\r\nCtrlRun=2\r\n", false)},
      {"blank lines and spacing elsewhere stay",
       "\r\n[HotKey]\r\n\r\nVKRun = 5\r\n\r\n[Other]\r\na = 1\r\n",
       {ctrlRun},
       "\r\n[HotKey]\r\n\r\nVKRun = 5\r\nCtrlRun=2\r\n\r\n[Other]\r\na = 1\r\n",
       false,
       {{"HotKey", "VKRun"}, {"Other", "a"}}},
      {"blank lines at the end stay",
       "[Other]\r\na=1\r\n\r\n",
       {ctrlRun},
       "[Other]\r\na=1\r\n\r\n[HotKey]\r\nCtrlRun=2\r\n",
       false,
       {{"Other", "a"}}},
      {"LF lines stay",
       "[HotKey]\nVKRun=5\n",
       {ctrlRun},
       "[HotKey]\nVKRun=5\nCtrlRun=2\r\n",
       false,
       {{"HotKey", "VKRun"}}},
  };
}

}  // namespace kestro::ini_cases
