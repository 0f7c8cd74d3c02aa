#pragma once
// The order in which the tax office's method applies the rows of a log: within a run of
// consecutive rows that share one execution date, the purchases in a 特定口座 come before
// the other rows of the run, each group in the order of the log (the same-day rule, see
// appliesFirstOnItsDay). Such a purchase is handed on at once; every other row of the day
// waits for the day to end. A row whose date does not read stands alone.
//
// The rows that wait are kept in memory up to a bound, and past it in a temporary file, so
// that a day of any size comes out right while memory stays bounded. Should no temporary
// file be had, they stay in memory: a right result is worth more than the bound.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "records/records.hpp"

namespace tradepl {

// What rows are handed to: a callable that outlives the call it is passed to. A pointer and
// a plain function, where a std::function per row was built, copied and called through two
// levels (24 M of 1,014 M instructions on 2 x 200,000 lines with --tax).
class TakeRow {
 public:
  template <typename Take>
  requires(!std::is_same_v<std::remove_cvref_t<Take>, TakeRow>) TakeRow(Take&& take)
      : object_(const_cast<void*>(static_cast<const void*>(&take))),
        call_([](void* object, const TradeRow& row) {
          (*static_cast<std::remove_reference_t<Take>*>(object))(row);
        }) {}

  void operator()(const TradeRow& row) const { call_(object_, row); }

 private:
  void* object_;
  void (*call_)(void*, const TradeRow&);
};

// Rows copied whole, texts and all, to be handed on later in the order they came.
class WaitingRows {
 public:
  // A day of an active trader's log holds a few hundred rows of about 500 bytes.
  static constexpr std::size_t kMemoryBound = std::size_t{8} << 20;

  explicit WaitingRows(std::size_t memoryBound = kMemoryBound) : memoryBound_(memoryBound) {}

  void add(const TradeRow& row);
  // Hands every row to `take`, in the order they came, and forgets them. A row lives until
  // `take` returns. False when the temporary file could not be read back to its end: the
  // rows after the failed read were not handed on.
  bool drain(const TakeRow& take);

  bool empty() const { return count_ == 0; }
  // Whether the rows waiting now went to a temporary file.
  bool spilled() const { return spilling_; }

 private:
  struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::size_t memoryBytes() const { return rows_.size() * sizeof(TradeRow) + texts_.size(); }
  void spill();
  void drainMemory(const TakeRow& take);
  bool drainFile(const TakeRow& take);

  std::size_t memoryBound_;
  // The rows that came before the spill, or after a write to the file failed, and their texts
  // one after the other. A row kept here copies once and is handed on in place: kept as
  // bytes, like in the file, each waiting row copied twice more (memcpy 17.7 M of 1,014 M
  // instructions on 2 x 200,000 lines with --tax).
  std::vector<TradeRow> rows_;
  std::string texts_;
  std::unique_ptr<std::FILE, CloseFile> file_;  // kept from day to day once made
  bool spilling_ = false;                       // the rows of this day go to the file
  bool fileFailed_ = false;  // the file could not be had, or a write to it failed
  std::uint64_t fileBytes_ = 0;
  std::string record_;  // one row, on its way to or from the file
  std::uint64_t count_ = 0;
};

class SameDayOrder {
 public:
  explicit SameDayOrder(std::size_t memoryBound = WaitingRows::kMemoryBound)
      : waiting_(memoryBound) {}

  // Takes the next row in the order the log is taken; hands rows to `apply` in the order
  // the rule applies them. False when rows that waited could not be read back.
  bool take(const TradeRow& row, const TakeRow& apply);
  // Ends the run of the day: hands on the rows still waiting, as take does.
  bool endOfDay(const TakeRow& apply);

 private:
  std::optional<Day> day_;
  WaitingRows waiting_;
};

}  // namespace tradepl
