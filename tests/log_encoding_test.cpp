// Logs saved in Unicode: UTF-8 told apart, UTF-16 decoded.

#include "input/log_encoding.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_reading.hpp"

namespace tradepl {
namespace {

using testing::Lines;
using testing::read;
using testing::Recorder;

TEST(IsUtf8, TakesWellFormedUtf8Only) {
  struct Case {
    std::string text;
    bool utf8;
  };
  for (const Case& c : std::vector<Case>{{"7203,abc", true},
                                         {"\xE7\x8F\xBE\xE7\x89\xA9", true},  // 現物
                                         {"\xF0\x9F\x98\x80", true},          // an emoji
                                         {"\x8C\xBB\x95\xA8", false},         // 現物 in Shift_JIS
                                         {"\xC0\xAF", false},                 // overlong '/'
                                         {"\xED\xA0\x80", false},             // a surrogate
                                         {"\xF4\x90\x80\x80", false},         // past U+10FFFF
                                         {"\xE7\x8F", false}}) {              // cut short
    EXPECT_EQ(detail::isUtf8(c.text), c.utf8) << c.text;
  }
}

// A UTF-16 log is decoded whole, surrogate pairs included: a character beyond the Basic
// Multilingual Plane has no Shift_JIS form, so its line is skipped and the others kept.
TEST(LogReader, DecodesUtf16AndSkipsALineShiftJisCannotHold) {
  std::string log = "\xFF\xFE";
  const std::string text = "heading\n";
  for (const char c : text) log += std::string{c, '\0'};
  log += std::string("\x3D\xD8\x00\xDE\n\0", 6);  // U+1F600, an emoji, as a surrogate pair
  Recorder emoji;
  const LogReport report = read(LogKind::spot, log, emoji);
  EXPECT_EQ(report.savedIn, LogEncoding::utf16);
  EXPECT_EQ(emoji.skippedLines, Lines{2});
  EXPECT_EQ(emoji.problems, std::vector<LineProblemKind>{LineProblemKind::notInShiftJis});
}

}  // namespace
}  // namespace tradepl
