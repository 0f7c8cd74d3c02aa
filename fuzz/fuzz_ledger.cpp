// Fuzzes the ledger with trades made straight from the input bytes, so that quantities,
// prices and fees reach every corner of their ranges far more often than through text.
// Each trade takes 34 bytes: its kind, its code (one of eight) and four 64-bit numbers.
//
// Properties: a sale that yields a result never leaves a holding at zero or below (one
// left out for an amount out of range changes nothing); every result has a finite
// average price and formats to one line of 11 columns.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_checks.hpp"
#include "ledger/ledger.hpp"
#include "output/result_line.hpp"
#include "records/shift_jis.hpp"

namespace {

using namespace tradepl;

using fuzzing::columnsOf;
using fuzzing::require;

std::int64_t number(const std::uint8_t* bytes) {
  std::int64_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// Prices as the reader hands them over: finite and below kPriceLimit in magnitude.
double price(std::int64_t raw) {
  return static_cast<double>(raw % 10'000'000'000'000'000) / 10.0;
}

const char* const kCodes[] = {"1", "2", "3", "4", "130A", "130B", "7203", "9984"};
const std::string kSell = "\x94\x84";  // 売
const std::string kSpot(sjis::kSpot), kBuy(sjis::kBuy), kOpening(sjis::kMarginOpening),
    kClosing(sjis::kMarginClosing);

TradeRow tradeFrom(const std::uint8_t* bytes, std::uint64_t line) {
  TradeRow row;
  row.execDateTime = Text("2024/03/05 14:55");
  row.stockName = Text("NAME");
  row.account = Text((bytes[1] & 8) != 0 ? "NISA" : "\x93\xC1\x92\xE8");  // or 特定
  const char* code = kCodes[bytes[1] % 8];
  row.stockCode = code[0] == '1' && code[1] == '3' ? StockCode{0, Text(code)}
                                                   : StockCode{std::atoi(code), Text()};
  const std::int64_t a = number(bytes + 2), b = number(bytes + 10), c = number(bytes + 18),
                     d = number(bytes + 26);
  row.quantity = a;
  row.unitPrice = price(b);
  row.commission = c;
  row.commissionTax = d;
  switch (bytes[0] % 4) {
    case 0:
      row.tradeType = Text(kSpot);
      row.side = Text(kBuy);
      break;
    case 1:
      row.tradeType = Text(kSpot);
      row.side = Text(kSell);
      break;
    case 2:
      row.tradeType = Text(kOpening);
      break;
    default:
      row.tradeType = Text(kClosing);
      row.positionPrice = price(c ^ d);
      row.interest = b;
      row.lendingFee = a;
      row.openCommission = d;
      row.settlementAmount = a ^ b;
      break;
  }
  row.kind = tradeKindOf(row.tradeType, row.side);
  row.executed = ExecutionDateReader().read(row.execDateTime.view());
  row.line = line;
  return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HoldingLedger ledger;
  std::vector<ResultRow> results;
  std::size_t trades = 0;
  for (std::size_t at = 0; at + 34 <= size; at += 34) {
    const TradeRow trade = tradeFrom(data + at, ++trades);
    const TradeOutcome outcome = ledger.apply(trade);
    const std::optional<std::int64_t> held =
        ledger.sharesHeld(trade.account.view(), trade.stockCode);
    if (trade.kind == TradeKind::spotSale && outcome.result && held) {
      require(*held > 0, "a sale leaves a holding above zero or none");
    }
    if (outcome.result) results.push_back(*outcome.result);
  }
  for (const ResultRow& result : results) {
    require(std::isfinite(result.averagePrice), "averages are finite");
    std::string line;
    appendResultLine(line, result);
    require(line.size() > kLineEnd.size(), "a result line has text");
    line.resize(line.size() - kLineEnd.size());
    require(line.find('\n') == std::string::npos, "a result is one line");
    require(columnsOf(line) == 11, "a result line has 11 columns");
  }
  return 0;
}
