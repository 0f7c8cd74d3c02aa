#include "flow/merged_rows.hpp"

#include <bit>
#include <limits>

namespace tradepl {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
// Where an undated row stands when no dated row came before it in its log.
constexpr std::int64_t kBeforeEveryDay = std::numeric_limits<std::int64_t>::min();

std::int64_t dayNumber(const Day& day) {
  return (day.year * 16 + day.month) * 32 + day.day;
}

void appendNumber(std::string& out, std::int64_t number) {
  out.append(reinterpret_cast<const char*>(&number), sizeof number);
}

void appendText(std::string& out, Text text) {
  appendNumber(out, static_cast<std::int64_t>(text.view().size()));
  out += text.view();
}

// A price as a value: 2650 and 2650.0 are one price, and so are 0 and -0.
void appendPrice(std::string& out, double price) {
  appendNumber(out, std::bit_cast<std::int64_t>(price + 0.0));
}

// Every column of a row as read: numbers as values, texts as bytes.
void appendColumns(std::string& out, const TradeRow& row) {
  appendText(out, row.execDateTime);
  appendNumber(out, row.execNo);
  appendNumber(out, row.stockCode.isSymbol() ? 0 : row.stockCode.number);
  appendText(out, row.stockCode.symbol);
  for (const Text text : {row.stockName, row.tradeType, row.side, row.market, row.account,
                          row.settlementDate, row.marginType}) {
    appendText(out, text);
  }
  for (const std::int64_t number :
       {row.quantity, row.commission, row.commissionTax, row.settlementAmount, row.positionQty,
        row.openCommission, row.openCommissionTax, row.managementFee, row.transferFee, row.interest,
        row.lendingFee, row.borrowingPremium}) {
    appendNumber(out, number);
  }
  appendPrice(out, row.unitPrice);
  appendPrice(out, row.positionPrice);
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
  if (!started_) {
    started_ = true;
    for (std::size_t i = 0; i < heads_.size(); ++i) advance(i);
  } else if (current_ != kNone) {
    advance(current_);  // the row handed out last is done with
  }
  for (;;) {
    choose();
    if (current_ == kNone) return nullptr;
    if (!isDuplicate(current_)) return heads_[current_].row;
    heads_[current_].source->countDuplicate();
    advance(current_);
  }
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

void MergedRows::choose() {
  if (current_ != kNone && heads_[current_].row && staysAhead(heads_[current_])) return;
  // The earliest day of any next row, and the earliest time on it; the first source whose
  // next row is of that day, and has no time or that time, is not later than any other.
  // The same look at the others tells how long the chosen one stays ahead of them.
  const auto earliest = [this](std::size_t except) {
    Others found;
    for (std::size_t i = 0; i < heads_.size(); ++i) {
      const Head& head = heads_[i];
      if (i == except || !head.row) continue;
      if (!found.any || head.key.day < found.day) {
        found = {true, head.key.day, -1, kNone, kNone};
      }
      if (head.key.day == found.day && head.key.minute >= 0 &&
          (found.minute < 0 || head.key.minute < found.minute)) {
        found.minute = head.key.minute;
      }
    }
    for (std::size_t i = heads_.size(); i-- > 0;) {
      const Head& head = heads_[i];
      if (i == except || !head.row || head.key.day != found.day) continue;
      if (head.key.minute < 0) found.firstUntimed = i;
      if (head.key.minute < 0 || head.key.minute == found.minute) found.firstEarliest = i;
    }
    return found;
  };
  const Others all = earliest(kNone);
  current_ = all.any ? all.firstEarliest : kNone;
  if (current_ != kNone) others_ = earliest(current_);
}

bool MergedRows::isDuplicate(std::size_t source) {
  const Head& head = heads_[source];
  if (!inRun_ || !(head.key == runKey_)) {
    // Only a log whose next row has the run's key now can add rows to the run.
    inRun_ = true;
    runKey_ = head.key;
    seen_.clear();
    comparing_ = false;
    for (std::size_t i = 0; i < heads_.size(); ++i) {
      comparing_ = comparing_ || (i != source && heads_[i].row && heads_[i].key == head.key);
    }
  }
  if (!comparing_) return false;
  columns_.clear();
  appendColumns(columns_, *head.row);
  Seen& seen = seen_[columns_];
  seen.perSource.resize(heads_.size());
  const std::uint32_t count = ++seen.perSource[source];
  if (count <= seen.counted) return true;
  seen.counted = count;
  return false;
}

}  // namespace tradepl
