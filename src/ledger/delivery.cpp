#include "ledger/delivery.hpp"

#include <limits>

#include "records/numbers.hpp"

namespace tradepl {
namespace {

// The magnitudes added as unsigned numbers: each is at most 2^63, so a sum that has not yet
// passed INT64_MAX takes the next one without wrapping, and one past it does not fit. A
// checked signed add per fee, through an initializer_list, took 170 instructions a margin
// closing.
template <typename... Amounts>
std::optional<std::int64_t> sumOfAbsolutes(Amounts... values) {
  constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t sum = 0;
  bool fits = true;
  ((sum += magnitudeOf(values), fits = fits && sum <= kMost), ...);
  return fits ? std::optional<std::int64_t>(static_cast<std::int64_t>(sum)) : std::nullopt;
}

}  // namespace

PositionCosts positionCostsOf(const TradeRow& row) {
  return {sumOfAbsolutes(row.borrowingPremium, row.lendingFee, row.interest, row.transferFee,
                         row.managementFee, row.openCommission, row.commission),
          sumOfAbsolutes(row.openCommissionTax, row.commissionTax)};
}

std::optional<TradeRow> asSpotTrade(const TradeRow& delivery) {
  const PositionCosts costs = positionCostsOf(delivery);
  if (!costs.fees || !costs.tax) return std::nullopt;
  TradeRow trade = delivery;
  trade.unitPrice = delivery.positionPrice;
  trade.exactUnitPrice = delivery.exactPositionPrice;
  trade.commission = *costs.fees;
  trade.commissionTax = *costs.tax;
  return trade;
}

}  // namespace tradepl
