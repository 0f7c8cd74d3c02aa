#include "ledger/ledger.hpp"

#include <cmath>
#include <numeric>
#include <string>
#include <string_view>

#include "ledger/delivery.hpp"
#include "ledger/holdings_table.hpp"
#include "ledger/moving_average.hpp"
#include "ledger/tax_office.hpp"
#include "records/numbers.hpp"

namespace tradepl {
namespace {

// The price and date of a holding's last trade, against which a sale too large for the
// holding is looked at for a split the logs do not show. The date is kept as read and its
// day found only then: the calendar check cost 50 instructions a trade, for a rare sale.
struct LastTrade {
  double price = 0.0;
  CalendarDate date{};
};

LastTrade lastTradeOf(const TradeRow& trade) {
  return {trade.unitPrice, trade.executed.date};
}

// A sale larger than its holding, at a price about a whole factor or more below that of the
// holding's last trade, most likely follows a split the logs do not show: 100 shares bought
// at 4,000 are sold as 2,500 at 170 after a 1:25 split. The factor is the shares sold over
// those held where that is whole and near the fall in price, else the fall rounded.
std::optional<SplitHint> splitHintFor(std::int64_t held, const LastTrade& last,
                                      const TradeRow& sale) {
  const std::optional<Day> lastDay = dayOf(last.date);
  const std::optional<Day> saleDay = dayOf(sale.executed.date);
  if (!lastDay || !saleDay || !(last.price > 0) || !(sale.unitPrice > 0) || held <= 0) {
    return std::nullopt;
  }
  const double fall = last.price / sale.unitPrice;
  if (fall < 1.8 || fall > 1e9) return std::nullopt;
  auto ratio = static_cast<std::int64_t>(std::llround(fall));
  if (sale.quantity % held == 0) {
    const std::int64_t byShares = sale.quantity / held;
    const auto shares = static_cast<double>(byShares);
    if (byShares >= 2 && shares >= fall / 1.25 && shares <= fall * 1.25) ratio = byShares;
  }
  return SplitHint{last.price, *lastDay, sale.unitPrice, *saleDay, ratio};
}

TradeOutcome noted(LedgerNoteKind kind) {
  return {std::nullopt, LedgerNote{kind, 0}};
}

TradeOutcome closeMarginPosition(const TradeRow& trade) {
  const PositionCosts costs = positionCostsOf(trade);
  if (!costs.fees || !costs.tax) return noted(LedgerNoteKind::amountOutOfRange);
  return {ResultRow{.row = &trade,
                    .unitPrice = trade.unitPrice,
                    .exactUnitPrice = trade.exactUnitPrice,
                    .commission = *costs.fees,
                    .commissionTax = *costs.tax,
                    .profit = trade.settlementAmount,
                    .averagePrice = trade.positionPrice},
          std::nullopt};
}

// The shares of a holding after a split, and the note it needs, if any: a fraction left
// over, or shares that would not fit (the holding then stays as it was).
struct SplitShares {
  std::optional<std::int64_t> after;
  std::optional<SplitNote> note;
};

SplitShares splitShares(std::string_view account, std::int64_t held, const StockSplit& split) {
  SplitNote note{.account = std::string(account), .sharesBefore = held};
  const std::optional<std::int64_t> product = checkedMultiply(held, split.after);
  if (!product) {
    note.kind = SplitNote::Kind::outOfRange;
    return {std::nullopt, std::move(note)};
  }
  note.sharesAfter = *product / split.before;
  const std::int64_t over = *product % split.before;
  if (over == 0) return {note.sharesAfter, std::nullopt};
  const std::int64_t common = std::gcd(over, split.before);
  note.fractionOver = over / common;
  note.fractionUnder = split.before / common;
  return {note.sharesAfter, std::move(note)};
}

}  // namespace

namespace detail {

// The spot holdings under one cost method. The ledger picks its book once; a row then costs
// one call through this interface, inside which the method's rules are called directly.
class HoldingBook {
 public:
  virtual ~HoldingBook() = default;
  virtual TradeOutcome buy(const TradeRow& purchase) = 0;
  // `sale` is costed; the result refers to `closing`, the row it came from.
  virtual TradeOutcome sell(const TradeRow& sale, const TradeRow& closing) = 0;
  virtual std::vector<SplitNote> split(const StockSplit& split) = 0;
  virtual std::optional<std::int64_t> sharesHeld(const HoldingKey& key) const = 0;
};

}  // namespace detail

namespace {

// The steps both methods share: finding the holding, closing it, noting its last trade.
// `Rule` says what a purchase, a sale and a split do to its own kind of holding.
template <typename Rule>
class BookOf final : public detail::HoldingBook {
 public:
  TradeOutcome buy(const TradeRow& purchase) override {
    const HoldingKey key = holdingKeyOf(purchase);
    const auto place = holdings_.locate(key);
    Entry* const found = place.holding;
    const std::optional<Holding> after = Rule::bought(found ? &found->holding : nullptr, purchase);
    if (!after) return noted(LedgerNoteKind::amountOutOfRange);
    Entry& entry = found ? *found : holdings_.add(place, key, Entry{});
    entry = {*after, lastTradeOf(purchase)};
    return {};
  }

