#include "input/user_file.hpp"

#include <algorithm>
#include <string>

#include "input/block_lines.hpp"
#include "input/number_grammar.hpp"

namespace tradepl {
namespace {

// A file a person wrote is a few lines; one this long is something else.
constexpr std::size_t kLongestUserFile = std::size_t{1} << 20;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

UserColumns::UserColumns(std::string_view line) {
  bool mayHoldNul = false;
  found_ = splitter_.split(line, columns_, mayHoldNul);
  tooMany_ = found_ == columns_.size();
  while (found_ > 0 && isBlank(columns_[found_ - 1].view())) --found_;
}

bool UserColumns::isHeading(std::string_view inShiftJis, std::string_view inUtf8) const {
  std::string line;
  for (std::size_t i = 0; i < found_; ++i) {
    if (i > 0) line += ',';
    line += trimSpacesAndTabs(columns_[i].view());
  }
  return !tooMany_ && (line == inShiftJis || line == inUtf8);
}

UserFileRead readUserFile(
    LogBytes& bytes,
    const std::function<bool(std::uint64_t line, const UserColumns& columns)>& take) {
  UserFileRead read;
  std::string text(kLongestUserFile + 1, '\0');
  text.resize(readFully(bytes, text));
  read.failure = bytes.failure();
  read.tooLong = text.size() > kLongestUserFile;
  if (read.refused()) return read;
  if (text.starts_with(kUtf8ByteOrderMark)) text.erase(0, kUtf8ByteOrderMark.size());

  std::uint64_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const UserColumns columns(
        detail::lineText(std::string_view(text).substr(start, end - start), '\n'));
    start = end + 1;
    ++number;
    if (!columns.blank() && !take(number, columns)) break;
  }
  return read;
}

}  // namespace tradepl
