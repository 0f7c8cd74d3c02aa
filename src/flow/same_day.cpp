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

void appendRecord(std::string& out, const TradeRow& row) {
  out.append(reinterpret_cast<const char*>(&row), sizeof row);
  for (const Text text : row.texts) out += text.view();
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
  if (!spilling_ && !fileFailed_ && memory_.size() + size > memoryBound_) spill();
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
  appendRecord(memory_, row);
}

void WaitingRows::spill() {
  if (!file_) file_.reset(platform::openTemporaryFile());
  if (!file_ || !platform::seekTo(file_.get(), 0) ||
      std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) != memory_.size()) {
    fileFailed_ = true;
    return;
  }
  spilling_ = true;
  fileBytes_ = memory_.size();
  memory_.clear();
  memory_.shrink_to_fit();
}

bool WaitingRows::drain(const TakeRow& take) {
  const bool read = !spilling_ || drainFile(take);
  drainMemory(take);
  memory_.clear();
  spilling_ = false;
  fileFailed_ = false;
  fileBytes_ = 0;
  count_ = 0;
  return read;
}

void WaitingRows::drainMemory(const TakeRow& take) {
  for (std::size_t at = 0; at < memory_.size();) {
    TradeRow row;
    std::memcpy(&row, memory_.data() + at, sizeof row);
    pointTextsAt(row, memory_.data() + at + sizeof row);
    at += sizeof row + textBytes(row);
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

bool SameDayOrder::take(const TradeRow& row, const TakeRow& apply) {
  const std::optional<Day> day = dayOf(row.executed.date);
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
