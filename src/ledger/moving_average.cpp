#include "ledger/moving_average.hpp"

#include <cmath>

#include "records/numbers.hpp"

namespace tradepl {
namespace {

// Truncates toward zero, as a C cast of the profit would, when the result fits.
std::optional<std::int64_t> truncateToYen(double amount) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  const double truncated = std::trunc(amount);
  if (!(truncated >= -kTwoTo63 && truncated < kTwoTo63)) return std::nullopt;  // NaN too
  return static_cast<std::int64_t>(truncated);
}

}  // namespace

std::optional<AverageHolding> MovingAverage::bought(const Holding* held, const TradeRow& purchase) {
  if (held == nullptr) {
    return Holding{.quantity = purchase.quantity,
                   .averagePrice = purchase.unitPrice,
                   .pendingCommission = purchase.commission,
                   .pendingCommissionTax = purchase.commissionTax};
  }
  const std::optional<std::int64_t> quantity = checkedAdd(held->quantity, purchase.quantity);
  const std::optional<std::int64_t> commission =
      checkedAdd(held->pendingCommission, purchase.commission);
  const std::optional<std::int64_t> tax =
      checkedAdd(held->pendingCommissionTax, purchase.commissionTax);
  // Both counts are above zero, so their sum is.
  const double average = quantity ? (static_cast<double>(purchase.quantity) * purchase.unitPrice +
                                     held->averagePrice * static_cast<double>(held->quantity)) /
                                        static_cast<double>(*quantity)
                                  : 0.0;
  if (!quantity || !commission || !tax || !std::isfinite(average)) return std::nullopt;
  return Holding{.quantity = *quantity,
                 .averagePrice = average,
                 .pendingCommission = *commission,
                 .pendingCommissionTax = *tax};
}

std::optional<MovingAverage::Sale> MovingAverage::sold(const Holding& held, const TradeRow& sale,
                                                       std::int64_t left) {
  const std::optional<std::int64_t> commission =
      checkedAdd(sale.commission, held.pendingCommission);
  const std::optional<std::int64_t> tax = checkedAdd(sale.commissionTax, held.pendingCommissionTax);
  const std::optional<std::int64_t> profit = truncateToYen(
      (sale.unitPrice - held.averagePrice) * static_cast<double>(sale.quantity) -
      static_cast<double>(sale.commission) - static_cast<double>(sale.commissionTax) -
      static_cast<double>(held.pendingCommission) - static_cast<double>(held.pendingCommissionTax));
  if (!commission || !tax || !profit) return std::nullopt;
  return Sale{.result = {.commission = *commission,
                         .commissionTax = *tax,
                         .profit = *profit,
                         .averagePrice = held.averagePrice},
              .left = {.quantity = left, .averagePrice = held.averagePrice}};
}

void MovingAverage::split(Holding& holding, const StockSplit& split) {
  holding.averagePrice =
      holding.averagePrice * static_cast<double>(split.before) / static_cast<double>(split.after);
}

}  // namespace tradepl
