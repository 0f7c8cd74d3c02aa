#pragma once
// What is said of each kind of log, one row a kind: the only place the words tell a spot log
// from a margin log.

#include <array>

#include "records/records.hpp"
#include "words/say.hpp"

namespace tradepl {

struct LogKindWords {
  LogKind kind;
  Message name;      // as the yearly table names its lines
  Message readAs;    // a log of this kind, named with the other option
  Message noTrades;  // a log with lines but none of this kind's trades
};

inline constexpr auto kLogKindWords = std::to_array<LogKindWords>({
    {LogKind::spot, Message::spotKind, Message::readAsSpot, Message::noSpotTrades},
    {LogKind::margin, Message::marginKind, Message::readAsMargin, Message::noMarginTrades},
});
static_assert(isRowPerValue(kLogKindWords, &LogKindWords::kind, LogKind::margin));
static_assert(allHaveBlanks(kLogKindWords, &LogKindWords::name, 0) &&
              allHaveBlanks(kLogKindWords, &LogKindWords::readAs, 0) &&
              allHaveBlanks(kLogKindWords, &LogKindWords::noTrades, 0));

constexpr const LogKindWords& wordsFor(LogKind kind) {
  return kLogKindWords[static_cast<std::size_t>(kind)];
}

}  // namespace tradepl
