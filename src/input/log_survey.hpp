#pragma once
// Looking a log over before it is read: its encoding, its kind, its line ends, its heading
// line, and whether it lists its trades newest first. Internal to the log reader.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "input/log_bytes.hpp"
#include "input/log_encoding.hpp"
#include "input/log_report.hpp"
#include "records/records.hpp"

namespace tradepl::detail {

// What looking a log over found: how it is to be read, or why it is not read at all.
struct LogSurvey {
  LogRefusal refusal = LogRefusal::none;
  LogKind kind = LogKind::spot;  // what its rows read as, whatever it was named as
  LogEncoding encoding = LogEncoding::shiftJis;
  bool recognised = false;  // its first block holds a heading line or a row of its kind
  FileProblem failure;
  std::size_t headBytes = 0;  // the log's first block, in the buffer
  bool headIsAll = false;     // the first block holds the whole log
  char lineEnd = '\n';
  std::uint64_t headingLine = 0;  // the lines up to this one are headings and a preamble
  std::uint64_t headLooked = 0;   // where the lines looked at in the first block end
  // Pairs of consecutive dated rows, in the first block and the last: those whose second row
  // was executed before the first, and those executed after it.
  std::uint64_t pairsBack = 0;
  std::uint64_t pairsForward = 0;
  bool newestFirst = false;
};

// Looks the log over: reads its first block into the front of `buffer`, where it stays to be
// read first, and its last block, where the log can be read from any place. `log` is the kind
// it was named as; `encoding`, where known already, how its text is written. A UTF-16 log
// is only found to be one: it is to be decoded and looked over again.
LogSurvey surveyLog(LogBytes& bytes, LogKind log, std::span<char> buffer,
                    LogEncoding encoding = LogEncoding::shiftJis);

// True for a line that holds a trade type in UTF-8: a line saved in the wrong encoding.
bool holdsKeywordInUtf8(std::string_view line);

}  // namespace tradepl::detail
