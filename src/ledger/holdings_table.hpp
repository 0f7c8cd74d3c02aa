#pragma once
// The ledger's holdings, one per account and security code: the holdings side by side in
// one array, found through a flat index of 8-byte slots, open addressing with linear
// probing, doubled when half of it is taken and given back when no more than an eighth is.
// A holding costs its own bytes and two to four slots, against a node, a bucket and an
// allocation each in a node-based map. A lookup hashes the account's bytes and the code and
// compares them where they stand, without copying them; a holding added keeps its own copy
// of the account and the symbol, since the rows view lines that do not stay. The order of
// the holdings depends on the trades and the hashes: whatever is said of several holdings is
// put in an order of its own (see forEachOfCode).

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
  return {trade.account().view(), trade.stockCode()};
}

namespace detail {

// FNV-1a: accounts and symbols are a few bytes, for which it costs a fraction of the
// library's string hash; it runs for every spot trade. Fibonacci hashing then spreads its
// weak low bits over the 32 bits a slot keeps, whose low ones pick the slot.
inline std::uint32_t hashOf(const HoldingKey& key) {
  std::uint64_t hash = 14695981039346656037u;
  const auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211u; };
  for (const char c : key.account) mix(static_cast<unsigned char>(c));
  mix(0x100);  // ends the account
  if (key.code.isSymbol()) {
    for (const char c : key.code.symbol.view()) mix(static_cast<unsigned char>(c));
  } else {
    mix(static_cast<std::uint64_t>(key.code.number));
  }
  return static_cast<std::uint32_t>((hash * 0x9E3779B97F4A7C15u) >> 32);
}

}  // namespace detail

template <typename Holding>
class HoldingsTable {
 public:
  std::size_t size() const { return entries_.size(); }

  // Where a key stands: its holding, if it has one, and its hash and slot, so that the add
  // or the removal that follows a lookup does not hash the key and probe for it again.
  struct Place {
    Holding* holding = nullptr;
    std::uint32_t hash = 0;
    std::size_t slot = 0;  // the holding's slot, where there is one
  };
  Place locate(const HoldingKey& key) {
    const std::uint32_t hash = detail::hashOf(key);
    const std::ptrdiff_t at = slotOf(key, hash);
    if (at < 0) return {nullptr, hash, 0};
    const auto slot = static_cast<std::size_t>(at);
    return {&entries_[slots_[slot].entry - 1].holding, hash, slot};
  }

  Holding* find(const HoldingKey& key) { return locate(key).holding; }
  const Holding* find(const HoldingKey& key) const {
    const std::ptrdiff_t at = slotOf(key, detail::hashOf(key));
    return at < 0 ? nullptr : &entries_[slots_[static_cast<std::size_t>(at)].entry - 1].holding;
  }

  // Adds a holding under a key the table does not have yet, at the place locate() found for
  // it. Pointers to holdings found earlier do not stay valid.
  Holding& add(const Place& place, const HoldingKey& key, const Holding& holding) {
    if (2 * (size() + 1) > slots_.size()) rebuild(slots_.empty() ? 16 : 2 * slots_.size());
    entries_.push_back(Entry(key, place.hash, holding));
    insertSlot(Slot{place.hash, static_cast<std::uint32_t>(entries_.size())});
    return entries_.back().holding;
  }
  Holding& add(const HoldingKey& key, const Holding& holding) {
    return add(Place{nullptr, detail::hashOf(key), 0}, key, holding);
  }

  // Removes the holding at a place locate() found: the last holding takes its place in the
  // array, and the slots after its own move back into the gap, so that no slot is left
  // marked as deleted.
  void remove(const Place& place) {
    const std::uint32_t entry = slots_[place.slot].entry;
    vacate(place.slot);
    const auto last = static_cast<std::uint32_t>(entries_.size());
    if (entry != last) {
      slotOfEntry(last).entry = entry;
      entries_[entry - 1] = std::move(entries_.back());
    }
    entries_.pop_back();
    shrinkIfSparse();
  }
  // Removes the holding kept under `key`, which the table has.
  void remove(const HoldingKey& key) { remove(locate(key)); }

