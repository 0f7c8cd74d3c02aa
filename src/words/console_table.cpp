#include "words/console_table.hpp"

#include <algorithm>

namespace tradepl {

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t j = 1; j < length && i + j < text.size(); ++j) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
    }
    const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                      (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                      (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                      (code >= 0xFFE0 && code <= 0xFFE6) || code >= 0x20000;
    width += wide ? 2 : 1;
    i += length;
  }
  return width;
}

std::vector<std::string> table(const std::vector<std::vector<std::string>>& rows,
                               std::size_t rightAligned, std::string_view indent) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
  }
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line(indent);
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string padding(widths[c] - displayWidth(row[c]), ' ');
      const bool right = c + rightAligned >= row.size();
      if (c > 0) line += "  ";
      line += right ? padding + row[c] : row[c] + (c + 1 < row.size() ? padding : "");
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

}  // namespace tradepl
