#pragma once
// The holding ledger: takes the trades one at a time, in the order they are applied,
// keeping a holding per account and security code for spot trades, and yields one realized
// result for every spot sale of a held code (a 現渡 is one) and for every margin closing
// trade. Each account kind (特定, 一般, NISA…) is a pool of its own: the tax office counts a
// NISA purchase apart from a taxable one of the same code.
//
//   spot purchase  (現物, 買)   builds up the holding
//   spot sale      (現物, 売…)  result at the holding's cost per share
//   margin closing (信用返済)   result from the row's own position price, profit and fees
//   margin opening (信用新規)   nothing
//   delivery       (現引, 現渡) a spot purchase or sale at the position's price (delivery.hpp)
//
// A spot holding is costed by one of two methods, chosen when the ledger is made:
//   moving average  the broker's statements (moving_average.hpp)
//   tax office      総平均法に準ずる方法 (tax_office.hpp)

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "records/records.hpp"
#include "records/splits.hpp"

namespace tradepl {

enum class LedgerNoteKind : std::uint8_t {
  saleWithoutHolding,  // no result: nothing of the code was bought earlier in the logs
  soldMoreThanHeld,    // result written, holding closed
  amountOutOfRange,    // the trade is left out: a sum or the profit would not fit 64 bits
};

// A split the logs do not show, as a sale larger than its holding suggests it: the price
// fell by about a whole factor since the holding's previous trade.
struct SplitHint {
  double previousPrice = 0.0;
  Day previousDay;
  double salePrice = 0.0;
  Day saleDay;
  std::int64_t ratio = 0;  // the split 1:ratio that would explain the sale
};

// Something the ledger has to tell the user about one trade.
struct LedgerNote {
  LedgerNoteKind kind = LedgerNoteKind::saleWithoutHolding;
  std::int64_t heldQuantity = 0;         // for soldMoreThanHeld
  std::optional<SplitHint> splitHint{};  // for soldMoreThanHeld, where a split explains it
};

// What a split did to a holding that the user should know of.
struct SplitNote {
  enum class Kind : std::uint8_t {
    fraction,    // a fraction of a share was left over, which the broker pays out in cash
    outOfRange,  // the shares would not fit 64 bits: the holding was left as it was
  };
  Kind kind = Kind::fraction;
  std::string account{};  // Shift_JIS, as the logs spell it
  std::int64_t sharesBefore = 0;
  std::int64_t sharesAfter = 0;   // rounded down
  std::int64_t fractionOver = 0;  // the fraction of a share: fractionOver / fractionUnder
  std::int64_t fractionUnder = 1;
};

enum class CostMethod : std::uint8_t { movingAverage, taxOffice };

// What one trade comes to: a result, if it yields one, and a note, if it needs one.
struct TradeOutcome {
  std::optional<ResultRow> result;
  std::optional<LedgerNote> note;
};

namespace detail {
class HoldingBook;
}  // namespace detail

class HoldingLedger {
 public:
  explicit HoldingLedger(CostMethod method = CostMethod::movingAverage);
  ~HoldingLedger();
  HoldingLedger(HoldingLedger&&) noexcept;
  HoldingLedger& operator=(HoldingLedger&&) noexcept;

  // Applies one trade of either log; rows of a kind the logs do not keep change nothing, nor
  // do spot rows or deliveries of 0 or fewer shares (the reader skips them). A holding whose shares
  // reach 0 is removed: the ledger holds the open holdings only. A result refers to `trade`.
  TradeOutcome apply(const TradeRow& trade);

  // Applies a split to every holding of its code, in every account in the order of the
  // accounts' bytes (the order of its notes): the shares times
  // after ÷ before, rounded down. The moving average becomes average × before ÷ after, the
  // commissions waiting stay; under the tax office's method the cost stays (所令110). A
  // holding left without shares is removed, under either method.
  std::vector<SplitNote> split(const StockSplit& split);

  // The shares held in an account's holding of a code; none where there is no holding.
  std::optional<std::int64_t> sharesHeld(std::string_view account, const StockCode& code) const;

 private:
  std::unique_ptr<detail::HoldingBook> book_;  // under the method chosen, for the whole run
};

}  // namespace tradepl
