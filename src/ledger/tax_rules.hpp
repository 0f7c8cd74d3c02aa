#pragma once
// The rules of the tax office and of the brokers that tradepl's tax figures rest on, each in
// one function that names its source. Amounts are whole yen in 64 bits; a figure that would
// not fit is none, never a wrapped number.

#include <cstdint>
#include <optional>
#include <string_view>

#include "records/records.hpp"

namespace tradepl {

// 約定代金: the shares times the price as written, exactly, rounded down to the yen. None
// where it does not fit 64 bits, or the price has more than nine decimals (no exchange
// quotes one).
std::optional<std::int64_t> tradeValue(std::int64_t quantity, const ExactPrice& price);

// The cost of one share at a sale under 総平均法に準ずる方法: the holding's cost divided by
// its shares, rounded up to the yen (タックスアンサー No.1466; 措通37の10・37の11共-14).
// `shares` must be above zero.
std::int64_t unitCostRoundedUp(std::int64_t cost, std::int64_t shares);

// The same-day rule of a 特定口座 (措通37の11の3-1(2)): several sales of one code on one day
// count as made at the last of them, and brokers apply all of a day's purchases in the
// account before its sales. True for a purchase in an account whose name holds 特定.
// A 一般口座 has no such rule (所令118 reads its trades in time order).
bool appliesFirstOnItsDay(const TradeRow& row);

// NISA accounts are exempt: their gains and losses count for nothing, in the year's total and
// in the losses carried forward (措置法37条の14).
bool isTaxExempt(std::string_view account);

// 譲渡収入 of a margin closing: what the shares were sold for. A long is sold at the closing
// price; a short, bought back (a side that begins with 買), was sold at its position price
// when it was opened. The fees and interest belong to its cost, as the annual report counts
// them (所基通36・37共-22).
std::optional<std::int64_t> marginProceeds(const TradeRow& closing);

// True when Shift_JIS `text` holds `part`, character for character: a byte of `part` is never
// matched against the second byte of a double-byte character.
bool holdsCharacters(std::string_view text, std::string_view part);

}  // namespace tradepl
