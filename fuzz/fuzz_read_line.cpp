// Fuzzes the reading of one log line, either layout (chosen by the first byte).
// Beyond "no crash", it checks what a reader must guarantee on any bytes: the line is never
// changed, the same line reads the same way twice, a kept row has a kept trade type and,
// where the line holds no quote, text that lies inside the line, an unreadable line names a
// real column, and the commas found one byte at a time are those found sixteen at a time,
// with room past the last column wanted or without.
// Every column reads as a whole number and as a price the same through the fast path for
// plain digits as through the general grammar.
// The same line read as a line of a splits file gives whole numbers above 0 or a problem.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_checks.hpp"
#include "input/columns.hpp"
#include "input/number_grammar.hpp"
#include "input/splits_file.hpp"
#include "input/trade_line.hpp"
#include "records/log_kinds.hpp"
#include "records/shift_jis.hpp"
#include "words/describe.hpp"

namespace {

using tradepl::LineReading;
using tradepl::LineVerdict;
using tradepl::LogKind;
using tradepl::Text;
using tradepl::TradeRow;

using tradepl::fuzzing::require;

bool inside(Text text, const std::string& line) {
  const std::string_view bytes = text.view();
  if (bytes.empty()) return true;  // the empty default, or an empty column
  return bytes.data() >= line.data() && bytes.data() + bytes.size() <= line.data() + line.size();
}

struct Reading {
  std::string storage;
  tradepl::TradeLineReader reader;
  TradeRow row;
  LineReading result;
};

void readOnce(std::string_view line, Reading& reading) {
  reading.storage.assign(line);
  reading.result = reading.reader.read(reading.storage, reading.row);
  require(reading.storage == line, "the line is never changed");
}

void requireSameColumnsEitherWay(std::string_view line) {
  std::vector<std::string> found[3];
  for (const std::size_t slack : {std::size_t{0}, tradepl::kColumnSlack}) {
    for (const auto search :
         {tradepl::CommaSearch::oneByteAtATime, tradepl::CommaSearch::sixteenAtATime}) {
      tradepl::Column columns[25 + tradepl::kColumnSlack];
      bool mayHoldNul = false;
      tradepl::ColumnSplitter splitter(search);
      const std::size_t count =
          splitter.split(line, std::span(columns, 25 + slack), slack, mayHoldNul);
      std::vector<std::string>& into = found[slack != 0 ? 2 : static_cast<int>(search)];
      into.clear();
      for (std::size_t i = 0; i < count; ++i) into.emplace_back(columns[i].view());
    }
  }
  require(found[0] == found[1], "the same columns one byte or sixteen at a time");
  require(found[0] == found[2], "the same columns with slack past the last or without");
}

void requireNumbersReadAsTheGrammar(std::string_view line) {
  tradepl::Column columns[25];
  bool mayHoldNul = false;
  tradepl::ColumnSplitter splitter;
  const std::size_t count = splitter.split(line, columns, mayHoldNul);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view text = columns[i].view();
    std::int64_t fast = 0;
    std::int64_t careful = 0;
    require(
        tradepl::readInteger(text, fast) == tradepl::detail::readIntegerCarefully(text, careful) &&
            fast == careful,
        "a whole number reads the same fast and carefully");
    // Where the column views the line and ends eight bytes into it, as the reader of a line
    // then reads it.
    if (!mayHoldNul && text.data() + text.size() - line.data() >= 8) {
      require(tradepl::readInteger(text, fast, true) ==
                      tradepl::detail::readIntegerCarefully(text, careful) &&
                  fast == careful,
              "a whole number reads the same from its end");
    }
    double fastPrice = 0;
    double carefulPrice = 0;
    tradepl::ExactPrice fastExact;
    tradepl::ExactPrice carefulExact;
    require(tradepl::readPrice(text, fastPrice, fastExact) ==
                    tradepl::detail::readPriceCarefully(text, carefulPrice, carefulExact) &&
                std::memcmp(&fastPrice, &carefulPrice, sizeof(double)) == 0 &&
                fastExact.digits == carefulExact.digits &&
                fastExact.decimals == carefulExact.decimals &&
                fastExact.negative == carefulExact.negative &&
                fastExact.known == carefulExact.known,
            "a price reads the same fast and carefully");
  }
}

