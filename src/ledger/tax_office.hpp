#pragma once
// The tax office's method, 総平均法に準ずる方法 (タックスアンサー No.1466): a spot holding is
// its shares and their cost in whole yen, purchase fees included; at each sale the cost per
// share is rounded up to the yen (see tax_rules.hpp), and the shares left are carried at it.

#include <cstdint>
#include <optional>

#include "records/records.hpp"
#include "records/splits.hpp"

namespace tradepl {

struct CostHolding {
  std::int64_t quantity = 0;
  std::int64_t cost = 0;  // what the shares cost, their purchase fees included
};

struct TaxOffice {
  using Holding = CostHolding;
  // What a sale comes to: the fees charged, the profit and the cost per share in `result`
  // (its row and price are the ledger's to fill in), and the holding left.
  struct Sale {
    ResultRow result;
    Holding left;
  };

  // The holding after a purchase into `held`, none for the first; none where a figure
  // leaves 64 bits.
  static std::optional<Holding> bought(const Holding* held, const TradeRow& purchase);
  // A sale of `held` that leaves `left` shares; none where a figure leaves 64 bits.
  static std::optional<Sale> sold(const Holding& held, const TradeRow& sale, std::int64_t left);
  // A split leaves the cost as it was (所令110): only the shares change.
  static void split(Holding&, const StockSplit&) {}
};

}  // namespace tradepl
