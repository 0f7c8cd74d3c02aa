#include "ledger/ledger.hpp"

#include <cmath>
#include <iterator>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ledger/delivery.hpp"
#include "ledger/tax_rules.hpp"
#include "records/numbers.hpp"

namespace tradepl {
namespace {

// A holding under either method; each uses its own fields beside the shares.
struct Holding {
  std::int64_t quantity = 0;
  // Moving average.
  double averagePrice = 0.0;
  std::int64_t pendingCommission = 0;  // purchase commissions not yet charged to a sale
  std::int64_t pendingCommissionTax = 0;
  // Tax office: what the shares cost, their purchase fees included.
  std::int64_t cost = 0;
  // The price and day of the holding's last trade, against which a sale too large for the
  // holding is looked at for a split the logs do not show.
  double lastPrice = 0.0;
  std::optional<Day> lastDay{};
};

void noteTrade(Holding& holding, const TradeRow& trade) {
  holding.lastPrice = trade.unitPrice;
  holding.lastDay = dayOf(trade.executed.date);
}

// A sale larger than its holding, at a price about a whole factor or more below that of the
// holding's last trade, most likely follows a split the logs do not show: 100 shares bought
// at 4,000 are sold as 2,500 at 170 after a 1:25 split. The factor is the shares sold over
// those held where that is whole and near the fall in price, else the fall rounded.
std::optional<SplitHint> splitHintFor(const Holding& holding, const TradeRow& sale) {
  const std::optional<Day> saleDay = dayOf(sale.executed.date);
  if (!holding.lastDay || !saleDay || !(holding.lastPrice > 0) || !(sale.unitPrice > 0) ||
      holding.quantity <= 0) {
    return std::nullopt;
  }
  const double fall = holding.lastPrice / sale.unitPrice;
  if (fall < 1.8 || fall > 1e9) return std::nullopt;
  auto ratio = static_cast<std::int64_t>(std::llround(fall));
  if (sale.quantity % holding.quantity == 0) {
    const std::int64_t byShares = sale.quantity / holding.quantity;
    const auto shares = static_cast<double>(byShares);
    if (byShares >= 2 && shares >= fall / 1.25 && shares <= fall * 1.25) ratio = byShares;
  }
  return SplitHint{holding.lastPrice, *holding.lastDay, sale.unitPrice, *saleDay, ratio};
}

LedgerNote soldMoreThanHeld(const Holding& holding, const TradeRow& sale) {
  return {LedgerNoteKind::soldMoreThanHeld, holding.quantity, splitHintFor(holding, sale)};
}

// What a holding is kept under, as a trade shows it: the account's bytes and the code.
struct HoldingOf {
  std::string_view account;
  StockCode code;

  friend bool operator==(const HoldingOf&, const HoldingOf&) = default;
};

HoldingOf holdingOf(const TradeRow& trade) {
  return {trade.account.view(), trade.stockCode};
}

// The same, kept by the ledger: rows view their line's bytes, which do not stay.
struct HoldingKey {
  std::string account;
  std::int64_t number = 0;
  std::string symbol;

