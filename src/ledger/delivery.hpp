#pragma once
// The deliveries of a margin log as the spot trades they are, and the costs of a margin
// position, which a delivery and a margin closing charge alike.
//
//   現引 (品受)  a long taken into the spot holding: a purchase at the position's 建単価
//   現渡 (品渡)  spot shares handed over to close a short: a sale at the short's 建単価

#include <cstdint>
#include <optional>

#include "records/records.hpp"

namespace tradepl {

struct PositionCosts {
  std::optional<std::int64_t> fees;  // 手数料 新規手数料 管理費 名義書換料 金利 貸株料 品貸料
  std::optional<std::int64_t> tax;  // 手数料消費税 新規手数料消費税
};

// Every cost of the position a margin row closes, each counted by its absolute value:
// brokers write a fee charged with either sign. None where a sum does not fit 64 bits.
PositionCosts positionCostsOf(const TradeRow& row);

// A delivery as a spot trade of its shares in its account, on its day, at the position's
// 建単価, with the position's costs as its commission and their tax as its commission tax.
// A 現引 pays 建単価 × shares and the costs, and the shares join the spot holding at that
// cost (マネックス and SBI help on 現引; SMBC日興 FAQ 988); a 現渡 sells spot shares at the
// short's 建単価, its costs 譲渡費用 (SMBC日興 FAQ 988; 措通37の10・37の11共-1). The row
// keeps its trade type, which the result file shows. None where the costs do not fit.
std::optional<TradeRow> asSpotTrade(const TradeRow& delivery);

}  // namespace tradepl
