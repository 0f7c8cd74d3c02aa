#include "flow/merged_rows.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace tradepl {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
// Where an undated row stands when no dated row came before it in its log.
constexpr std::int64_t kBeforeEveryDay = std::numeric_limits<std::int64_t>::min();

std::int64_t dayNumber(const Day& day) {
  return (day.year * 16 + day.month) * 32 + day.day;
}

// A price as a value: 2650 and 2650.0 are one price, and so are 0 and -0.
std::int64_t priceBits(double price) {
  return std::bit_cast<std::int64_t>(price + 0.0);
}

// A hash of a row's columns that tells most different rows apart at little cost; equal
// columns are then compared whole.
std::uint64_t quickHash(const TradeRow& row) {
  std::uint64_t hash = 0x9E3779B97F4A7C15u;
  for (const std::int64_t number :
       {row.execNo, row.stockCode().number, row.quantity, row.commission, row.settlementAmount,
        priceBits(row.unitPrice), static_cast<std::int64_t>(row.stockName().view().size()),
        static_cast<std::int64_t>(row.side().view().size())}) {
    hash = (hash ^ static_cast<std::uint64_t>(number)) * 0x100000001B3u;
  }
  return hash;
}

// Every column of a row as read, in `out`: numbers as values, texts as bytes. Written in one
// go, since rows of overlapping exports go through here by the thousand.
void writeColumns(std::string& out, const TradeRow& row) {
  const std::int64_t numbers[] = {row.execNo,
                                  row.stockCode().isSymbol() ? 0 : row.stockCode().number,
                                  row.quantity,
                                  row.commission,
                                  row.commissionTax,
                                  row.settlementAmount,
                                  row.positionQty,
                                  row.openCommission,
                                  row.openCommissionTax,
                                  row.managementFee,
                                  row.transferFee,
                                  row.interest,
                                  row.lendingFee,
                                  row.borrowingPremium,
                                  priceBits(row.unitPrice),
                                  priceBits(row.positionPrice)};
  const std::string_view texts[] = {row.execDateTime().view(), row.stockCode().symbol.view(),
                                    row.stockName().view(),    row.tradeType().view(),
                                    row.side().view(),         row.market().view(),
                                    row.account().view(),      row.settlementDate().view(),
                                    row.marginType().view()};
  std::size_t size = sizeof numbers;
  for (const std::string_view text : texts) size += sizeof(std::uint32_t) + text.size();
  out.resize(size);
  char* at = out.data();
  std::memcpy(at, numbers, sizeof numbers);
  at += sizeof numbers;
  for (const std::string_view text : texts) {
    const auto length = static_cast<std::uint32_t>(text.size());
    std::memcpy(at, &length, sizeof length);
    if (!text.empty()) std::memcpy(at + sizeof length, text.data(), text.size());
    at += sizeof length + text.size();
  }
}

}  // namespace

MergedRows::MergedRows(std::span<RowSource* const> sources) : current_(kNone) {
  heads_.resize(sources.size());
  for (std::size_t i = 0; i < sources.size(); ++i) {
    heads_[i].source = sources[i];
    heads_[i].lastDated.day = kBeforeEveryDay;
  }
}

const TradeRow* MergedRows::next() {
  // One log is its own stream.
  if (heads_.size() == 1) return heads_.front().source->next();
  if (!started_) {
    started_ = true;
    for (std::size_t i = 0; i < heads_.size(); ++i) advance(i);
  } else if (current_ != kNone) {
    // The row handed out last is done with. Once the other logs are read, the one left is
    // the stream (a margin log's deliveries are most often none), but for the rest of a run
    // whose rows it may hold again.
    if (!others_.any && !comparing_) return passOn();
    advance(current_);
  }
  for (;;) {
    choose();
    if (current_ == kNone) return nullptr;
    if (!isDuplicate(current_)) return heads_[current_].row;
    heads_[current_].source->countDuplicate();
    advance(current_);
  }
}

const TradeRow* MergedRows::passOn() {
  Head& head = heads_[current_];
  head.row = head.source->next();
  if (!head.row) current_ = kNone;
  return head.row;
}

void MergedRows::advance(std::size_t source) {
  Head& head = heads_[source];
  head.row = head.source->next();
  if (!head.row) return;
  const std::optional<Day> day = dayOf(head.row->executed.date);
  if (!day) {
    head.key = head.lastDated;
    return;
  }
  head.key = {dayNumber(*day), head.row->executed.minuteOfDay.value_or(-1)};
  head.lastDated = head.key;
}

