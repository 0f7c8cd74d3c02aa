#include "ledger/tax_rules.hpp"

#include "records/numbers.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

constexpr std::uint64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};

std::optional<std::uint64_t> multiply(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > UINT64_MAX / a) return std::nullopt;
  return a * b;
}

std::optional<std::uint64_t> add(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
  if (!a || !b || *b > UINT64_MAX - *a) return std::nullopt;
  return *a + *b;
}

// The first byte of a double-byte Shift_JIS character.
bool isLeadByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A margin closing whose side begins with 買 buys back a short; any other sells a long.
bool isShortBoughtBack(const TradeRow& closing) {
  return sideOf(closing.side()) == Side::purchase;
}

}  // namespace

std::optional<std::int64_t> tradeValue(std::int64_t quantity, const ExactPrice& price) {
  if (!price.known || price.decimals >= std::size(kPowersOfTen)) return std::nullopt;
  const std::uint64_t scale = kPowersOfTen[price.decimals];
  const std::uint64_t shares = magnitudeOf(quantity);
  const bool negative = (quantity < 0) != price.negative && price.digits != 0 && quantity != 0;
  if (shares <= UINT32_MAX && price.digits <= UINT32_MAX) {
    // Every real trade: q × digits fits in 64 bits, and one division does where the split
    // below takes three (4 million values on 2 x 2,000,000 lines with --tax).
    const std::uint64_t product = shares * price.digits;
    const std::uint64_t magnitude = product / scale + (negative && product % scale != 0 ? 1 : 0);
    return signedValue(negative, magnitude);
  }
  // q × digits / scale, split so that no step needs more than 64 bits: with
  // digits = whole × scale + fraction and q = high × scale + low,
  // q × digits / scale = q × whole + high × fraction + low × fraction / scale.
  const std::uint64_t whole = price.digits / scale;
  const std::uint64_t fraction = price.digits % scale;
  const std::uint64_t rest = shares % scale * fraction;  // below 10^18
  std::optional<std::uint64_t> magnitude =
      add(add(multiply(shares, whole), multiply(shares / scale, fraction)), rest / scale);
  // Rounded down: toward minus infinity, for the rare negative correction row.
  if (negative && rest % scale != 0) magnitude = add(magnitude, 1);
  if (!magnitude) return std::nullopt;
  return signedValue(negative, *magnitude);
}

std::int64_t unitCostRoundedUp(std::int64_t cost, std::int64_t shares) {
  return cost / shares + (cost % shares > 0 ? 1 : 0);
}

bool appliesFirstOnItsDay(const TradeRow& row) {
  return (row.kind == TradeKind::spotPurchase || row.kind == TradeKind::deliveryTake) &&
         holdsCharacters(row.account().view(), sjis::kTokutei);
}

bool isTaxExempt(std::string_view account) {
  return holdsCharacters(account, sjis::kNisa) || holdsCharacters(account, sjis::kNisaFullWidth);
}

std::optional<std::int64_t> marginProceeds(const TradeRow& closing) {
  return tradeValue(closing.quantity, isShortBoughtBack(closing) ? closing.exactPositionPrice
                                                                 : closing.exactUnitPrice);
}

std::optional<std::int64_t> marginCost(const TradeRow& closing) {
  return tradeValue(closing.quantity, isShortBoughtBack(closing) ? closing.exactUnitPrice
                                                                 : closing.exactPositionPrice);
}

bool holdsCharacters(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  for (std::size_t at = 0; at + part.size() <= text.size();
       at += isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1) {
    if (text.substr(at, part.size()) == part) return true;
  }
  return false;
}

}  // namespace tradepl
