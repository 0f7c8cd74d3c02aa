#pragma once
// The dividends of listed shares a return declares separately (申告分離課税), per tax year,
// as the investor copies 配当等の額 from the 特定口座年間取引報告書: they are not in the trade
// logs. They take a year's loss on shares first, and then the losses carried forward that
// the year's gain leaves (措法37の12の2).

#include <cstdint>
#include <map>

namespace tradepl {

// Tax year to whole yen, every amount above 0: a year without dividends has no entry.
using YearlyDividends = std::map<std::int64_t, std::int64_t>;

}  // namespace tradepl
