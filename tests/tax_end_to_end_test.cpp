// End to end: the figures for a tax return: --tax, --report and --detail, and the yearly
// table of the summary, on the sample logs and on a loss carried into the next year.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

class TaxFigures : public Tradepl {
 protected:
  // A file tradepl wrote in Shift_JIS, as UTF-8 with LF line ends.
  std::string writtenAsUtf8(const std::string& name) const {
    return toUtf8(written(name), "CP932");
  }
};

TEST_F(TaxFigures, CostTheSampleLogsByTheTaxOfficesMethodWithAReportAndTheDetail) {
  writeSampleLogs();
  const Outcome result = run({"--tax", "-g", "spot.csv", "--report", "report.csv", "-s",
                              "margin.csv", "--detail", "out.csv"},
                             {kJapanese, ""});
  EXPECT_EQ(result.status, 0);
  const std::string out = writtenAsUtf8("out.csv");
  EXPECT_EQ(out.substr(0, out.find('\n', out.find('\n') + 1) + 1),
            "約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,"
            "手数料消費税,損益,口座,取引区分,受領日\n"
            "2024,3,5,7203,トヨタ自動車,150,3580,2899.00,250,25,101875,特定,現物,2024/03/07\n");
  EXPECT_EQ(writtenAsUtf8("report.csv"),
            "年分,取引,口座,課税区分,件数,譲渡収入,取得費,譲渡費用,損益\n"
            "2024,現物,NISA,非課税,1,641000,540400,0,100600\n"
            "2024,現物,特定,課税,4,2807500,2733050,1210,73240\n"
            "2024,信用,特定,課税,3,4123500,4091600,7050,24850\n"
            "2024,合計,,課税,7,6931000,6824650,8260,98090\n"
            "2025,現物,特定,課税,1,158500,157000,110,1390\n"
            "2025,合計,,課税,1,158500,157000,110,1390\n");
  const std::string err = result.err;
  EXPECT_EQ(err.substr(err.find("  年分別の集計")),
            "  年分別の集計を report.csv に書き出しました\n"
            "  年分別の譲渡損益（受領日の属する年で集計）:\n"
            "    年分  取引  口座  課税区分  件数   譲渡収入     取得費  譲渡費用  損益（円）\n"
            "    2024  現物  NISA  非課税       1    641,000    540,400         0     100,600\n"
            "    2024  現物  特定  課税         4  2,807,500  2,733,050     1,210      73,240\n"
            "    2024  信用  特定  課税         3  4,123,500  4,091,600     7,050      24,850\n"
            "    2024  合計        課税         7  6,931,000  6,824,650     8,260      98,090\n"
            "    2025  現物  特定  課税         1    158,500    157,000       110       1,390\n"
            "    2025  合計        課税         1    158,500    157,000       110       1,390\n"
            "  取得費は総平均法に準ずる方法で計算しています（買付手数料を取得費に含め、売却ごとに "
            "1 株あたりの取得費の円未満を切り上げ）。\n");
}