  // Calls `each(account, holding)` on the holdings of a code in every account, in the order
  // of the accounts' bytes.
  template <typename Each>
  void forEachOfCode(const StockCode& code, Each&& each) {
    std::vector<Entry*> found;
    for (Entry& entry : entries_) {
      if (entry.key().code == code) found.push_back(&entry);
    }
    std::sort(found.begin(), found.end(),
              [](const Entry* a, const Entry* b) { return a->account() < b->account(); });
    for (Entry* entry : found) each(entry->account(), entry->holding);
  }

  // Removes every holding for which `drop(holding)` is true.
  template <typename Drop>
  void removeIf(Drop&& drop) {
    std::erase_if(entries_, [&drop](const Entry& entry) { return drop(entry.holding); });
    if (!shrinkIfSparse()) rebuild(slots_.size());
  }

 private:
  // A holding with its key: the account's bytes and then the symbol's, and the code's number.
  struct Entry {
    Entry(const HoldingKey& key, std::uint32_t keyHash, const Holding& value)
        : hash(keyHash),
          accountSize(static_cast<std::uint32_t>(key.account.size())),
          number(key.code.number),
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

    std::uint32_t hash;
    std::uint32_t accountSize;
    std::int64_t number;
    std::string bytes;
    Holding holding;
  };

  // The hash of a holding, and its place in the array counted from 1; 0 for a free slot.
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t entry = 0;
  };

  // The slot of the key's holding, -1 where it has none.
  std::ptrdiff_t slotOf(const HoldingKey& key, std::uint32_t hash) const {
    if (entries_.empty()) return -1;
    for (std::size_t at = hash & mask();; at = next(at)) {
      const Slot& slot = slots_[at];
      if (slot.entry == 0) return -1;
      if (slot.hash == hash && entries_[slot.entry - 1].holds(key)) {
        return static_cast<std::ptrdiff_t>(at);
      }
    }
  }
  Slot& slotOfEntry(std::uint32_t entry) {
    std::size_t at = entries_[entry - 1].hash & mask();
    while (slots_[at].entry != entry) at = next(at);
    return slots_[at];
  }

  void insertSlot(Slot slot) {
    std::size_t at = slot.hash & mask();
    while (slots_[at].entry != 0) at = next(at);
    slots_[at] = slot;
  }

  // Frees a slot, moving back into the gap each slot after it that may stand there: one whose
  // home does not lie cyclically after the gap and up to the slot.
  void vacate(std::size_t gap) {
    slots_[gap] = Slot();
    for (std::size_t at = next(gap); slots_[at].entry != 0; at = next(at)) {
      const std::size_t home = slots_[at].hash & mask();
      const bool stays = gap <= at ? gap < home && home <= at : gap < home || home <= at;
      if (stays) continue;
      slots_[gap] = slots_[at];
      slots_[at] = Slot();
      gap = at;
    }
  }

  // Indexes every holding anew in `capacity` slots, a power of two.
  void rebuild(std::size_t capacity) {
    slots_.assign(capacity, Slot());
    for (std::size_t at = 0; at < entries_.size(); ++at) {
      insertSlot(Slot{entries_[at].hash, static_cast<std::uint32_t>(at + 1)});
    }
  }

  // Gives back the room of holdings removed: a log of 500,000 codes, each bought and later
  // sold, would otherwise keep the room of its busiest day to the end of the run.
  // Returns whether it indexed the holdings anew.
  bool shrinkIfSparse() {
    constexpr std::size_t kFewSlots = 1024;
    if (slots_.size() <= kFewSlots || 8 * size() > slots_.size()) return false;
    std::size_t capacity = kFewSlots;
    while (capacity < 4 * size()) capacity *= 2;
    entries_.shrink_to_fit();
    rebuild(capacity);
    return true;
  }

  std::size_t mask() const { return slots_.size() - 1; }
  std::size_t next(std::size_t at) const { return (at + 1) & mask(); }

  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

}  // namespace tradepl
