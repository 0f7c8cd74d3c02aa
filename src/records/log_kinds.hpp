#pragma once
// The broker's two trade-history exports, one row of facts each: what tells one kind of log
// from the other lives here, and the code asks the row rather than choosing by kind.
//   spot log   (-g), 14 columns, keeps 現物
//   margin log (-s), 24 columns, keeps 信用新規, 信用返済 and the deliveries 現引 and 現渡
// The column layouts themselves, headings and all, are the line reader's (input/trade_line.cpp).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "records/records.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {

struct LogKindFacts {
  LogKind kind;
  std::string_view option;      // the command-line option that names a log of this kind
  std::string_view exportName;  // the file the broker's export is saved as, for the usage text
  // The kind a log named as this one may turn out to be, when its rows read only as that.
  LogKind other;
  std::string_view label;           // the kind in Shift_JIS, as the broker names it: 現物, 信用
  std::uint8_t quantityColumn;      // 1-based, 約定数量
  std::span<const TradeKind> kept;  // the trade types it keeps, each read as its TradeKind

  constexpr bool keeps(TradeKind trade) const {
    return std::find(kept.begin(), kept.end(), trade) != kept.end();
  }
};

namespace detail {
inline constexpr std::array kSpotKeeps{TradeKind::spotPurchase, TradeKind::spotSale};
// A delivery is read from the margin log, though it moves spot shares.
inline constexpr std::array kMarginKeeps{TradeKind::marginOpening, TradeKind::marginClosing,
                                         TradeKind::deliveryTake, TradeKind::deliveryGive};
}  // namespace detail

// Indexed by LogKind.
inline constexpr std::array<LogKindFacts, 2> kLogKinds{{
    {LogKind::spot, "-g", "i_zelGenbutsu_log.csv", LogKind::margin, sjis::kSpot, 9,
     detail::kSpotKeeps},
    {LogKind::margin, "-s", "i_zelShinyo_log.csv", LogKind::spot, sjis::kMargin, 10,
     detail::kMarginKeeps},
}};

constexpr const LogKindFacts& factsOf(LogKind kind) {
  return kLogKinds[static_cast<std::size_t>(kind)];
}

// The kind of log an option names, if it names one.
constexpr std::optional<LogKind> logKindOfOption(std::string_view option) {
  for (const LogKindFacts& facts : kLogKinds) {
    if (facts.option == option) return facts.kind;
  }
  return std::nullopt;
}

static_assert(factsOf(LogKind::spot).kind == LogKind::spot);
static_assert(factsOf(LogKind::margin).kind == LogKind::margin);
static_assert(factsOf(factsOf(LogKind::spot).other).other == LogKind::spot);

}  // namespace tradepl