  // A sale of everything held, or more, closes the holding: it never goes negative. Selling
  // more than held is said.
  TradeOutcome sell(const TradeRow& sale, const TradeRow& closing) override {
    const auto place = holdings_.locate(holdingKeyOf(sale));
    Entry* const found = place.holding;
    if (!found) return noted(LedgerNoteKind::saleWithoutHolding);
    const std::int64_t held = found->holding.quantity;
    const bool closes = sale.quantity >= held;
    const auto sold = Rule::sold(found->holding, sale, closes ? 0 : held - sale.quantity);
    if (!sold) return noted(LedgerNoteKind::amountOutOfRange);

    TradeOutcome outcome{sold->result, std::nullopt};
    outcome.result->row = &closing;
    outcome.result->unitPrice = sale.unitPrice;
    outcome.result->exactUnitPrice = sale.exactUnitPrice;
    if (!closes) {
      *found = {sold->left, lastTradeOf(sale)};
      return outcome;
    }
    if (sale.quantity > held) {
      outcome.note =
          LedgerNote{LedgerNoteKind::soldMoreThanHeld, held, splitHintFor(held, found->last, sale)};
    }
    holdings_.remove(place);
    return outcome;
  }

  std::vector<SplitNote> split(const StockSplit& split) override {
    std::vector<SplitNote> notes;
    bool emptied = false;
    holdings_.forEachOfCode(split.code(), [&](std::string_view account, Entry& entry) {
      SplitShares shares = splitShares(account, entry.holding.quantity, split);
      if (shares.note) notes.push_back(std::move(*shares.note));
      if (!shares.after) return;
      entry.holding.quantity = *shares.after;
      Rule::split(entry.holding, split);
      entry.last.price =
          entry.last.price * static_cast<double>(split.before) / static_cast<double>(split.after);
      emptied = emptied || *shares.after == 0;
    });
    // A holding merged down to no share is gone, under either method: the broker pays the
    // fraction out in cash, and nothing is left to sell.
    if (emptied) holdings_.removeIf([](const Entry& entry) { return entry.holding.quantity == 0; });
    return notes;
  }

  std::optional<std::int64_t> sharesHeld(const HoldingKey& key) const override {
    const Entry* const found = holdings_.find(key);
    return found ? std::optional<std::int64_t>(found->holding.quantity) : std::nullopt;
  }

 private:
  using Holding = typename Rule::Holding;
  struct Entry {
    Holding holding;
    LastTrade last;
  };

  HoldingsTable<Entry> holdings_;
};

std::unique_ptr<detail::HoldingBook> bookFor(CostMethod method) {
  switch (method) {
    case CostMethod::taxOffice:
      return std::make_unique<BookOf<TaxOffice>>();
    case CostMethod::movingAverage:
      break;
  }
  return std::make_unique<BookOf<MovingAverage>>();
}

}  // namespace

HoldingLedger::HoldingLedger(CostMethod method) : book_(bookFor(method)) {}
HoldingLedger::~HoldingLedger() = default;
HoldingLedger::HoldingLedger(HoldingLedger&&) noexcept = default;
HoldingLedger& HoldingLedger::operator=(HoldingLedger&&) noexcept = default;

TradeOutcome HoldingLedger::apply(const TradeRow& trade) {
  // The reader skips spot rows and deliveries of 0 or fewer shares, with a message; none
  // reaches a holding, so that every holding has shares.
  if (holdingsOf(trade.kind) == LogKind::spot && trade.quantity <= 0) return {};
  switch (trade.kind) {
    case TradeKind::spotPurchase:
      return book_->buy(trade);
    case TradeKind::spotSale:
      return book_->sell(trade, trade);
    case TradeKind::deliveryTake:
    case TradeKind::deliveryGive:
      if (const std::optional<TradeRow> spot = asSpotTrade(trade)) {
        return trade.kind == TradeKind::deliveryTake ? book_->buy(*spot)
                                                     : book_->sell(*spot, trade);
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

std::vector<SplitNote> HoldingLedger::split(const StockSplit& split) {
  return book_->split(split);
}

std::optional<std::int64_t> HoldingLedger::sharesHeld(std::string_view account,
                                                      const StockCode& code) const {
  return book_->sharesHeld(HoldingKey{account, code});
}

}  // namespace tradepl