  explicit HoldingKey(const HoldingOf& holding)
      : account(holding.account), number(holding.code.number), symbol(holding.code.symbol.view()) {}
  HoldingOf view() const { return {account, StockCode{number, Text(symbol)}}; }
};

// FNV-1a: accounts and symbols are a few bytes, for which it costs a fraction of the
// library's string hash; this runs for every spot trade.
struct HoldingKeyHash {
  using is_transparent = void;
  std::size_t operator()(const HoldingOf& holding) const {
    std::uint64_t hash = 14695981039346656037u;
    const auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211u; };
    for (const char c : holding.account) mix(static_cast<unsigned char>(c));
    mix(0x100);  // ends the account
    if (holding.code.isSymbol()) {
      for (const char c : holding.code.symbol.view()) mix(static_cast<unsigned char>(c));
    } else {
      mix(static_cast<std::uint64_t>(holding.code.number));
    }
    return static_cast<std::size_t>(hash);
  }
  std::size_t operator()(const HoldingKey& key) const { return (*this)(key.view()); }
};

struct HoldingKeyEqual {
  using is_transparent = void;
  bool operator()(const HoldingKey& a, const HoldingKey& b) const { return a.view() == b.view(); }
  bool operator()(const HoldingOf& a, const HoldingKey& b) const { return a == b.view(); }
  bool operator()(const HoldingKey& a, const HoldingOf& b) const { return a.view() == b; }
};

using HoldingMap = std::unordered_map<HoldingKey, Holding, HoldingKeyHash, HoldingKeyEqual>;

// Gives back the room of holdings removed: a table keeps its buckets when entries go, and a
// log of 500,000 codes each bought and sold would keep theirs to the end of the run.
void shrinkIfSparse(HoldingMap& holdings) {
  constexpr std::size_t kFewBuckets = 1024;
  if (holdings.bucket_count() > kFewBuckets && holdings.bucket_count() > 8 * holdings.size()) {
    holdings.rehash(0);  // as few buckets as the holdings left need
  }
}

// A sale of everything held, or more, closes the holding: it never goes negative. Selling
// more than held is said.
void closeHolding(HoldingMap& holdings, HoldingMap::iterator found, const TradeRow& sale,
                  TradeOutcome& outcome) {
  if (sale.quantity > found->second.quantity) {
    outcome.note = soldMoreThanHeld(found->second, sale);
  }
  holdings.erase(found);
  shrinkIfSparse(holdings);
}

// Truncates toward zero, as a C cast of the profit would, when the result fits.
std::optional<std::int64_t> truncateToYen(double amount) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  const double truncated = std::trunc(amount);
  if (!(truncated >= -kTwoTo63 && truncated < kTwoTo63)) return std::nullopt;  // NaN too
  return static_cast<std::int64_t>(truncated);
}

TradeOutcome noted(LedgerNoteKind kind) {
  return {std::nullopt, LedgerNote{kind, 0}};
}

TradeOutcome closeMarginPosition(const TradeRow& trade) {
  const PositionCosts costs = positionCostsOf(trade);
  if (!costs.fees || !costs.tax) return noted(LedgerNoteKind::amountOutOfRange);

  TradeOutcome outcome;
  outcome.result = ResultRow{
      .trade = trade, .profit = trade.settlementAmount, .averagePrice = trade.positionPrice};
  outcome.result->trade.commission = *costs.fees;
  outcome.result->trade.commissionTax = *costs.tax;
  return outcome;
}

TradeOutcome buyAtAverage(HoldingMap& holdings, const TradeRow& trade) {
  const auto found = holdings.find(holdingOf(trade));
  if (found == holdings.end()) {
    Holding& added = holdings
                         .emplace(HoldingKey(holdingOf(trade)),
                                  Holding{.quantity = trade.quantity,
                                          .averagePrice = trade.unitPrice,
                                          .pendingCommission = trade.commission,
                                          .pendingCommissionTax = trade.commissionTax})
                         .first->second;
    noteTrade(added, trade);
    return {};
  }
  Holding& holding = found->second;
  const std::optional<std::int64_t> quantity = checkedAdd(holding.quantity, trade.quantity);
  const std::optional<std::int64_t> commission =
      checkedAdd(holding.pendingCommission, trade.commission);
  const std::optional<std::int64_t> tax =
      checkedAdd(holding.pendingCommissionTax, trade.commissionTax);
  // Both counts are above zero, so their sum is.
  const double average = quantity ? (static_cast<double>(trade.quantity) * trade.unitPrice +
                                     holding.averagePrice * static_cast<double>(holding.quantity)) /
                                        static_cast<double>(*quantity)
                                  : 0.0;
  if (!quantity || !commission || !tax || !std::isfinite(average)) {
    return noted(LedgerNoteKind::amountOutOfRange);
  }
  holding.quantity = *quantity;
  holding.averagePrice = average;
  holding.pendingCommission = *commission;
  holding.pendingCommissionTax = *tax;
  noteTrade(holding, trade);
  return {};
}

