#pragma once
// The logs of one kind as one stream of rows in time: an investor's yearly exports,
// overlapping by a month and named in any order, read as the one history they are.
//
// At each step the next row is taken from the first-named log whose next row is not later
// than any other log's next row. Rows compare by their execution dates, as the logs are
// ordered: a row without a time ties with every row of its day. For the merge only, a row
// whose date does not read stands where the dated row before it in its log stands (before
// every row of every log where there is none). Each log keeps its own order.
//
// Overlapping exports hold the same trades twice. Within a run of consecutive rows of the
// stream with equal dates and times (a row without a time has its day alone), a row equal
// in every column to a row taken from another log is a duplicate: each row is counted as
// many times as the log that holds it most often, so two exports that both hold two equal
// fills of one order give two trades, not four. Within one log nothing is dropped.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "input/row_source.hpp"
#include "records/records.hpp"

namespace tradepl {

class MergedRows {
 public:
  // The sources in the order the logs were named; they outlive the stream.
  explicit MergedRows(std::span<RowSource* const> sources);

  // The next row of the stream, or nothing at its end. It lives until the next call. A
  // duplicate is not handed out: its source counts it.
  const TradeRow* next();

 private:
  // Where a row stands in the merge: its day, and its minute, or -1 without a time.
  struct Key {
    std::int64_t day = 0;
    std::int32_t minute = -1;
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct Head {
    RowSource* source = nullptr;
    const TradeRow* row = nullptr;  // nothing once the source is read
    Key key;
    Key lastDated;  // where the source's undated rows stand
  };
  // Rows of the run with equal columns: how often they came from each log (from perSource on
  // in counts_), and how often they count. Kept from run to run, so that their storage is
  // reused.
  struct Seen {
    std::uint64_t hash = 0;
    std::string columns;
    std::size_t perSource = 0;
    std::uint32_t counted = 0;
  };

  const TradeRow* passOn();
  void advance(std::size_t source);
  // How the heads of the sources but one stand: while rows are taken from current_, the
  // others'.
  struct Others {
    bool any = false;
    std::int64_t day = 0;           // the earliest day among them
    std::int32_t minute = -1;       // the earliest time on it, -1 when none has a time
    std::size_t firstEarliest = 0;  // the first source that stands earliest on that day
    std::size_t firstUntimed = 0;   // the first source without a time on that day
  };
  Others earliest(std::size_t except) const;
  void choose();
  bool staysAhead(const Head& head) const;
  bool isDuplicate(std::size_t source);
  Seen& seenInRun(std::uint64_t hash);

  std::vector<Head> heads_;
  bool started_ = false;
  std::size_t current_;  // the source the last row came from
  Others others_;
  // The run of rows with one key, and the rows seen in it where another log can add to it.
  Key runKey_;
  bool inRun_ = false;
  bool comparing_ = false;
  static constexpr std::size_t kLookAtEach = 16;
  std::vector<Seen> seen_;
  std::size_t seenInRun_ = 0;  // how many of seen_ are the run's
  std::vector<std::uint32_t> counts_;
  // Where the rows seen are by their hash, once a run has more of them than a look at each
  // is worth.
  std::unordered_multimap<std::uint64_t, std::size_t> byHash_;
  std::string columns_;
};

}  // namespace tradepl
