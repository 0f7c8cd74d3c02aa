#include "output/result_line.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "records/numbers.hpp"
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

// The most a line's number columns take: eight 64-bit numbers of 20 characters, two doubles
// of up to 330 characters in fixed notation, and their commas.
constexpr std::size_t kNumbersBound = 8 * 20 + 2 * 330 + 16;

// Bytes that would break a text column into others, or end its line.
constexpr std::array<bool, 256> kBreaksColumn = [] {
  std::array<bool, 256> breaks{};
  breaks[','] = breaks['"'] = breaks['\r'] = true;
  return breaks;
}();

// Writes a result line forward from a place with room for it, as lineBound reckons it: no
// write checks for room.
class LineWriter {
 public:
  explicit LineWriter(char* at) : at_(at) {}

  char* at() const { return at_; }

  // Months, days and many fees have one or two digits: written without a call, and without
  // a branch on how many (two bytes stored, and the line goes on from the second or after it).
  LineWriter& number(std::int64_t value) {
    if (static_cast<std::uint64_t>(value) >= 100) return put(std::to_chars(at_, at_ + 20, value));
    const auto small = static_cast<unsigned>(value);
    const std::size_t single = small < 10 ? 1 : 0;
    const char digits[3] = {static_cast<char>('0' + small / 10),
                            static_cast<char>('0' + small % 10), 0};
    std::memcpy(at_, digits + single, 2);
    at_ += 2 - single;
    return *this;
  }
  LineWriter& optional(const std::optional<std::int64_t>& value) {
    return value ? number(*value) : *this;
  }
  // A whole price as an integer ("2345"), a fractional one as the shortest decimal that
  // reads back as the same double ("2345.5").
  LineWriter& price(double value) {
    if (std::fabs(value) < 0x1p62 && std::trunc(value) == value) {
      return number(static_cast<std::int64_t>(value));
    }
    return put(std::to_chars(at_, at_ + 330, value, std::chars_format::fixed));
  }
  LineWriter& twoDecimals(double value) {
    value += 0.0;  // minus zero prints as 0.00
    const std::optional<std::uint64_t> cents = exactCents(std::fabs(value));
    if (!cents) return put(std::to_chars(at_, at_ + 330, value, std::chars_format::fixed, 2));
    if (std::signbit(value)) *at_++ = '-';
    number(static_cast<std::int64_t>(*cents / 100));
    const auto fraction = static_cast<char>(*cents % 100);
    *at_++ = '.';
    *at_++ = static_cast<char>('0' + fraction / 10);
    *at_++ = static_cast<char>('0' + fraction % 10);
    return *this;
  }
  LineWriter& comma() { return bytes(","); }
  LineWriter& bytes(std::string_view text) {
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
    return *this;
  }
  // Room: 2 * size + 2.
  LineWriter& text(std::string_view text) {
    if (!needsQuotes(text)) return bytes(text);
    *at_++ = '"';
    for (const char c : text) {
      if (c == '"') *at_++ = '"';
      *at_++ = c;
    }
    *at_++ = '"';
    return *this;
  }
  // Room: 24.
  LineWriter& stockCode(const StockCode& code) {
    if (code.isSymbol()) return bytes(code.symbol.view());
    const bool negative = code.number < 0;
    char digits[20];
    const char* const end =
        std::to_chars(digits, digits + sizeof digits, magnitudeOf(code.number)).ptr;
    const auto size = static_cast<std::size_t>(end - digits);
    if (negative) *at_++ = '-';
    for (std::size_t width = size + (negative ? 1 : 0); width < 4; ++width) *at_++ = '0';
    return bytes(std::string_view(digits, size));
  }

 private:
  LineWriter& put(std::to_chars_result written) {
    at_ = written.ptr;  // the room is reckoned so that this never fails
    return *this;
  }

  char* at_;
};

std::size_t textBound(Text text) {
  return 2 * text.view().size() + 2;
}

std::size_t lineBound(const TradeRow& trade, bool detail) {
  std::size_t bound = kNumbersBound + 24 + trade.stockCode().symbol.view().size() +
                      textBound(trade.stockName()) + kLineEnd.size();
  if (detail) {
    bound += 3 + textBound(trade.account()) + textBound(trade.tradeType()) +
             textBound(trade.settlementDate());
  }
  return bound;
}

void writeResultLine(LineWriter& line, const ResultRow& result, const TradeRow& trade,
                     bool detail) {
  const CalendarDate& date = trade.executed.date;
  line.optional(date.year).comma().optional(date.month).comma().optional(date.day).comma();
  line.stockCode(trade.stockCode()).comma().text(trade.stockName().view()).comma();
  line.number(trade.quantity).comma().price(result.unitPrice).comma();
  line.twoDecimals(result.averagePrice).comma().number(result.commission).comma();
  line.number(result.commissionTax).comma().number(result.profit);
  if (detail) {
    for (const Text text : {trade.account(), trade.tradeType(), trade.settlementDate()}) {
      line.comma().text(text.view());
    }
  }
  line.bytes(kLineEnd);
}

}  // namespace

bool needsQuotes(std::string_view text) {
  bool breaks = false;
  for (const char c : text) breaks |= kBreaksColumn[static_cast<unsigned char>(c)];
  return breaks;
}

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
  LineWriter writer(buffer);
  out.append(buffer, writer.stockCode(code).at());
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

// The line is written whole into room reckoned for it beforehand, on the stack for any line
// of a real log, and appended at once.
void appendResultLine(std::string& out, const ResultRow& result, bool detail) {
  const TradeRow& trade = *result.row;
  const std::size_t bound = lineBound(trade, detail);
  char onStack[2048];
  std::unique_ptr<char[]> onHeap;
  if (bound > sizeof onStack) onHeap = std::make_unique_for_overwrite<char[]>(bound);
  char* const begin = onHeap ? onHeap.get() : onStack;
  LineWriter line(begin);
  writeResultLine(line, result, trade, detail);
  out.append(begin, line.at());
}

}  // namespace tradepl
