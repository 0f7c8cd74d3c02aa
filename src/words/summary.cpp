#include "words/summary.hpp"

#include <algorithm>
#include <array>

#include "ledger/tax_report.hpp"
#include "platform/output_file.hpp"
#include "platform/text.hpp"
#include "records/numbers.hpp"
#include "words/console_table.hpp"
#include "words/log_kind_words.hpp"

namespace tradepl {
namespace {

// A sum that left 64 bits is said as unknown.
std::string signedGrouped(const std::optional<std::int64_t>& amount) {
  if (!amount) return "?";
  std::string text(*amount < 0 ? "-" : "");
  text += grouped(magnitudeOf(*amount));
  return text;
}

std::string year(Language language, const std::optional<std::int64_t>& year) {
  return year ? std::to_string(*year) : say(language, Message::unknownYear);
}

// How the yearly table names a line, one row a kind of line; none for a log's own lines,
// which are named by the kind of their log.
struct ReportLineWords {
  ReportLineKind kind;
  std::optional<Message> name;
};

constexpr auto kReportLineWords = std::to_array<ReportLineWords>({
    {ReportLineKind::trades, std::nullopt},
    {ReportLineKind::total, Message::totalKind},
    {ReportLineKind::dividends, Message::dividendIncome},
    {ReportLineKind::lossOffset, Message::lossOffset},
    {ReportLineKind::lossCarriedIn, Message::lossCarriedIn},
    {ReportLineKind::lossCarriedInDividends, Message::lossCarriedInDividends},
    {ReportLineKind::afterLossCarriedIn, Message::afterLossCarriedIn},
    {ReportLineKind::lossCarriedOut, Message::lossCarriedOut},
});
static_assert(isRowPerValue(kReportLineWords, &ReportLineWords::kind,
                            ReportLineKind::lossCarriedOut));
static_assert(std::ranges::all_of(kReportLineWords, [](const ReportLineWords& row) {
  return !row.name || blanksOf(*row.name) == 0;
}));

std::string kindOf(Language language, const ReportLine& line) {
  const std::optional<Message> name = kReportLineWords[static_cast<std::size_t>(line.kind)].name;
  return sayChosen(language, name ? *name : wordsFor(line.log).name);
}

// One line of the yearly report as a row of the table.
std::vector<std::string> rowOf(Language language, const ReportLine& line) {
  const std::string taxation =
      line.taxable ? say(language, Message::taxable) : say(language, Message::taxExempt);
  std::vector<std::string> row{year(language, line.year), kindOf(language, line)};
  const Figures& figures = line.figures;
  if (line.isAmountOnly()) {
    row.insert(row.end(), {line.isCarriedLoss()
                               ? say(language, Message::lossYear, std::to_string(line.lossYear))
                               : std::string(),
                           taxation, "", "", "", ""});
  } else {
    row.insert(row.end(), {platform::utf8FromShiftJis(line.account), taxation,
                           grouped(figures.results), signedGrouped(figures.proceeds),
                           signedGrouped(figures.cost()), signedGrouped(figures.expenses)});
  }
  row.push_back(signedGrouped(figures.profit));
  return row;
}

// The rows of the yearly table, with the accounts of one year and kind past the first
// kAccountsShown summed into one row, so that the summary stays a screenful however many
// accounts the logs name; the report file lists them all.
class FoldedRows {
 public:
  static constexpr std::size_t kAccountsShown = 20;

  FoldedRows(Language language, std::vector<std::vector<std::string>>& rows)
      : language_(language), rows_(rows) {}

  void take(const ReportLine& line) {
    const bool isAccount = line.kind == ReportLineKind::trades;
    if (!isAccount || shown_ == 0 || line.year != rest_.year || line.log != rest_.log) {
      finish();
      if (isAccount) rest_ = {.year = line.year, .log = line.log};
    }
    if (isAccount && shown_ == kAccountsShown) {
      ++folded_;
      rest_.figures.add(line.figures);
      return;
    }
    if (isAccount) ++shown_;
    rows_.push_back(rowOf(language_, line));
  }

