#pragma once
// Why something could not be done, in the user's language: a line that does not read, a file
// that cannot be read or written. Each kind of problem maps to its message through a table
// beside the enum's other uses, checked whole as the program is compiled.

#include <string>
#include <string_view>

#include "input/dividends_file.hpp"
#include "input/log_report.hpp"
#include "input/splits_file.hpp"
#include "input/trade_line.hpp"
#include "output/outputs.hpp"
#include "platform/files.hpp"
#include "records/records.hpp"
#include "words/say.hpp"

namespace tradepl {

// Why a line was skipped, in `language`.
std::string describe(Language language, const LineProblem& problem, LogKind log);
// Why a line of a splits file does not read, in `language`.
std::string describe(Language language, SplitLineProblem problem);
// Why a line of a dividends file does not read, in `language`.
std::string describe(Language language, DividendLineProblem problem);
// Why a file could not be read or written, in `language`; `aboutReport` when the file is
// the yearly report, not the result file.
std::string describe(Language language, const platform::FileProblem& problem,
                     bool aboutReport = false);
// What there is to say about a file once it is written, in `language`.
std::string describe(Language language, const OutputNote& note);

// Why a log that opened is refused, in `language`.
std::string describe(Language language, LogRefusal refusal);
// What is said before a log is read about the order it is read in; empty for oldest first.
std::string describe(Language language, LogOrder order);

// The system's reason for an errno value in Japanese, or empty where the table has none.
std::string_view japaneseSystemReason(int error);

}  // namespace tradepl
