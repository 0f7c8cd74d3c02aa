// Logs saved in Unicode: UTF-8 told apart, UTF-16 decoded.

#include "input/log_encoding.hpp"

#include <gtest/gtest.h>

#include <optional>
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

struct DecodeCase {
  LogEncoding encoding;
  std::string line;
  std::optional<std::string> shiftJis;
  LineProblemKind problem;  // when it does not convert
};

TEST(LineDecoder, HandsALineOnAsShiftJisOrSaysWhyNot) {
  const std::string genbutsu = "\x8C\xBB\x95\xA8";  // 現物
  const std::string inUtf8 = "\xE7\x8F\xBE\xE7\x89\xA9";
  const LogEncoding utf8 = LogEncoding::utf8;
  for (const DecodeCase& c : std::vector<DecodeCase>{
           {LogEncoding::shiftJis, genbutsu, genbutsu, {}},
           {LogEncoding::shiftJis, inUtf8, inUtf8, {}},  // as it stands, whatever it holds
           {utf8, "7203," + inUtf8, "7203," + genbutsu, {}},
           {utf8, "\xEF\xBB\xBF" + inUtf8, genbutsu, {}},  // without its byte-order mark
           {utf8, genbutsu, std::nullopt, LineProblemKind::invalidUtf8},
           {utf8, "\xF0\x9F\x98\x80", std::nullopt, LineProblemKind::notInShiftJis},
       }) {
    detail::LineDecoder decoder(c.encoding);
    LineProblem problem;
    const std::optional<std::string_view> decoded = decoder.shiftJis(c.line, problem);
    EXPECT_EQ(decoded ? std::optional<std::string>(*decoded) : std::nullopt, c.shiftJis) << c.line;
    if (!c.shiftJis) {
      EXPECT_EQ(problem.kind, c.problem) << c.line;
    }
  }
}

}  // namespace
}  // namespace tradepl
