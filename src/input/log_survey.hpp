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
  // Pairs of consecutive dated rows, in the first block and the last, that vote on the
  // log's order: pairs of two days on the order of the days, pairs of one day with two
  // times on the order within a day.
  struct Votes {
    std::uint64_t back = 0;     // the second row was executed before the first
    std::uint64_t forward = 0;  // after it
  };
  Votes days;
  Votes times;
  LogOrder order = LogOrder::oldestFirst;
};

// The order the votes give a log. The days go back when more pairs of days say so; within a
// day the order of the days holds unless at least two pairs of times say otherwise and
// outnumber those that agree, so that a stray time cannot turn a log's days inside out. A
// log of one day follows its times. A tie reads as written.
LogOrder orderByVotes(const LogSurvey::Votes& days, const LogSurvey::Votes& times);

// Looks the log over: reads its first block into the front of `buffer`, where it stays to be
// read first, and its last block, where the log can be read from any place. `log` is the kind
// it was named as; `encoding`, where known already, how its text is written. A UTF-16 log
// is only found to be one: it is to be decoded and looked over again.
LogSurvey surveyLog(LogBytes& bytes, LogKind log, std::span<char> buffer,
                    LogEncoding encoding = LogEncoding::shiftJis);

// True for a line that holds a trade type in UTF-8: a line saved in the wrong encoding.
bool holdsKeywordInUtf8(std::string_view line);

}  // namespace tradepl::detail
