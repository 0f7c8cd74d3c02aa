#include "ledger/delivery.hpp"

#include <initializer_list>

#include "records/numbers.hpp"

namespace tradepl {
namespace {

std::optional<std::int64_t> sumOfAbsolutes(std::initializer_list<std::int64_t> values) {
  std::optional<std::int64_t> sum = 0;
  for (const std::int64_t value : values) addTo(sum, signedValue(false, magnitudeOf(value)));
  return sum;
}

}  // namespace

PositionCosts positionCostsOf(const TradeRow& row) {
  return {sumOfAbsolutes({row.borrowingPremium, row.lendingFee, row.interest, row.transferFee,
                          row.managementFee, row.openCommission, row.commission}),
          sumOfAbsolutes({row.openCommissionTax, row.commissionTax})};
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
