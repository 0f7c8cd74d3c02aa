#include "ledger/tax_office.hpp"

#include "ledger/tax_rules.hpp"
#include "records/numbers.hpp"

namespace tradepl {
namespace {

// What a purchase adds to a holding's cost: its 約定代金 and its commission with the tax on
// it (タックスアンサー No.1464).
std::optional<std::int64_t> purchaseCost(const TradeRow& trade) {
  std::optional<std::int64_t> cost = tradeValue(trade.quantity, trade.exactUnitPrice);
  addTo(cost, trade.commission);
  addTo(cost, trade.commissionTax);
  return cost;
}

}  // namespace

std::optional<CostHolding> TaxOffice::bought(const Holding* held, const TradeRow& purchase) {
  const Holding before = held != nullptr ? *held : Holding{};
  std::optional<std::int64_t> cost = purchaseCost(purchase);
  addTo(cost, before.cost);
  const std::optional<std::int64_t> quantity = checkedAdd(before.quantity, purchase.quantity);
  if (!cost || !quantity) return std::nullopt;
  return Holding{.quantity = *quantity, .cost = *cost};
}

// 譲渡収入 − 取得費 − 譲渡費用: the sale's 約定代金, less the shares at the rounded-up cost
// per share, less the sale's own commission and its tax.
std::optional<TaxOffice::Sale> TaxOffice::sold(const Holding& held, const TradeRow& sale,
                                               std::int64_t left) {
  const std::int64_t unit = unitCostRoundedUp(held.cost, held.quantity);
  const std::optional<std::int64_t> proceeds = tradeValue(sale.quantity, sale.exactUnitPrice);
  const std::optional<std::int64_t> acquisition = checkedMultiply(unit, sale.quantity);
  std::optional<std::int64_t> expenses = sale.commission;
  addTo(expenses, sale.commissionTax);
  std::optional<std::int64_t> profit;
  if (proceeds && acquisition && expenses) {
    if (const auto gross = checkedSubtract(*proceeds, *acquisition)) {
      profit = checkedSubtract(*gross, *expenses);
    }
  }
  // The shares left are carried at the rounded-up cost per share.
  const std::optional<std::int64_t> leftCost = checkedMultiply(unit, left);
  if (!profit || !leftCost) return std::nullopt;
  return Sale{.result = {.commission = sale.commission,
                         .commissionTax = sale.commissionTax,
                         .profit = *profit,
                         .averagePrice = static_cast<double>(unit)},
              .left = {.quantity = left, .cost = *leftCost}};
}

}  // namespace tradepl
