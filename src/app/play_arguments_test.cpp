#include "app/play_arguments.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

using Mode = PlayArguments::Mode;

std::vector<NativePath> Arguments(std::initializer_list<const char*> words) {
  std::vector<NativePath> arguments;
  for (const char* word : words) arguments.push_back(AppendAscii({}, word));
  return arguments;
}

TEST(PlayArgumentsTest, WhatAStartAsksFor) {
  struct Case {
    std::initializer_list<const char*> words;
    Mode mode;
    const char* file;
    int count;
    bool loop;
  } cases[] = {
      {{}, Mode::Normal, "", 1, false},
      {{"--replaces=42"}, Mode::Normal, "", 1, false},
      {{"--help"}, Mode::Help, "", 1, false},
      {{"--play", "a.ini"}, Mode::Play, "a.ini", 1, false},
      {{"--play", "a.ini", "--count", "2"}, Mode::Play, "a.ini", 2, false},
      {{"--loop", "--play", "a b.ini"}, Mode::Play, "a b.ini", 1, true},
      {{"--replaces=42", "--play", "a.ini"}, Mode::Play, "a.ini", 1, false},
      {{"--play"}, Mode::Bad, "", 1, false},
      {{"--play", "a.ini", "--play", "b.ini"}, Mode::Bad, "", 1, false},
      {{"--play", "a.ini", "--count", "0"}, Mode::Bad, "", 1, false},
      {{"--play", "a.ini", "--count", "2147483648"}, Mode::Bad, "", 1, false},
      {{"--play", "a.ini", "--count", "2", "--loop"}, Mode::Bad, "", 1, false},
      {{"--play", "a.ini", "--count"}, Mode::Bad, "", 1, false},
      {{"--count", "2"}, Mode::Bad, "", 1, false},
      {{"--help", "--play", "a.ini"}, Mode::Bad, "", 1, false},
      {{"a.ini"}, Mode::Bad, "", 1, false},
      {{"--PLAY", "a.ini"}, Mode::Bad, "", 1, false},
  };
  for (const Case& c : cases) {
    PlayArguments parsed = ParsePlayArguments(Arguments(c.words));
    std::string trace;
    for (const char* word : c.words) trace += std::string(word) + " ";
    SCOPED_TRACE(trace);
    EXPECT_EQ(parsed.mode, c.mode);
    EXPECT_EQ(parsed.file, AppendAscii({}, c.file));
    EXPECT_EQ(parsed.count, c.count);
    EXPECT_EQ(parsed.loop, c.loop);
  }
}

// The request comes from another process: only exactly a request is one.
TEST(PlayArgumentsTest, RequestsRoundTripAndNothingElseDecodes) {
  const PlayRequest request{"例子.ini", {"单击键盘:a;", "", std::string(300, 'x')}, 7, true};
  const std::string bytes = EncodePlayRequest(request);
  EXPECT_EQ(DecodePlayRequest(bytes), request);
  EXPECT_EQ(DecodePlayRequest(EncodePlayRequest({"", {}, 1, false})),
            (PlayRequest{"", {}, 1, false}));
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    EXPECT_EQ(DecodePlayRequest(bytes.substr(0, cut)), std::nullopt) << cut;
  }
  EXPECT_EQ(DecodePlayRequest(bytes + "x"), std::nullopt);
  std::string changed = bytes;
  changed[0] = 'X';  // magic
  EXPECT_EQ(DecodePlayRequest(changed), std::nullopt);
  EXPECT_EQ(DecodePlayRequest(EncodePlayRequest({"", {}, 0, false})), std::nullopt);
  // A line count no payload could hold.
  changed = EncodePlayRequest({"", {}, 1, false});
  changed.replace(changed.size() - 4, 4, "\xFF\xFF\xFF\x7F");
  EXPECT_EQ(DecodePlayRequest(changed), std::nullopt);
}

}  // namespace
}  // namespace kestro
