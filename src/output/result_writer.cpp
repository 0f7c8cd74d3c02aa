#include "output/result_writer.hpp"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

bool isScanfSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number the way scanf's %d does: leading white space, optional sign, digits.
// Advances `text` past it; an empty result leaves `text` where it was.
std::optional<std::int64_t> scanNumber(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && isScanfSpace(text[i])) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digitsStart = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digitsStart) return std::nullopt;
  // from_chars takes no '+'.
  const std::size_t from = text[start] == '+' ? start + 1 : start;
  std::int64_t value = 0;
  const auto [stop, error] = std::from_chars(text.data() + from, text.data() + i, value);
  if (error != std::errc{} || stop != text.data() + i) return std::nullopt;
  text.remove_prefix(i);
  return value;
}

bool skipDateSeparator(std::string_view& text) {
  if (text.empty() || (text.front() != '/' && text.front() != '-')) return false;
  text.remove_prefix(1);
  return true;
}

// Builds the numeric stretches of a line in a local buffer, so that the output string is
// appended to a few times per line rather than once per character. The buffer holds the
// longest case: five 64-bit numbers and two doubles of 313 characters in fixed notation.
class NumberColumns {
 public:
  NumberColumns& number(std::int64_t value) { return put(std::to_chars(at_, end(), value)); }
  NumberColumns& optional(const std::optional<std::int64_t>& value) {
    return value ? number(*value) : *this;
  }
  // A whole price as an integer ("2345"), a fractional one as the shortest decimal that
  // reads back as the same double ("2345.5").
  NumberColumns& price(double value) {
    return put(std::to_chars(at_, end(), value + 0.0, std::chars_format::fixed));
  }
  // Exactly two decimals, rounded as printf's %.2f rounds.
  NumberColumns& average(double value) {
    return put(std::to_chars(at_, end(), value + 0.0, std::chars_format::fixed, 2));
  }
  NumberColumns& comma() {
    *at_++ = ',';
    return *this;
  }
  void appendTo(std::string& out) {
    out.append(buffer_, at_);
    at_ = buffer_;
  }

 private:
  char* end() { return buffer_ + sizeof buffer_; }
  NumberColumns& put(std::to_chars_result written) {
    at_ = written.ptr;  // the buffer is sized so that this never fails
    return *this;
  }

  char buffer_[1024];
  char* at_ = buffer_;
};

// The name as stored; quoted only when it would otherwise break the line into other
// columns, so every line keeps its 11 columns.
void appendName(std::string& out, std::string_view name) {
  if (name.find_first_of(",\"\r") == std::string_view::npos) {
    out += name;
    return;
  }
  out += '"';
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// A file beside `path` that nobody else is using: created exclusively, under a name no
// other run picks.
std::FILE* createTemporaryBeside(const std::string& path, std::string& temporaryPath) {
  std::mt19937_64 random(static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    temporaryPath = path + suffix;
    errno = 0;
    if (std::FILE* file = platform::createNewFile(temporaryPath)) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Output goes out in large blocks; one write per line would dominate a big run. After a
// failed write nothing more is written, and the reason is kept from the moment it happened.
class BlockWriter {
 public:
  static constexpr std::size_t kBlockSize = 1 << 20;

  BlockWriter(std::FILE* file, const BlockWrite& writeBlock)
      : file_(file), writeBlock_(writeBlock) {
    block_.reserve(kBlockSize + 4096);
  }

  std::string& block() { return block_; }
  void flushIfFull() {
    if (block_.size() >= kBlockSize) flush();
  }
  void flush() {
    if (error_ == 0 && !block_.empty()) {
      errno = 0;
      if (!writeBlock_(file_, block_)) error_ = errno != 0 ? errno : EIO;
    }
    block_.clear();
  }
  // The errno of the failed write, or 0.
  int error() const { return error_; }

 private:
  std::FILE* file_;
  const BlockWrite& writeBlock_;
  std::string block_;
  int error_ = 0;
};

}  // namespace

ExecutionDate splitExecutionDate(std::string_view dateTime) {
  ExecutionDate date;
  date.year = scanNumber(dateTime);
  if (!date.year || !skipDateSeparator(dateTime)) return date;
  date.month = scanNumber(dateTime);
  if (!date.month || !skipDateSeparator(dateTime)) return date;
  date.day = scanNumber(dateTime);
  return date;
}

void appendResultHeading(std::string& out) {
  using namespace sjis;
  for (const std::string_view heading :
       {kExecYear, kExecMonth, kExecDay, kStockCode, kStockName, kQuantity, kUnitPrice,
        kAveragePrice, kCommission, kCommissionTax}) {
    out += heading;
    out += ',';
  }
  out += kProfit;
  out += kLineEnd;
}

void appendResultLine(std::string& out, const ResultRow& result) {
  const TradeRow& trade = result.trade;
  const ExecutionDate date = splitExecutionDate(trade.execDateTime.view());
  NumberColumns columns;
  columns.optional(date.year).comma().optional(date.month).comma().optional(date.day).comma();
  columns.appendTo(out);
  appendStockCode(out, trade.stockCode);
  out += ',';
  appendName(out, trade.stockName.view());
  columns.comma().number(trade.quantity).comma().price(trade.unitPrice).comma();
  columns.average(result.averagePrice).comma().number(trade.commission).comma();
  columns.number(trade.commissionTax).comma().number(result.profit);
  columns.appendTo(out);
  out += kLineEnd;
}

bool writeToFile(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

std::string writeResultLog(const std::string& path, const ResultList& results,
                           const BlockWrite& writeBlock) {
  if (platform::isDirectory(path)) return "is a directory";
  std::string temporaryPath;
  std::FILE* file = createTemporaryBeside(path, temporaryPath);
  if (file == nullptr) return "cannot create a file there: " + platform::systemReason(errno);

  BlockWriter writer(file, writeBlock);
  appendResultHeading(writer.block());
  for (const ResultRow& result : results) {
    appendResultLine(writer.block(), result);
    writer.flushIfFull();
  }
  writer.flush();
  int error = writer.error();
  if (error == 0 && std::fflush(file) != 0) error = errno != 0 ? errno : EIO;
  if (std::fclose(file) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  if (error != 0) {
    platform::removeFile(temporaryPath);
    return "write error: " + platform::systemReason(error);
  }
  std::string failure = platform::replaceFile(temporaryPath, path);
  if (!failure.empty()) platform::removeFile(temporaryPath);
  return failure;
}

}  // namespace tradepl
