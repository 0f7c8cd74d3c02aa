#pragma once
// Logs saved in Unicode. The broker writes Shift_JIS (code page 932), and so does this
// program; but a log opened and saved again in a spreadsheet often comes back as "CSV UTF-8",
// now and then as UTF-16. A UTF-8 log is converted to Shift_JIS a line at a time as it is
// read; a UTF-16 one is first decoded, whole, into UTF-8 in a temporary file, so that its
// lines can be found, from either end, like any other log's. Internal to the log reader.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "input/log_bytes.hpp"
#include "input/log_report.hpp"
#include "input/trade_line.hpp"

namespace tradepl::detail {

// True for text that is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text);

// Hands a log's lines on as Shift_JIS.
class LineDecoder {
 public:
  explicit LineDecoder(LogEncoding encoding = LogEncoding::shiftJis) : encoding_(encoding) {}

  // The line as Shift_JIS: itself in a Shift_JIS log; in a UTF-8 log its conversion, without
  // a byte-order mark, which views this decoder's copy until the next line. Nothing, and
  // why in `problem`, for a line that does not convert.
  // Inline for a Shift_JIS log, whose every line passes as it is.
  std::optional<std::string_view> shiftJis(std::string_view line, LineProblem& problem) {
    if (encoding_ == LogEncoding::shiftJis) return line;
    return fromUtf8(line, problem);
  }

 private:
  std::optional<std::string_view> fromUtf8(std::string_view line, LineProblem& problem);

  LogEncoding encoding_;
  std::string converted_;
};

// A UTF-16 log decoded into UTF-8, or why it could not be.
struct DecodedLog {
  std::unique_ptr<LogBytes> bytes;  // the UTF-8, in a temporary file that goes when it closes
  bool malformed = false;           // the bytes are not UTF-16: an odd length, a lone surrogate
  FileProblem failure;              // reading the log or writing the temporary file failed
};

// Decodes a log that starts with a UTF-16 byte-order mark: `head`, its first bytes, read
// already, then the rest of `log`.
DecodedLog decodeUtf16(std::string_view head, LogBytes& log);

}  // namespace tradepl::detail
