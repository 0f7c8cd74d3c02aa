#pragma once
// The holding ledger: walks the trades once, in list order, keeping a moving-average
// holding per security code for spot trades, and yields one realized result for every
// spot sale of a held code and for every margin closing trade.
//
//   spot purchase  (現物, 買)   builds up the holding; purchase commissions wait in it
//   spot sale      (現物, 売…)  result at the holding's average price, charged with every
//                               purchase commission waiting in the holding
//   margin closing (信用返済)   result from the row's own position price, profit and fees
//   margin opening (信用新規)   nothing
//
// Floating-point steps are written in the order the broker's statements use, so averages
// and truncated profits agree with them to the yen.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "records/records.hpp"

namespace tradepl {

struct Holding {
  std::int64_t quantity = 0;
  double averagePrice = 0.0;
  std::int64_t pendingCommission = 0;  // purchase commissions not yet charged to a sale
  std::int64_t pendingCommissionTax = 0;
};

using HoldingLedger = std::unordered_map<StockCode, Holding, StockCodeHash>;

enum class LedgerNoteKind : std::uint8_t {
  saleWithoutHolding,  // no result: nothing of the code was bought earlier in the logs
  soldMoreThanHeld,    // result written, holding closed
  amountOutOfRange,    // the trade is left out: a sum or the profit would not fit 64 bits
};

// Something the ledger has to tell the user about one trade.
struct LedgerNote {
  LedgerNoteKind kind = LedgerNoteKind::saleWithoutHolding;
  SourceLine source;
  StockCode stockCode;
  std::int64_t heldQuantity = 0;  // for soldMoreThanHeld
};

// "sale of 7203 without a holding: no result", for a message about the trade.
std::string describe(const LedgerNote& note);

// Applies one trade to the ledger, appending its result, if it yields one, and any note.
void applyTrade(HoldingLedger& ledger, const TradeRow& trade, ResultList& results,
                std::vector<LedgerNote>& notes);

// Walks all trades in list order; results are appended in the order they arise.
std::vector<LedgerNote> computeResults(const TradeList& trades, ResultList& results);

}  // namespace tradepl