TradeOutcome sellAtAverage(HoldingMap& holdings, const TradeRow& trade) {
  const auto found = holdings.find(holdingOf(trade));
  if (found == holdings.end()) return noted(LedgerNoteKind::saleWithoutHolding);
  Holding& holding = found->second;

  const std::optional<std::int64_t> commission =
      checkedAdd(trade.commission, holding.pendingCommission);
  const std::optional<std::int64_t> tax =
      checkedAdd(trade.commissionTax, holding.pendingCommissionTax);
  const std::optional<std::int64_t> profit = truncateToYen(
      (trade.unitPrice - holding.averagePrice) * static_cast<double>(trade.quantity) -
      static_cast<double>(trade.commission) - static_cast<double>(trade.commissionTax) -
      static_cast<double>(holding.pendingCommission) -
      static_cast<double>(holding.pendingCommissionTax));
  // Selling everything held, or more, closes the holding; it never goes negative.
  const bool closes = trade.quantity >= holding.quantity;
  const std::optional<std::int64_t> remaining =
      closes ? std::optional<std::int64_t>(0) : checkedSubtract(holding.quantity, trade.quantity);
  if (!commission || !tax || !profit || !remaining) {
    return noted(LedgerNoteKind::amountOutOfRange);
  }

  TradeOutcome outcome;
  outcome.result =
      ResultRow{.trade = trade, .profit = *profit, .averagePrice = holding.averagePrice};
  outcome.result->trade.commission = *commission;
  outcome.result->trade.commissionTax = *tax;

  if (closes) {
    closeHolding(holdings, found, trade, outcome);
    return outcome;
  }
  holding.quantity = *remaining;
  holding.pendingCommission = 0;
  holding.pendingCommissionTax = 0;
  noteTrade(holding, trade);
  return outcome;
}

// What a purchase adds to a holding's cost: its 約定代金 and its commission with the tax on
// it (タックスアンサー No.1464).
std::optional<std::int64_t> purchaseCost(const TradeRow& trade) {
  std::optional<std::int64_t> cost = tradeValue(trade.quantity, trade.exactUnitPrice);
  addTo(cost, trade.commission);
  addTo(cost, trade.commissionTax);
  return cost;
}

TradeOutcome buyAtCost(HoldingMap& holdings, const TradeRow& trade) {
  const auto found = holdings.find(holdingOf(trade));
  const Holding held = found == holdings.end() ? Holding{} : found->second;
  std::optional<std::int64_t> cost = purchaseCost(trade);
  addTo(cost, held.cost);
  const std::optional<std::int64_t> quantity = checkedAdd(held.quantity, trade.quantity);
  if (!cost || !quantity) return noted(LedgerNoteKind::amountOutOfRange);
  Holding& holding = found != holdings.end()
                         ? found->second
                         : holdings.emplace(HoldingKey(holdingOf(trade)), Holding{}).first->second;
  holding.quantity = *quantity;
  holding.cost = *cost;
  noteTrade(holding, trade);
  return {};
}

// 譲渡収入 − 取得費 − 譲渡費用: the sale's 約定代金, less the shares at the rounded-up cost
// per share, less the sale's own commission and its tax.
TradeOutcome sellAtCost(HoldingMap& holdings, const TradeRow& trade) {
  const auto found = holdings.find(holdingOf(trade));
  if (found == holdings.end()) return noted(LedgerNoteKind::saleWithoutHolding);
  Holding& holding = found->second;

  const std::int64_t unit = unitCostRoundedUp(holding.cost, holding.quantity);
  const std::optional<std::int64_t> proceeds = tradeValue(trade.quantity, trade.exactUnitPrice);
  const std::optional<std::int64_t> acquisition = checkedMultiply(unit, trade.quantity);
  std::optional<std::int64_t> expenses = trade.commission;
  addTo(expenses, trade.commissionTax);
  std::optional<std::int64_t> profit;
  if (proceeds && acquisition && expenses) {
    if (const auto gross = checkedSubtract(*proceeds, *acquisition)) {
      profit = checkedSubtract(*gross, *expenses);
    }
  }
  // The shares left are carried at the rounded-up cost per share.
  const bool closes = trade.quantity >= holding.quantity;
  const std::optional<std::int64_t> left =
      closes ? std::optional<std::int64_t>(0) : checkedSubtract(holding.quantity, trade.quantity);
  const std::optional<std::int64_t> leftCost = left ? checkedMultiply(unit, *left) : std::nullopt;
  if (!profit || !leftCost) return noted(LedgerNoteKind::amountOutOfRange);

  TradeOutcome outcome;
  outcome.result =
      ResultRow{.trade = trade, .profit = *profit, .averagePrice = static_cast<double>(unit)};
  if (closes) {
    closeHolding(holdings, found, trade, outcome);
    return outcome;
  }
  holding.quantity = *left;
  holding.cost = *leftCost;
  noteTrade(holding, trade);
  return outcome;
}

}  // namespace

