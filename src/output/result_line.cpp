#include "output/result_line.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

// printf's "%.2f" from the double's exact value m * 2^e: m * 100 fits in 64 bits, and
// shifting it right by -e, rounding the bits shifted out to nearest (a half to even, as
// glibc does), gives the cents exactly. Three times as fast as to_chars with a precision,
// which matters with a line per result; the rare value outside the range, to_chars.
std::optional<std::uint64_t> exactCents(double magnitude) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased = static_cast<int>(bits >> 52);
  if (biased == 0) return 0;  // zero, or too small to reach a cent
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
  const int shift = 1075 - biased;  // magnitude = mantissa * 2^-shift
  if (shift <= 0) return std::nullopt;
  if (shift >= 64) return 0;  // below 2^-11: rounds to 0.00
  const std::uint64_t scaled = mantissa * 100;
  std::uint64_t cents = scaled >> shift;
  const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (rest > half || (rest == half && (cents & 1) != 0)) ++cents;
  return cents;
}

// The buffer is sized for the longest case: five 64-bit numbers and two doubles of 313
// characters in fixed notation.
class NumberColumns {
 public:
  NumberColumns& number(std::int64_t value) { return put(std::to_chars(at_, end(), value)); }
  NumberColumns& optional(const std::optional<std::int64_t>& value) {
    return value ? number(*value) : *this;
  }
  // A whole price as an integer ("2345"), a fractional one as the shortest decimal that
  // reads back as the same double ("2345.5").
  NumberColumns& price(double value) {
    if (std::fabs(value) < 0x1p62 && std::trunc(value) == value) {
      return number(static_cast<std::int64_t>(value));
    }
    return put(std::to_chars(at_, end(), value, std::chars_format::fixed));
  }
  NumberColumns& twoDecimals(double value) {
    value += 0.0;  // minus zero prints as 0.00
    const std::optional<std::uint64_t> cents = exactCents(std::fabs(value));
    if (!cents) return put(std::to_chars(at_, end(), value, std::chars_format::fixed, 2));
    if (std::signbit(value)) *at_++ = '-';
    number(static_cast<std::int64_t>(*cents / 100));
    const auto fraction = static_cast<char>(*cents % 100);
    *at_++ = '.';
    *at_++ = static_cast<char>('0' + fraction / 10);
    *at_++ = static_cast<char>('0' + fraction % 10);
    return *this;
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

}  // namespace

void appendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void appendStockCode(std::string& out, const StockCode& code) {
  if (code.isSymbol()) {
    out += code.symbol.view();
    return;
  }
  char buffer[24];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, code.number);
  std::string_view digits(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const bool negative = code.number < 0;
  if (negative) {
    out += '-';
    digits.remove_prefix(1);
  }
  for (std::size_t width = digits.size() + (negative ? 1 : 0); width < 4; ++width) out += '0';
  out += digits;
}

void appendResultHeading(std::string& out, bool detail) {
  using namespace sjis;
  for (const std::string_view heading :
       {kExecYear, kExecMonth, kExecDay, kStockCode, kStockName, kQuantity, kUnitPrice,
        kAveragePrice, kCommission, kCommissionTax}) {
    out += heading;
    out += ',';
  }
  out += kProfit;
  if (detail) {
    for (const std::string_view heading : {kAccount, kTradeType, kSettlementDate}) {
      out += ',';
      out += heading;
    }
  }
  out += kLineEnd;
}

void appendResultLine(std::string& out, const ResultRow& result, bool detail) {
  const TradeRow& trade = *result.row;
  const CalendarDate& date = trade.executed.date;
  NumberColumns columns;
  columns.optional(date.year).comma().optional(date.month).comma().optional(date.day).comma();
  columns.appendTo(out);
  appendStockCode(out, trade.stockCode);
  out += ',';
  appendText(out, trade.stockName.view());
  columns.comma().number(trade.quantity).comma().price(result.unitPrice).comma();
  columns.twoDecimals(result.averagePrice).comma().number(result.commission).comma();
  columns.number(result.commissionTax).comma().number(result.profit);
  columns.appendTo(out);
  if (detail) {
    for (const Text text : {trade.account, trade.tradeType, trade.settlementDate}) {
      out += ',';
      appendText(out, text.view());
    }
  }
  out += kLineEnd;
}

}  // namespace tradepl
