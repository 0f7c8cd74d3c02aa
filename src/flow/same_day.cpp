#include "flow/same_day.hpp"

#include <cstring>
#include <type_traits>

#include "ledger/tax_rules.hpp"
#include "platform/files.hpp"

namespace tradepl {
namespace {

// A row copies whole as bytes; its texts are copied after it and pointed at again when it is
// read back.
static_assert(std::is_trivially_copyable_v<TradeRow>);

std::size_t textBytes(const TradeRow& row) {
  std::size_t size = 0;
  for (const Text text : row.texts) size += text.view().size();
  return size;
}

// One growth of `out` for the row's texts, `size` bytes in all, where appending them one by
// one checked its room nine times (9 M of the 33 M of WaitingRows::add on 2 x 200,000 lines).
void appendTexts(std::string& out, const TradeRow& row, std::size_t size) {
  out.resize(out.size() + size);
  char* at = out.data() + out.size() - size;
  for (const Text text : row.texts) {
    const std::string_view bytes = text.view();
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    at += bytes.size();
  }
}

void appendRecord(std::string& out, const TradeRow& row) {
  out.append(reinterpret_cast<const char*>(&row), sizeof row);
  appendTexts(out, row, textBytes(row));
}

// Points the row's texts, whose sizes it kept, at the bytes that follow it.
void pointTextsAt(TradeRow& row, const char* bytes) {
  for (Text& text : row.texts) {
    const std::size_t size = text.view().size();
    text = Text(std::string_view(bytes, size));
    bytes += size;
  }
}

}  // namespace

void WaitingRows::add(const TradeRow& row) {
  const std::size_t size = sizeof row + textBytes(row);
  if (!spilling_ && !fileFailed_ && memoryBytes() + size > memoryBound_) spill();
  ++count_;
  if (spilling_ && !fileFailed_) {
    record_.clear();
    appendRecord(record_, row);
    if (std::fwrite(record_.data(), 1, record_.size(), file_.get()) == record_.size()) {
      fileBytes_ += record_.size();
      return;
    }
    // The rows written so far stay in the file; this one and those after it wait in memory.
    fileFailed_ = true;
  }
  rows_.push_back(row);
  appendTexts(texts_, row, size - sizeof row);
}

void WaitingRows::spill() {
  if (!file_) file_.reset(platform::openTemporaryFile());
  if (!file_ || !platform::seekTo(file_.get(), 0)) {
    fileFailed_ = true;
    return;
  }
  fileBytes_ = 0;
  const char* texts = texts_.data();
  for (TradeRow& row : rows_) {
    pointTextsAt(row, texts);
    texts += textBytes(row);
    record_.clear();
    appendRecord(record_, row);
    if (std::fwrite(record_.data(), 1, record_.size(), file_.get()) != record_.size()) {
      fileFailed_ = true;
      return;
    }
    fileBytes_ += record_.size();
  }
  spilling_ = true;
  rows_.clear();
  rows_.shrink_to_fit();
  texts_.clear();
  texts_.shrink_to_fit();
}

bool WaitingRows::drain(const TakeRow& take) {
  const bool read = !spilling_ || drainFile(take);
  drainMemory(take);
  rows_.clear();
  texts_.clear();
  spilling_ = false;
  fileFailed_ = false;
  fileBytes_ = 0;
  count_ = 0;
  return read;
}

void WaitingRows::drainMemory(const TakeRow& take) {
  const char* texts = texts_.data();
  for (TradeRow& row : rows_) {
    pointTextsAt(row, texts);
    texts += textBytes(row);
    take(row);
  }
}

bool WaitingRows::drainFile(const TakeRow& take) {
  std::FILE* file = file_.get();
  if (std::fflush(file) != 0 || !platform::seekTo(file, 0)) return false;
  for (std::uint64_t at = 0; at < fileBytes_;) {
    TradeRow row;
    if (std::fread(&row, 1, sizeof row, file) != sizeof row) return false;
    record_.resize(textBytes(row));
    if (std::fread(record_.data(), 1, record_.size(), file) != record_.size()) return false;
    pointTextsAt(row, record_.data());
    at += sizeof row + record_.size();
    take(row);
  }
  return true;
}

namespace {

// The day of `date` when it is `day`, a day the calendar has, without asking the calendar
// again: a log's rows come a day's run at a time (5 M instructions on 2 x 200,000 lines).
std::optional<Day> dayOf(const CalendarDate& date, const std::optional<Day>& day) {
  if (day && date.year == day->year && date.month == day->month && date.day == day->day) {
    return day;
  }
  return dayOf(date);
}

}  // namespace

bool SameDayOrder::take(const TradeRow& row, const TakeRow& apply) {
  const std::optional<Day> day = dayOf(row.executed.date, day_);
  bool read = true;
  if (!day || day != day_) read = endOfDay(apply);
  day_ = day;
  if (!day || appliesFirstOnItsDay(row)) {
    apply(row);
  } else {
    waiting_.add(row);
  }
  return read;
}

bool SameDayOrder::endOfDay(const TakeRow& apply) {
  day_.reset();
  return waiting_.empty() || waiting_.drain(apply);
}

}  // namespace tradepl