// The row taken last came from current_: as long as its source's next row still comes first,
// the others need not be looked at again.
bool MergedRows::staysAhead(const Head& head) const {
  if (!others_.any || head.key.day < others_.day) return true;
  if (head.key.day > others_.day) return false;
  if (head.key.minute < 0) return current_ < others_.firstEarliest;
  if (others_.minute < 0 || head.key.minute < others_.minute) {
    return current_ < others_.firstUntimed;
  }
  return head.key.minute == others_.minute && current_ < others_.firstEarliest;
}

// The earliest day of the sources' next rows, but `except`'s, and the earliest time on it;
// the first source whose next row is of that day, and has no time or that time, is not
// later than any other.
MergedRows::Others MergedRows::earliest(std::size_t except) const {
  Others found{false, 0, -1, kNone, kNone};
  for (std::size_t i = 0; i < heads_.size(); ++i) {
    const Head& head = heads_[i];
    if (i == except || !head.row) continue;
    const Key& key = head.key;
    if (!found.any || key.day < found.day) {
      found = {true, key.day, key.minute, i, key.minute < 0 ? i : kNone};
    } else if (key.day == found.day && key.minute < 0) {
      found.firstUntimed = std::min(found.firstUntimed, i);
      found.firstEarliest = std::min(found.firstEarliest, i);
    } else if (key.day == found.day && (found.minute < 0 || key.minute < found.minute)) {
      // An earlier time: of the rows before, only those without a time still stand as early.
      found.minute = key.minute;
      found.firstEarliest = std::min(found.firstUntimed, i);
    } else if (key.day == found.day && key.minute == found.minute) {
      found.firstEarliest = std::min(found.firstEarliest, i);
    }
  }
  return found;
}

void MergedRows::choose() {
  if (current_ != kNone && heads_[current_].row && staysAhead(heads_[current_])) return;
  if (current_ != kNone) {
    // The log of the row taken last no longer comes first: one of the others does. Where
    // its next row is timed before every other timed row of their day, only the others'
    // untimed rows still stand as early as it does, and one of them comes before it.
    const Key& key = heads_[current_].row ? heads_[current_].key : Key{};
    const bool earlierTime = heads_[current_].row && key.day == others_.day && key.minute >= 0 &&
                             (others_.minute < 0 || key.minute < others_.minute);
    current_ = !others_.any ? kNone : earlierTime ? others_.firstUntimed : others_.firstEarliest;
  } else {
    const Others all = earliest(kNone);
    current_ = all.any ? all.firstEarliest : kNone;
  }
  // The others, to tell how long the chosen one stays ahead of them.
  if (current_ != kNone) others_ = earliest(current_);
}

bool MergedRows::isDuplicate(std::size_t source) {
  const Head& head = heads_[source];
  if (!inRun_ || !(head.key == runKey_)) {
    // Only a log whose next row has the run's key now can add rows to the run.
    inRun_ = true;
    runKey_ = head.key;
    if (seenInRun_ > kLookAtEach) byHash_.clear();
    seenInRun_ = 0;
    counts_.clear();
    // The row comes first: no other log's next row is of an earlier day.
    comparing_ = false;
    for (std::size_t i = 0; others_.any && others_.day == head.key.day && i < heads_.size(); ++i) {
      comparing_ = comparing_ || (i != source && heads_[i].row && heads_[i].key == head.key);
    }
  }
  if (!comparing_) return false;
  writeColumns(columns_, *head.row);
  Seen& seen = seenInRun(quickHash(*head.row));
  const std::uint32_t count = ++counts_[seen.perSource + source];
  if (count <= seen.counted) return true;
  seen.counted = count;
  return false;
}

// The rows of the run with the columns in columns_, seen now for the first time or not.
MergedRows::Seen& MergedRows::seenInRun(std::uint64_t hash) {
  const auto isThis = [&](const Seen& seen) {
    return seen.hash == hash && seen.columns == columns_;
  };
  if (seenInRun_ <= kLookAtEach) {
    for (std::size_t i = 0; i < seenInRun_; ++i) {
      if (isThis(seen_[i])) return seen_[i];
    }
  } else {
    for (auto [at, end] = byHash_.equal_range(hash); at != end; ++at) {
      if (isThis(seen_[at->second])) return seen_[at->second];
    }
  }
  if (seenInRun_ == seen_.size()) seen_.emplace_back();
  Seen& seen = seen_[seenInRun_];
  seen.hash = hash;
  seen.columns.assign(columns_);
  seen.perSource = counts_.size();
  seen.counted = 0;
  counts_.resize(counts_.size() + heads_.size());
  if (seenInRun_ == kLookAtEach) {
    for (std::size_t i = 0; i < kLookAtEach; ++i) byHash_.emplace(seen_[i].hash, i);
  }
  if (seenInRun_ >= kLookAtEach) byHash_.emplace(hash, seenInRun_);
  ++seenInRun_;
  return seen;
}

}  // namespace tradepl
