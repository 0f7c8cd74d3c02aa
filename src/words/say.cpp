#include "words/say.hpp"

namespace tradepl {

std::string detail::filled(std::string_view text, std::span<const std::string_view> fills) {
  std::string said;
  said.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A blank is {1} to {9}.
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' &&
        text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < fills.size()) said += fills[index];
      i += 2;
    } else {
      said += text[i];
    }
  }
  return said;
}

std::string grouped(std::uint64_t count) {
  const std::string digits = std::to_string(count);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

}  // namespace tradepl
