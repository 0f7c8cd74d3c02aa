#pragma once
// The ledger's holdings, one per account and security code, in one flat table: open
// addressing with linear probing, its room doubled when half of it is taken and given back
// when no more than an eighth is. A lookup hashes
// the account's bytes and the code and compares them where they stand, without copying
// them; a holding added keeps its own copy of the account and the symbol, since the rows
// view lines that do not stay. The order of the slots depends on the hashes: whatever is
// said of several holdings is put in an order of its own (see forEachOfCode).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/records.hpp"

namespace tradepl {

// What a holding is kept under, as a trade shows it: the account's bytes and the code,
// a number or a symbol, never equal to each other.
struct HoldingKey {
  std::string_view account;
  StockCode code;
};

inline HoldingKey holdingKeyOf(const TradeRow& trade) {
  return {trade.account.view(), trade.stockCode};
}

namespace detail {

// FNV-1a: accounts and symbols are a few bytes, for which it costs a fraction of the
// library's string hash; it runs for every spot trade. The top bit is set, so that a hash
// is never 0, which marks a free slot.
inline std::uint64_t hashOf(const HoldingKey& key) {
  std::uint64_t hash = 14695981039346656037u;
  const auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211u; };
  for (const char c : key.account) mix(static_cast<unsigned char>(c));
  mix(0x100);  // ends the account
  if (key.code.isSymbol()) {
    for (const char c : key.code.symbol.view()) mix(static_cast<unsigned char>(c));
  } else {
    mix(static_cast<std::uint64_t>(key.code.number));
  }
  return hash | std::uint64_t{1} << 63;
}

}  // namespace detail

template <typename Holding>
class HoldingsTable {
 public:
  std::size_t size() const { return size_; }

  Holding* find(const HoldingKey& key) { return std::as_const(*this).findSlot(key); }
  const Holding* find(const HoldingKey& key) const { return findSlot(key); }

  // Adds a holding under a key the table does not have yet.
  Holding& add(const HoldingKey& key, const Holding& holding) {
    if (2 * (size_ + 1) > slots_.size()) rebuild(slots_.empty() ? 16 : 2 * slots_.size());
    ++size_;
    return place(Slot(key, detail::hashOf(key), holding)).holding;
  }

  // Removes the holding kept under `key`, which the table has, moving those after it back
  // into the gap, so that no slot is left marked as deleted.
  void remove(const HoldingKey& key) {
    std::size_t gap = indexOf(key);
    slots_[gap] = Slot();
    --size_;
    for (std::size_t at = next(gap); slots_[at].hash != 0; at = next(at)) {
      const std::size_t home = homeOf(slots_[at].hash);
      // A slot stays where its home lies cyclically after the gap and not after the slot.
      const bool stays = gap <= at ? gap < home && home <= at : gap < home || home <= at;
      if (stays) continue;
      slots_[gap] = std::move(slots_[at]);
      slots_[at] = Slot();
      gap = at;
    }
    shrinkIfSparse();
  }

  // Calls `each(account, holding)` on the holdings of a code in every account, in the order
  // of the accounts' bytes.
  template <typename Each>
  void forEachOfCode(const StockCode& code, Each&& each) {
    std::vector<Slot*> found;
    for (Slot& slot : slots_) {
      if (slot.hash != 0 && slot.key().code == code) found.push_back(&slot);
    }
    std::sort(found.begin(), found.end(),
              [](const Slot* a, const Slot* b) { return a->account() < b->account(); });
    for (Slot* slot : found) each(slot->account(), slot->holding);
  }

  // Removes every holding for which `drop(holding)` is true.
  template <typename Drop>
  void removeIf(Drop&& drop) {
    for (Slot& slot : slots_) {
      if (slot.hash != 0 && drop(std::as_const(slot.holding))) {
        slot = Slot();
        --size_;
      }
    }
    rebuild(slots_.size());
    shrinkIfSparse();
  }

 private:
  // The key's bytes, the account's and then the symbol's, and the code's number.
  struct Slot {
    Slot() = default;
    Slot(const HoldingKey& key, std::uint64_t keyHash, const Holding& value)
        : hash(keyHash),
          number(key.code.number),
          accountSize(key.account.size()),
          bytes(std::string(key.account) += key.code.symbol.view()),
          holding(value) {}

    std::string_view account() const { return std::string_view(bytes).substr(0, accountSize); }
    HoldingKey key() const {
      return {account(), StockCode{number, Text(std::string_view(bytes).substr(accountSize))}};
    }
    bool holds(const HoldingKey& wanted) const {
      const std::string_view symbol = wanted.code.symbol.view();
      return accountSize == wanted.account.size() && bytes.size() == accountSize + symbol.size() &&
             (!symbol.empty() || number == wanted.code.number) &&
             std::string_view(bytes).starts_with(wanted.account) &&
             std::string_view(bytes).ends_with(symbol);
    }

    std::uint64_t hash = 0;  // 0: the slot is free
    std::int64_t number = 0;
    std::size_t accountSize = 0;
    std::string bytes;
    Holding holding{};
  };

  static constexpr std::size_t kMissing = ~std::size_t{0};

  std::size_t indexOf(const HoldingKey& key) const {
    if (size_ == 0) return kMissing;
    const std::uint64_t hash = detail::hashOf(key);
    for (std::size_t at = homeOf(hash);; at = next(at)) {
      const Slot& slot = slots_[at];
      if (slot.hash == 0) return kMissing;
      if (slot.hash == hash && slot.holds(key)) return at;
    }
  }
  Holding* findSlot(const HoldingKey& key) const {
    const std::size_t at = indexOf(key);
    return at == kMissing ? nullptr : const_cast<Holding*>(&slots_[at].holding);
  }

  Slot& place(Slot&& slot) {
    std::size_t at = homeOf(slot.hash);
    while (slots_[at].hash != 0) at = next(at);
    slots_[at] = std::move(slot);
    return slots_[at];
  }

  // Places every holding anew in `capacity` slots, a power of two.
  void rebuild(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (Slot& slot : old) {
      if (slot.hash != 0) place(std::move(slot));
    }
  }

  // Gives back the room of holdings removed: a log of 500,000 codes, each bought and later
  // sold, would otherwise keep the slots of its busiest day to the end of the run.
  void shrinkIfSparse() {
    constexpr std::size_t kFewSlots = 1024;
    if (slots_.size() <= kFewSlots || 8 * size_ > slots_.size()) return;
    std::size_t capacity = kFewSlots;
    while (capacity < 4 * size_) capacity *= 2;
    rebuild(capacity);
  }

  // Fibonacci hashing spreads FNV's weak low bits over the top ones, which pick the slot.
  std::size_t homeOf(std::uint64_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15u) >> 32) & (slots_.size() - 1);
  }
  std::size_t next(std::size_t at) const { return (at + 1) & (slots_.size() - 1); }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace tradepl