  // Adds the row of the rest, if any, and starts a new year and kind.
  void finish() {
    if (folded_ > 0) {
      std::vector<std::string> row = rowOf(language_, rest_);
      row[2] = say(language_, Message::moreAccounts, grouped(folded_));
      row[3].clear();  // taxable and exempt accounts alike
      rows_.push_back(std::move(row));
    }
    shown_ = 0;
    folded_ = 0;
  }

 private:
  Language language_;
  std::vector<std::vector<std::string>>& rows_;
  std::size_t shown_ = 0;
  std::uint64_t folded_ = 0;
  ReportLine rest_;
};

// The yearly table, laid out for the terminal. Losses are offset and carried only by the tax
// office's costs: under the statements' method the lines after each year's total are left
// out, and `leftOut` says whether there were any.
std::vector<std::string> yearlyTable(Language language, const YearlyTotals& totals,
                                     const YearlyDividends& dividends, CostMethod method,
                                     bool& leftOut) {
  std::vector<std::vector<std::string>> rows{split(say(language, Message::totalsColumns), '|')};
  FoldedRows folded(language, rows);
  const bool carries = method == CostMethod::taxOffice;
  forEachReportLine(totals, dividends, [&](const ReportLine& line) {
    if (line.isAmountOnly() && !carries) {
      leftOut = true;
      return;
    }
    folded.take(line);
  });
  folded.finish();
  return table(rows, 5, "    ");
}

std::string whereTo(Language language, std::string_view path) {
  return path == platform::kStandardOutput ? say(language, Message::standardOutput)
                                           : std::string(path);
}

}  // namespace

std::size_t RunSummary::logNamed(std::string_view path) {
  logs_.push_back({std::string(path), std::nullopt});
  return logs_.size() - 1;
}

void RunSummary::logRead(std::size_t log, const LogReport& report) {
  logs_[log].report = report;
}

void RunSummary::resultsWent(std::string_view output, bool written, bool inPart) {
  results_ = {std::string(output), written, inPart};
}

void RunSummary::reportWent(std::string_view report, bool written) {
  report_ = Destination{std::string(report), written};
}

std::vector<std::string> RunSummary::lines(Language language, const YearlyTotals& totals,
                                           const YearlyDividends& dividends, CostMethod method,
                                           std::uint64_t gapsExplained) const {
  std::vector<std::string> lines{say(language, Message::summary)};
  const auto add = [&lines](const std::string& line) { lines.push_back("  " + line); };
  for (const LogLine& log : logs_) {
    add(log.path + ": " +
        (log.report       ? say(language, Message::logSummary, grouped(log.report->lines),
                                grouped(log.report->kept - log.report->duplicates),
                                grouped(log.report->skipped), grouped(log.report->otherTradeTypes))
         : log.leftUnread ? say(language, Message::logLeftUnread)
                          : say(language, Message::logNotRead)));
  }
  const std::string output = whereTo(language, results_.path);
  add(results_.written  ? say(language, Message::resultsWritten, grouped(totals.results()), output)
      : results_.inPart ? say(language, Message::resultsInPart, output)
                        : say(language, Message::resultsNotWritten, output));
  if (report_) {
    const std::string report = whereTo(language, report_->path);
    add(report_->written ? say(language, Message::reportWritten, report)
                         : say(language, Message::reportNotWritten, report));
  }
  if (results_.written && (!totals.byKey().empty() || !dividends.empty())) {
    add(say(language, Message::totalsHeading));
    bool carriedLeftOut = false;
    for (std::string& line : yearlyTable(language, totals, dividends, method, carriedLeftOut)) {
      lines.push_back(std::move(line));
    }
    if (totals.withoutYear() > 0) {
      add(say(language, Message::withoutTaxYear, grouped(totals.withoutYear())));
    }
    add(method == CostMethod::taxOffice ? say(language, Message::taxOfficeMethod)
                                        : say(language, Message::movingAverageMethod));
    if (carriedLeftOut) add(say(language, Message::lossesByTaxOffice));
  }
  if (gapsExplained > 0) add(say(language, Message::mayBeIncomplete, grouped(gapsExplained)));
  if (resultPath_ && results_.written) add(say(language, Message::resultFile, *resultPath_));
  if (reportPath_ && report_ && report_->written && report_->path != platform::kStandardOutput) {
    add(say(language, Message::reportFile, *reportPath_));
  }
  return lines;
}

}  // namespace tradepl