TEST_F(TaxFigures, CarryALossIntoTheNextYear) {
  write("spot.csv", spotLog({on("2023/05/01", spotBuy("7203", "100", "1000", "0", "0")),
                             on("2023/06/01", spotSell("7203", "100", "900", "0", "0")),
                             on("2024/02/01", spotBuy("7203", "100", "1000", "0", "0")),
                             on("2024/03/01", spotSell("7203", "100", "1040", "0", "0"))}));
  const Outcome result = run({"-g", "spot.csv", "out.csv", "--tax", "--report", "-"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(toUtf8(result.out, "CP932"),
            "年分,取引,口座,課税区分,件数,譲渡収入,取得費,譲渡費用,損益\n"
            "2023,現物,特定,課税,1,90000,100000,0,-10000\n"
            "2023,合計,,課税,1,90000,100000,0,-10000\n"
            "2023,翌年以後に繰り越す損失,2023年分,課税,,,,,10000\n"
            "2024,現物,特定,課税,1,104000,100000,0,4000\n"
            "2024,合計,,課税,1,104000,100000,0,4000\n"
            "2024,繰越控除,2023年分,課税,,,,,-4000\n"
            "2024,繰越控除後,,課税,,,,,0\n"
            "2024,翌年以後に繰り越す損失,2023年分,課税,,,,,6000\n");
  const std::string err = result.err;
  const std::string gap(46, ' ');
  EXPECT_EQ(err.substr(err.find("    year")),
            "    year  log                      account  tax      results  proceeds     cost  "
            "expenses  profit (yen)\n"
            "    2023  spot                     " +
                kTokuteiInUtf8 +
                "     taxable        1    90,000  100,000         0       -10,000\n"
                "    2023  total                             taxable        1    90,000  100,000  "
                "       0       -10,000\n"
                "    2023  loss carried forward     of 2023  taxable" +
                gap +
                "10,000\n"
                "    2024  spot                     " +
                kTokuteiInUtf8 +
                "     taxable        1   104,000  100,000         0         4,000\n"
                "    2024  total                             taxable        1   104,000  100,000  "
                "       0         4,000\n"
                "    2024  loss carried in          of 2023  taxable" +
                gap +
                "-4,000\n"
                "    2024  after losses carried in           taxable" +
                gap +
                "     0\n"
                "    2024  loss carried forward     of 2023  taxable" +
                gap +
                " 6,000\n"
                "  Costs by the tax office's method (総平均法に準ずる方法): purchase fees in the "
                "cost, the cost per share rounded up to the yen at each sale.\n");
}

// A CFP exam case: losses of 500,000 and 300,000 around a gain of 260,000, with dividends.
const std::string kExamLog = spotLog({on("2017/05/01", spotBuy("7203", "1000", "1000", "0", "0")),
                                      on("2017/06/01", spotSell("7203", "1000", "500", "0", "0")),
                                      on("2018/05/01", spotBuy("7203", "1000", "1000", "0", "0")),
                                      on("2018/06/01", spotSell("7203", "1000", "1260", "0", "0")),
                                      on("2019/05/01", spotBuy("7203", "1000", "1000", "0", "0")),
                                      on("2019/06/01", spotSell("7203", "1000", "700", "0", "0"))});

TEST_F(TaxFigures, OffsetDividendsAgainstALossBeforeItIsCarried) {
  write("spot.csv", kExamLog);
  // 年分,配当等の額 in Shift_JIS, as a spreadsheet saves it, and 2019 given in two lines.
  write("dividends.csv", std::string(sjis::kDividendsHeading) +
                             "\r\n2017,60000\r\n2018,\"10,000\"\r\n2019,30000\r\n2019,10000\r\n");
  const Outcome result = run({"-q", "--tax", "--dividends", "dividends.csv", "-g", "spot.csv",
                              "--report", "-", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(toUtf8(result.out, "CP932"),
            "年分,取引,口座,課税区分,件数,譲渡収入,取得費,譲渡費用,損益\n"
            "2017,現物,特定,課税,1,500000,1000000,0,-500000\n"
            "2017,合計,,課税,1,500000,1000000,0,-500000\n"
            "2017,配当所得,,課税,,,,,60000\n"
            "2017,損益通算,,課税,,,,,-60000\n"
            "2017,翌年以後に繰り越す損失,2017年分,課税,,,,,440000\n"
            "2018,現物,特定,課税,1,1260000,1000000,0,260000\n"
            "2018,合計,,課税,1,1260000,1000000,0,260000\n"
            "2018,配当所得,,課税,,,,,10000\n"
            "2018,繰越控除,2017年分,課税,,,,,-260000\n"
            "2018,繰越控除（配当）,2017年分,課税,,,,,-10000\n"
            "2018,繰越控除後,,課税,,,,,0\n"
            "2018,翌年以後に繰り越す損失,2017年分,課税,,,,,170000\n"
            "2019,現物,特定,課税,1,700000,1000000,0,-300000\n"
            "2019,合計,,課税,1,700000,1000000,0,-300000\n"
            "2019,配当所得,,課税,,,,,40000\n"
            "2019,損益通算,,課税,,,,,-40000\n"
            "2019,翌年以後に繰り越す損失,2017年分,課税,,,,,170000\n"
            "2019,翌年以後に繰り越す損失,2019年分,課税,,,,,260000\n");
}

TEST_F(TaxFigures, RefuseADividendsFileThatDoesNotRead) {
  write("spot.csv", kExamLog);
  write("dividends.csv", "2017,60000\n2018,-10000\n");
  const Outcome result =
      run({"--dividends", "dividends.csv", "-g", "spot.csv", "--report", "report.csv", "out.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.err,
            "tradepl: dividends.csv:2: not a year's dividends: column 2 is not a whole number of "
            "yen, 0 or more. Write them as year,yen (2024,120000). Nothing was read or written\n");
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"dividends.csv", "spot.csv"}));
  EXPECT_EQ(run({"-g", "spot.csv", "--dividends", "dividends.csv", "dividends.csv"}).err,
            "tradepl: dividends.csv is the dividends file: give the output another name\n");
}

TEST_F(TaxFigures, CarryNoLossInTheSummaryByTheStatementsMethod) {
  write("spot.csv", kExamLog);
  const Outcome result = run({"-g", "spot.csv", "out.csv", "--report", "report.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err.find("loss carried"), std::string::npos) << result.err;
  EXPECT_TRUE(result.err.ends_with(
      "  Losses offset and carried forward are worked out from the tax office's costs only, as "
      "a return counts them: run with --tax for them.\n"));
  // The report has them under either method.
  EXPECT_NE(written("report.csv").find("2019,\x97\x82\x94\x4E"), std::string::npos);
}

// A shortcut with --report 年分別.csv, logs dropped on it: the report goes beside the result,
// not into the shortcut's start folder, and the summary ends with both full paths.
TEST_F(TaxFigures, PutARelativeReportBesideLogsDroppedOnTheProgram) {
  fs::create_directories(path("logs"));
  write("logs/spot.csv", kExamLog);
  const std::string report = "\xE5\xB9\xB4\xE5\x88\x86\xE5\x88\xA5.csv";  // 年分別.csv
  const Outcome result = run({"--tax", "--report", report, "logs/spot.csv"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_FALSE(exists(report));
  EXPECT_TRUE(exists("logs/" + report));
  const std::string resultFile = "\xE5\xAE\x9F\xE7\x8F\xBE\xE6\x90\x8D\xE7\x9B\x8A.csv";
  if (kRunner.empty()) {
    EXPECT_TRUE(result.err.ends_with("  The result file: " + path("logs/" + resultFile).string() +
                                     "\n  The yearly report: " + path("logs/" + report).string() +
                                     "\n"))
        << result.err;
  }
}

TEST_F(TaxFigures, RefuseAReportThatWouldReplaceTheResultOrALog) {
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000")}));
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  std::vector<Case> cases{
      {{"-g", "spot.csv", "--report", "out.csv", "out.csv"},
       "the report out.csv is the result file: give it another name"},
      {{"-g", "spot.csv", "--report", "./spot.csv", "out.csv"},
       "the report ./spot.csv names an input log"},
      {{"-g", "spot.csv", "out.csv", "--report"}, "--report needs a path after it"}};
  if (kRunner.empty()) {  // the standard output by another of its names
    cases.push_back({{"-g", "spot.csv", "--report", "/dev/stdout", "-"},
                     "the report /dev/stdout is the result file: give it another name"});
  }
  for (const Case& c : cases) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, -2) << c.message;
    EXPECT_EQ(result.err, "tradepl: " + c.message + "\n");
  }
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"spot.csv"});
}

// The report and the results are committed together: a report that cannot be made, or
// fails while it is written, leaves the result file as it was.
TEST_F(TaxFigures, SayWhenTheReportCannotBeWrittenAndKeepTheOldResults) {
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1100")}));
  std::filesystem::create_directories(path("report.csv"));
  std::vector<std::pair<std::string, std::string>> cases = {
      {"report.csv", "is a directory"}, {"nodir/r.csv", "there is no folder nodir"}};
  if (!kUnderWine) cases.emplace_back("/dev/full", "write error: No space left on device");
  for (const auto& [report, why] : cases) {
    write("out.csv", "the old results");
    const Outcome result = run({"-q", "-g", "spot.csv", "--report", report, "out.csv"});
    EXPECT_EQ(result.status, -4) << report;
    EXPECT_EQ(result.err, "tradepl: " + report + ": cannot write: " + why + "\n");
    EXPECT_EQ(read("out.csv"), "the old results") << report;
  }
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"out.csv", "report.csv", "spot.csv"}));
  Outcome result;

  // With no log read, neither the result nor the report is touched.
  write("old.csv", "the old report");
  result = run({"-g", "missing.csv", "--report", "old.csv", "out.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(read("old.csv"), "the old report");
  EXPECT_NE(result.err.find("  no yearly report written: old.csv was not written\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tradepl
