#pragma once
// The moving-average method, as the broker's statements cost a spot holding: a moving-average
// price in floating point, stepped in the statements' order so that averages and truncated
// profits agree with them to the yen. Purchase commissions wait in the holding and are
// charged, all of them, to its next sale.

#include <cstdint>
#include <optional>

#include "records/records.hpp"
#include "records/splits.hpp"

namespace tradepl {

struct AverageHolding {
  std::int64_t quantity = 0;
  double averagePrice = 0.0;
  std::int64_t pendingCommission = 0;  // purchase commissions not yet charged to a sale
  std::int64_t pendingCommissionTax = 0;
};

struct MovingAverage {
  using Holding = AverageHolding;
  // What a sale comes to: the fees charged, the profit and the average price in `result`
  // (its row and price are the ledger's to fill in), and the holding left.
  struct Sale {
    ResultRow result;
    Holding left;
  };

  // The holding after a purchase into `held`, none for the first; none where a figure
  // leaves 64 bits or the average is not finite.
  static std::optional<Holding> bought(const Holding* held, const TradeRow& purchase);
  // A sale of `held` that leaves `left` shares; none where a figure leaves 64 bits.
  static std::optional<Sale> sold(const Holding& held, const TradeRow& sale, std::int64_t left);
  // After a split, each share stands for after ÷ before of its former cost.
  static void split(Holding& holding, const StockSplit& split);
};

}  // namespace tradepl
