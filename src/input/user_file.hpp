#pragma once
// The small CSV files a person writes beside the logs (the splits, the dividends): read whole,
// at most 1 MiB, a UTF-8 byte-order mark dropped, and handed over a line at a time as columns.
// A spreadsheet may save them in Shift_JIS or UTF-8; only their headings hold anything but
// digits and punctuation, so both read alike.

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "input/columns.hpp"
#include "input/log_bytes.hpp"

namespace tradepl {

// A line's columns without the empty ones a spreadsheet may write after them.
class UserColumns {
 public:
  explicit UserColumns(std::string_view line);

  // How many columns the line has, up to its last that is not blank.
  std::size_t count() const { return found_; }
  // More columns than any file of this kind has.
  bool tooMany() const { return tooMany_; }
  std::string_view operator[](std::size_t i) const { return columns_[i].view(); }
  // A blank line, or a row of empty columns as a spreadsheet writes them.
  bool blank() const { return found_ == 0 && !tooMany_; }
  // The line is the heading, in Shift_JIS or in UTF-8, its columns quoted or not.
  bool isHeading(std::string_view inShiftJis, std::string_view inUtf8) const;

 private:
  ColumnSplitter splitter_;
  std::array<Column, 16> columns_;
  std::size_t found_ = 0;
  bool tooMany_ = false;
};

// How reading a user's file went, before its lines were looked at.
struct UserFileRead {
  FileProblem failure;   // the file could not be read
  bool tooLong = false;  // longer than any file a person writes

  bool refused() const { return failure || tooLong; }
};

// Reads `bytes` whole, then hands `take` every line that is not blank, with its number
// counted from 1, until `take` returns false.
UserFileRead readUserFile(
    LogBytes& bytes,
    const std::function<bool(std::uint64_t line, const UserColumns& columns)>& take);

}  // namespace tradepl
