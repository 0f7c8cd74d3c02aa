#pragma once
// Every text the program says, one row a message in the order of Message: its English text,
// its Japanese text (polite, です・ます, in the words brokers and the tax office use: 約定日,
// 受領日, 口座, 譲渡損益) and the number of its blanks, counted from the texts as the program
// is compiled. Texts are UTF-8; they reach the console in its own encoding.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "words/message.hpp"
#include "words/texts_command_line.hpp"
#include "words/texts_files.hpp"
#include "words/texts_help.hpp"
#include "words/texts_logs.hpp"
#include "words/texts_summary.hpp"
#include "words/texts_trades.hpp"

namespace tradepl {

// The highest blank of a text: 2 for "{1} columns, {2} expected", 0 for none. A blank is
// {1} to {9}.
constexpr std::size_t highestBlank(std::string_view text) {
  std::size_t highest = 0;
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '{' && text[i + 2] == '}' && text[i + 1] >= '1' && text[i + 1] <= '9') {
      highest = std::max(highest, static_cast<std::size_t>(text[i + 1] - '0'));
    }
  }
  return highest;
}

struct MessageText {
  Message id;
  std::string_view english;
  std::string_view japanese;
  std::size_t blanks;  // the fills a call hands over
};

namespace detail {

template <std::size_t... Sizes>
constexpr auto joinedTexts(const std::array<MessageRow, Sizes>&... groups) {
  std::array<MessageText, (Sizes + ...)> texts{};
  std::size_t i = 0;
  for (const std::span<const MessageRow> group : {std::span<const MessageRow>(groups)...}) {
    for (const MessageRow& row : group) {
      texts[i++] = {row.id, row.english, row.japanese, highestBlank(row.english)};
    }
  }
  return texts;
}

}  // namespace detail

inline constexpr auto kMessageTexts =
    detail::joinedTexts(detail::kHelpTexts, detail::kCommandLineTexts, detail::kFileTexts,
                        detail::kLogTexts, detail::kTradeTexts, detail::kSummaryTexts);

namespace detail {

// Row i is message i, and both languages have a text with the same blanks.
constexpr bool isWhole(const auto& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const MessageText& text = texts[i];
    if (static_cast<std::size_t>(text.id) != i || text.english.empty() || text.japanese.empty() ||
        highestBlank(text.japanese) != text.blanks) {
      return false;
    }
  }
  return true;
}

}  // namespace detail

static_assert(kMessageTexts.size() == kMessageCount, "a row for every message");
static_assert(detail::isWhole(kMessageTexts),
              "rows in the order of Message, each in both languages with the same blanks");

constexpr const MessageText& textOf(Message message) {
  return kMessageTexts[static_cast<std::size_t>(message)];
}

constexpr std::string_view textOf(Language language, Message message) {
  return language == Language::japanese ? textOf(message).japanese : textOf(message).english;
}

// How many fills a call of `message` hands over.
constexpr std::size_t blanksOf(Message message) {
  return textOf(message).blanks;
}

}  // namespace tradepl
