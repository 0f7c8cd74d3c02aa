#pragma once
// A stock split or reverse split, as the user enters it in a splits file: from its date on
// (the ex-rights date, 権利落ち日, when the market trades the new shares) every `before`
// shares of the code are `after` shares. 1:25 is a split; 10:1 merges ten shares into one.

#include <cstdint>
#include <string>

#include "records/dates.hpp"
#include "records/records.hpp"

namespace tradepl {

struct StockSplit {
  Day date{};
  std::int64_t codeNumber = 0;
  std::string codeSymbol{};  // the code as written when it holds a letter
  std::int64_t before = 1;
  std::int64_t after = 1;
  std::uint64_t line = 0;  // where the splits file has it

  StockCode code() const { return {codeNumber, Text(codeSymbol)}; }
};

}  // namespace tradepl
