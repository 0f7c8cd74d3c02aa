#pragma once
// The holding ledger: takes the trades one at a time, in the order read, keeping a
// moving-average holding per account and security code for spot trades, and yields one
// realized result for every spot sale of a held code and for every margin closing trade.
// Each account kind (特定, 一般, NISA…) is a pool of its own: the tax office counts a
// NISA purchase apart from a taxable one of the same code.
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
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "records/records.hpp"

namespace tradepl {

struct Holding {
  std::int64_t quantity = 0;
  double averagePrice = 0.0;
  std::int64_t pendingCommission = 0;  // purchase commissions not yet charged to a sale
  std::int64_t pendingCommissionTax = 0;
};

// What a holding is kept under, as a trade shows it: the account's bytes and the code.
struct HoldingOf {
  std::string_view account;
  StockCode code;

  friend bool operator==(const HoldingOf&, const HoldingOf&) = default;
};

// The same, kept by the ledger: rows view their line's bytes, which do not stay.
struct HoldingKey {
  std::string account;
  std::int64_t number = 0;
  std::string symbol;

  HoldingOf view() const { return {account, StockCode{number, Text(symbol)}}; }
};

struct HoldingKeyHash {
  using is_transparent = void;
  std::size_t operator()(const HoldingOf& holding) const;
  std::size_t operator()(const HoldingKey& key) const { return (*this)(key.view()); }
};

struct HoldingKeyEqual {
  using is_transparent = void;
  bool operator()(const HoldingKey& a, const HoldingKey& b) const { return a.view() == b.view(); }
  bool operator()(const HoldingOf& a, const HoldingKey& b) const { return a == b.view(); }
  bool operator()(const HoldingKey& a, const HoldingOf& b) const { return a.view() == b; }
};

using HoldingLedger = std::unordered_map<HoldingKey, Holding, HoldingKeyHash, HoldingKeyEqual>;

enum class LedgerNoteKind : std::uint8_t {
  saleWithoutHolding,  // no result: nothing of the code was bought earlier in the logs
  soldMoreThanHeld,    // result written, holding closed
  amountOutOfRange,    // the trade is left out: a sum or the profit would not fit 64 bits
};

// Something the ledger has to tell the user about one trade.
struct LedgerNote {
  LedgerNoteKind kind = LedgerNoteKind::saleWithoutHolding;
  std::int64_t heldQuantity = 0;  // for soldMoreThanHeld
};

// The holding a spot trade buys into or sells from.
HoldingOf holdingOf(const TradeRow& trade);

// What one trade comes to: a result, if it yields one, and a note, if it needs one.
struct TradeOutcome {
  std::optional<ResultRow> result;
  std::optional<LedgerNote> note;
};

TradeOutcome applyTrade(HoldingLedger& ledger, const TradeRow& trade);

}  // namespace tradepl
