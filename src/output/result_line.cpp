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

// "00" to "99", the two digits of each number below 100 side by side.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// How many decimal digits `value` has (1 for 0): its bit width times log10(2), 1233 / 4096,
// is the count or one short of it, which a power of ten settles.
constexpr std::array<std::uint64_t, 20> kPowersOfTen = [] {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& each : powers) {
    each = power;
    power *= 10;
  }
  return powers;
}();

inline unsigned digitCount(std::uint64_t value) {
  const std::uint64_t counted = value | 1;  // 0 has a digit, as 1 does
  const auto guess = static_cast<unsigned>(std::bit_width(counted) * 1233) >> 12;
  return guess + (counted >= kPowersOfTen[guess] ? 1 : 0);
}

// Writes a result line forward from a place with room for it, as lineBound reckons it: no
// write checks for room.
class LineWriter {
 public:
  explicit LineWriter(char* at) : at_(at) {}

  char* at() const { return at_; }

  // Two digits a step from a table, into exactly as many places as the value has digits:
  // std::to_chars took 60 instructions a number here, counting its digits in a loop first.
  LineWriter& number(std::int64_t value) {
    if (value < 0) *at_++ = '-';
    return digits(magnitudeOf(value));
  }
  // Most numbers of a line (a year, a month, a code, a price, a quantity, a fee) are below
  // 10,000: their one or two pairs are written without counting digits first.
  LineWriter& digits(std::uint64_t value) {
    if (value < 100) return belowHundred(static_cast<unsigned>(value));
    if (value >= 10000) return anyDigits(value);
    const auto small = static_cast<unsigned>(value);
    belowHundred(small / 100);
    return pair(small % 100);
  }
  LineWriter& belowHundred(unsigned value) {
    if (value < 10) {
      *at_++ = static_cast<char>('0' + value);
      return *this;
    }
    return pair(value);
  }
  LineWriter& pair(unsigned value) {
    std::memcpy(at_, &kDigitPairs[2 * value], 2);
    at_ += 2;
    return *this;
  }
  LineWriter& anyDigits(std::uint64_t value) {
    const unsigned count = digitCount(value);
    char* end = at_ + count;
    at_ = end;
    while (value >= 100) {
      end -= 2;
      std::memcpy(end, &kDigitPairs[2 * (value % 100)], 2);
      value /= 100;
    }
    if (value >= 10) {
      std::memcpy(end - 2, &kDigitPairs[2 * value], 2);
    } else {
      end[-1] = static_cast<char>('0' + value);
    }
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
    digits(*cents / 100);
    *at_++ = '.';
    return pair(static_cast<unsigned>(*cents % 100));
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
    const std::uint64_t magnitude = magnitudeOf(code.number);
    if (negative) *at_++ = '-';
    for (unsigned width = digitCount(magnitude) + (negative ? 1 : 0); width < 4; ++width) {
      *at_++ = '0';
    }
    return digits(magnitude);
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

// The writer is a local here: written to through a reference, its place would have to be
// stored after every byte, which may alias it.
char* writeColumns(char* at, const ResultRow& result, const TradeRow& trade, bool detail) {
  LineWriter line(at);
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
  return line.at();
}

}  // namespace

namespace {

// A word of the bytes at `at`, in the machine's order; any order serves a test for a byte.
template <typename Word>
Word loadWord(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

}  // namespace

// Eight bytes a step: a byte equal to one of the three leaves a zero byte in the word xor
// its pattern, which the borrow test finds (a borrow can only mark a byte after a real zero,
// so the test is exact for whether one stands). The last bytes are taken as one word that
// overlaps those before it, and a text of four to seven bytes (an account, a trade type) as
// two words of four: a stock name of 20 bytes took 60 instructions byte by byte, and the
// three short columns of --detail half as many again as their bytes.
bool needsQuotes(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  const auto breaks = [](std::uint64_t word) {
    const auto hasZeroByte = [](std::uint64_t w) { return ((w - kOnes) & ~w & kHighs) != 0; };
    return hasZeroByte(word ^ (kOnes * ',')) || hasZeroByte(word ^ (kOnes * '"')) ||
           hasZeroByte(word ^ (kOnes * '\r'));
  };
  const char* const bytes = text.data();
  const std::size_t size = text.size();
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 < size; at += 8) {
      if (breaks(loadWord<std::uint64_t>(bytes + at))) return true;
    }
    return breaks(loadWord<std::uint64_t>(bytes + size - 8));
  }
  if (size >= 4) {
    const std::uint64_t low = loadWord<std::uint32_t>(bytes);
    const std::uint64_t high = loadWord<std::uint32_t>(bytes + size - 4);
    return breaks(low | high << 32);
  }
  bool found = false;
  for (std::size_t at = 0; at < size; ++at) {
    found |= kBreaksColumn[static_cast<unsigned char>(bytes[at])];
  }
  return found;
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

std::size_t resultLineBound(const ResultRow& result, bool detail) {
  return lineBound(*result.row, detail);
}

char* writeResultLine(char* at, const ResultRow& result, bool detail) {
  return writeColumns(at, result, *result.row, detail);
}

// The line is written whole into room reckoned for it beforehand, on the stack for any line
// of a real log, and appended at once.
void appendResultLine(std::string& out, const ResultRow& result, bool detail) {
  const std::size_t bound = resultLineBound(result, detail);
  char onStack[2048];
  std::unique_ptr<char[]> onHeap;
  if (bound > sizeof onStack) onHeap = std::make_unique_for_overwrite<char[]>(bound);
  char* const begin = onHeap ? onHeap.get() : onStack;
  out.append(begin, writeResultLine(begin, result, detail));
}

}  // namespace tradepl