bool sameRow(const TradeRow& a, const TradeRow& b) {
  return a.execDateTime().view() == b.execDateTime().view() && a.execNo == b.execNo &&
         a.stockCode() == b.stockCode() && a.stockName().view() == b.stockName().view() &&
         a.tradeType().view() == b.tradeType().view() && a.side().view() == b.side().view() &&
         a.quantity == b.quantity && std::memcmp(&a.unitPrice, &b.unitPrice, sizeof(double)) == 0 &&
         a.commission == b.commission && a.settlementAmount == b.settlementAmount &&
         a.settlementDate().view() == b.settlementDate().view() &&
         a.marginType().view() == b.marginType().view() &&
         std::memcmp(&a.positionPrice, &b.positionPrice, sizeof(double)) == 0 &&
         a.borrowingPremium == b.borrowingPremium;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const LogKind log = tradepl::kLogKinds[data[0] & 1].kind;
  const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);

  Reading first{{}, tradepl::TradeLineReader(log), {}, {}};
  Reading second{{}, tradepl::TradeLineReader(log), {}, {}};
  readOnce(line, first);
  readOnce(line, second);
  requireSameColumnsEitherWay(line);
  requireNumbersReadAsTheGrammar(line);
  tradepl::StockSplit split;
  if (!tradepl::readSplitLine(line, split)) {
    require(split.before > 0 && split.after > 0, "a split's shares are above 0");
  }
  require(first.result.verdict == second.result.verdict, "same verdict twice");

  const TradeRow& row = first.row;
  switch (first.result.verdict) {
    case LineVerdict::kept: {
      require(sameRow(first.row, second.row), "same row twice");
      const bool keptType = log == LogKind::spot
                                ? row.tradeType() == tradepl::sjis::kSpot
                                : (row.tradeType() == tradepl::sjis::kMarginOpening ||
                                   row.tradeType() == tradepl::sjis::kMarginClosing ||
                                   row.tradeType() == tradepl::sjis::kDeliveryTake ||
                                   row.tradeType() == tradepl::sjis::kDeliveryTakeFormal ||
                                   row.tradeType() == tradepl::sjis::kDeliveryGive ||
                                   row.tradeType() == tradepl::sjis::kDeliveryGiveFormal);
      require(keptType, "kept rows have a kept trade type");
      require(row.kind == tradepl::tradeKindOf(row.tradeType(), row.side()),
              "kept rows know their kind");
      require(log == LogKind::margin || tradepl::sideOf(row.side()) != tradepl::Side::neither,
              "kept spot rows are purchases or sales");
      const bool quoted = line.find('"') != std::string_view::npos;
      for (const Text text :
           {row.execDateTime(), row.stockName(), row.tradeType(), row.side(), row.market(),
            row.account(), row.settlementDate(), row.marginType(), row.stockCode().symbol}) {
        require(quoted || inside(text, first.storage), "text lies inside the line");
      }
      require(!row.execDateTime().empty() && !row.stockName().empty() && !row.side().empty(),
              "text columns but the last are non-empty");
      require(row.unitPrice < tradepl::kPriceLimit && row.unitPrice > -tradepl::kPriceLimit,
              "prices within range");
      break;
    }
    case LineVerdict::unreadable: {
      const auto& problem = first.result.problem;
      require(problem.column >= 1 && problem.column <= 24, "a problem names a real column");
      require(!tradepl::describe(tradepl::Language::english, problem, log).empty(),
              "a problem can be described");
      break;
    }
    case LineVerdict::blank:
    case LineVerdict::otherTradeType:
      break;
  }
  return 0;
}