struct HoldingLedger::Holdings {
  HoldingMap map;
};

HoldingLedger::HoldingLedger(CostMethod method)
    : method_(method), holdings_(std::make_unique<Holdings>()) {}
HoldingLedger::~HoldingLedger() = default;
HoldingLedger::HoldingLedger(HoldingLedger&&) noexcept = default;
HoldingLedger& HoldingLedger::operator=(HoldingLedger&&) noexcept = default;

TradeOutcome HoldingLedger::apply(const TradeRow& trade) {
  // The reader skips spot rows and deliveries of 0 or fewer shares, with a message; none
  // reaches a holding, so that every holding has shares.
  if (holdingsOf(trade.kind) == LogKind::spot && trade.quantity <= 0) return {};
  switch (trade.kind) {
    case TradeKind::spotPurchase:
      return buy(trade);
    case TradeKind::spotSale:
      return sell(trade);
    case TradeKind::deliveryTake:
    case TradeKind::deliveryGive:
      if (const std::optional<TradeRow> spot = asSpotTrade(trade)) {
        return trade.kind == TradeKind::deliveryTake ? buy(*spot) : sell(*spot);
      }
      return noted(LedgerNoteKind::amountOutOfRange);
    case TradeKind::marginClosing:
      return closeMarginPosition(trade);
    case TradeKind::marginOpening:
    case TradeKind::other:
      break;
  }
  return {};
}

TradeOutcome HoldingLedger::buy(const TradeRow& trade) {
  return method_ == CostMethod::taxOffice ? buyAtCost(holdings_->map, trade)
                                          : buyAtAverage(holdings_->map, trade);
}

TradeOutcome HoldingLedger::sell(const TradeRow& trade) {
  return method_ == CostMethod::taxOffice ? sellAtCost(holdings_->map, trade)
                                          : sellAtAverage(holdings_->map, trade);
}

std::vector<SplitNote> HoldingLedger::split(const StockSplit& split) {
  std::vector<SplitNote> notes;
  const StockCode code = split.code();
  HoldingMap& map = holdings_->map;
  bool emptied = false;
  for (auto at = map.begin(); at != map.end(); ++at) {
    Holding& holding = at->second;
    if (!(at->first.view().code == code)) continue;
    const std::optional<std::int64_t> product = checkedMultiply(holding.quantity, split.after);
    SplitNote note{.account = at->first.account, .sharesBefore = holding.quantity};
    if (!product) {
      note.kind = SplitNote::Kind::outOfRange;
      notes.push_back(std::move(note));
      continue;
    }
    note.sharesAfter = *product / split.before;
    if (const std::int64_t over = *product % split.before; over != 0) {
      const std::int64_t common = std::gcd(over, split.before);
      note.fractionOver = over / common;
      note.fractionUnder = split.before / common;
      notes.push_back(note);
    }
    holding.quantity = note.sharesAfter;
    holding.averagePrice =
        holding.averagePrice * static_cast<double>(split.before) / static_cast<double>(split.after);
    holding.lastPrice =
        holding.lastPrice * static_cast<double>(split.before) / static_cast<double>(split.after);
    emptied = emptied || holding.quantity == 0;
  }
  // A holding merged down to no share is gone, under either method: the broker pays the
  // fraction out in cash, and nothing is left to sell.
  if (emptied) {
    std::erase_if(map, [](const auto& entry) { return entry.second.quantity == 0; });
    shrinkIfSparse(map);
  }
  return notes;
}

std::optional<std::int64_t> HoldingLedger::sharesHeld(std::string_view account,
                                                      const StockCode& code) const {
  const auto found = holdings_->map.find(HoldingOf{account, code});
  if (found == holdings_->map.end()) return std::nullopt;
  return found->second.quantity;
}

}  // namespace tradepl
