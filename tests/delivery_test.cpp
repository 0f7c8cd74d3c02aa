// Deliveries of the margin log (現引, 現渡) through the trade flow: spot trades at the
// position's price, in time order with the spot log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failing_bytes.hpp"
#include "flow_run.hpp"
#include "input/block_lines.hpp"
#include "input/delivery_scan.hpp"
#include "words/describe.hpp"

namespace tradepl {
namespace {

using testing::delivery;
using testing::FlowRun;
using testing::MarginTrade;
using testing::on;
using testing::spotBuy;
using testing::spotSell;
using testing::SpotTrade;

MarginTrade take(std::string date, std::string quantity, std::string price,
                 std::string_view keyword = sjis::kDeliveryTake) {
  return on(std::move(date), delivery(keyword, "7203", std::move(quantity), std::move(price)));
}

MarginTrade give(std::string date, std::string quantity, std::string price,
                 std::string_view keyword = sjis::kDeliveryGive) {
  return on(std::move(date), delivery(keyword, "7203", std::move(quantity), std::move(price)));
}

MarginTrade withInterest(std::string interest, MarginTrade trade) {
  trade.interest = std::move(interest);
  return trade;
}

MarginTrade withLendingFee(std::string fee, MarginTrade trade) {
  trade.lendingFee = std::move(fee);
  return trade;
}

struct Expected {
  double averagePrice;
  std::int64_t commission;
  std::int64_t profit;
};

struct Case {
  const char* what;
  CostMethod method;
  std::vector<SpotTrade> spot;
  std::vector<MarginTrade> margin;
  std::vector<Expected> results;
  std::vector<LedgerNoteKind> notes;
  std::vector<StockSplit> splits{};
};

constexpr CostMethod kAverage = CostMethod::movingAverage;
constexpr CostMethod kTax = CostMethod::taxOffice;

const SpotTrade kBuy2019 = on("2024/03/26 09:00", spotBuy("7203", "100", "2019", "0", "0"));

TEST(Delivery, MovesSharesBetweenTheMarginAndTheSpotHoldingsInTimeOrder) {
  const MarginTrade taken = withInterest("6", take("2024/05/01 15:30", "100", "1000"));
  const MarginTrade given = withLendingFee("8", give("2024/06/03 15:30", "100", "1100"));
  for (const Case& c : {
           // SMBC日興 FAQ 988: unit 1,000.06 rounded up to 1,001; the cash gain is 9,986.
           Case{"published, tax", kTax, {}, {taken, given}, {{1001, 8, 9892}}, {}},
           Case{"published, average", kAverage, {}, {taken, given}, {{1000, 14, 9986}}, {}},
           // 優待クロス: the spot shares bought are handed over to close the short.
           Case{"yutai cross, average",
                kAverage,
                {kBuy2019},
                {withLendingFee("151", give("2024/03/28 15:30", "100", "2019"))},
                {{2019, 151, -151}},
                {}},
           Case{"yutai cross, tax",
                kTax,
                {kBuy2019},
                {withLendingFee("151", give("2024/03/28 15:30", "100", "2019"))},
                {{2019, 151, -151}},
                {}},
           Case{"the formal names",
                kAverage,
                {},
                {take("2024/05/01 15:30", "100", "1000", sjis::kDeliveryTakeFormal),
                 give("2024/06/03 15:30", "100", "1100", sjis::kDeliveryGiveFormal)},
                {{1000, 0, 10000}},
                {}},
           Case{"a spot sale after a take has its holding",
                kAverage,
                {on("2024/05/10 09:00", spotSell("7203", "100", "1200"))},
                {take("2024/05/01 15:30", "100", "1000")},
                {{1000, 100, 19892}},
                {}},
           Case{"a spot sale before a take has none",
                kAverage,
                {on("2024/04/30 09:00", spotSell("7203", "100", "1200"))},
                {take("2024/05/01 15:30", "100", "1000")},
                {},
                {LedgerNoteKind::saleWithoutHolding}},
           Case{"a give without a holding",
                kTax,
                {},
                {give("2024/06/03 15:30", "100", "1100")},
                {},
                {LedgerNoteKind::saleWithoutHolding}},
           Case{"a give of more than held",
                kAverage,
                {kBuy2019},
                {give("2024/03/28 15:30", "200", "2019")},
                {{2019, 0, 0}},
                {LedgerNoteKind::soldMoreThanHeld}},
           // The same-day rule of a 特定口座: the day's purchases, a take among them, first.
           Case{"a take later on the day of a give, tax",
                kTax,
                {},
                {give("2024/06/03 09:00", "100", "1100"), take("2024/06/03 15:30", "100", "1000")},
                {{1000, 0, 10000}},
                {}},
           Case{"a spot sale earlier on the day of a take, tax",
                kTax,
                {on("2024/05/01 09:00", spotSell("7203", "100", "1200"))},
                {take("2024/05/01 15:30", "100", "1000")},
                {{1000, 100, 19892}},
                {}},
           Case{"a split between a take and a give",
                kAverage,
                {},
                {take("2024/05/01 15:30", "100", "1000"), give("2024/06/03 15:30", "200", "600")},
                {{500, 0, 20000}},
                {},
                {StockSplit{.date = {2024, 5, 15}, .codeNumber = 7203, .before = 1, .after = 2}}},
           Case{"a take later on the day of a give, average",
                kAverage,
                {},
                {give("2024/06/03 09:00", "100", "1100"), take("2024/06/03 15:30", "100", "1000")},
                {},
                {LedgerNoteKind::saleWithoutHolding}},
       }) {
    FlowRun run(FlowSettings{.method = c.method, .splits = c.splits});
    for (const SpotTrade& trade : c.spot) run.spot(trade);
    for (const MarginTrade& trade : c.margin) run.margin(trade);
    const std::vector<ResultRow>& results = run.results();
    ASSERT_EQ(results.size(), c.results.size()) << c.what;
    for (std::size_t i = 0; i < results.size(); ++i) {
      EXPECT_EQ(results[i].averagePrice, c.results[i].averagePrice) << c.what;
      EXPECT_EQ(results[i].commission, c.results[i].commission) << c.what;
      EXPECT_EQ(results[i].profit, c.results[i].profit) << c.what;
    }
    std::vector<LedgerNoteKind> notes;
    for (const auto& noted : run.notes()) notes.push_back(noted.note.kind);
    EXPECT_EQ(notes, c.notes) << c.what;
  }
}

TEST(Delivery, GivesASpotResultAtThePositionPriceWithTheCostsAsItsCommission) {
  MarginTrade given = withLendingFee("-151", give("2024/03/28 15:30", "100", "2019.5"));
  given.commission = "20";
  given.openCommission = "30";
  given.openCommissionTax = "3";
  given.commissionTax = "2";
  FlowRun run(kTax);
  run.spot(kBuy2019).margin(given);
  const std::vector<ResultRow>& results = run.results();
  ASSERT_EQ(results.size(), 1u);
  const TradeRow& trade = *results[0].row;
  EXPECT_EQ(trade.kind, TradeKind::deliveryGive);
  EXPECT_EQ(holdingsOf(trade.kind), LogKind::spot);
  EXPECT_EQ(results[0].unitPrice, 2019.5);
  EXPECT_EQ(results[0].commission, 201);
  EXPECT_EQ(results[0].commissionTax, 5);
  EXPECT_EQ(trade.tradeType().view(), sjis::kDeliveryGive);
  EXPECT_EQ(results[0].profit, 201950 - 201900 - 206);
}

class SkippedLines final : public LineListener {
 public:
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    said.push_back(std::to_string(line) + ": " +
                   describe(Language::english, problem, LogKind::margin));
  }
  void outOfOrder(const TradeRow&) override {}

  std::vector<std::string> said;
};

// A log read as it comes (a device) cannot be read again for the spot stream.
TEST(Delivery, IsSaidToBeLeftOutOfALogThatCanBeReadOnlyOnce) {
  const std::string log = "heading\n" +
                          testing::delivery(sjis::kDeliveryTake, "7203", "100", "1000").line() +
                          "\n" + MarginTrade{}.line() + "\n";
  testing::FailingBytes bytes(log, testing::FailingBytes::kNowhere, false);
  LogReader reader(bytes, LogKind::margin);
  EXPECT_EQ(RowSource::deliveriesOf(reader, 0), nullptr);
  SkippedLines listener;
  RowSource rows(reader, listener);
  std::vector<TradeKind> handedOut;
  while (const TradeRow* row = rows.next()) handedOut.push_back(row->kind);
  EXPECT_EQ(handedOut, std::vector{TradeKind::marginClosing});
  EXPECT_EQ(listener.said, std::vector<std::string>{
                               "2: column 5 (trade type): a 現引 or 現渡 is applied only from a "
                               "log saved as a file; save the log and name the file"});
  EXPECT_EQ(rows.report().kept, 1u);
}

// The look at a margin log's bytes finds a trade type wherever it stands: across the blocks
// it is read in, and across reads that hand over fewer bytes than asked for (a pipe's).
TEST(DeliveryScan, FindsATradeTypeCutByABlockOrAShortRead) {
  struct Case {
    std::size_t at;           // where the trade type begins
    std::size_t mostPerRead;  // bytes a read hands over at most
  };
  const std::size_t block = detail::kBlockSize;
  for (const Case c : {Case{0, block}, Case{block - 4, block}, Case{block - 3, block},
                       Case{block - 2, block}, Case{block - 1, block}, Case{block, block},
                       Case{2 * block - 2, block}, Case{998, 1000}, Case{1999, 1000}}) {
    std::string log(2 * block + 100, ',');
    log.replace(c.at, sjis::kDeliveryGiveFormal.size(), sjis::kDeliveryGiveFormal);
    MemoryBytes bytes(log, c.mostPerRead);
    std::vector<char> buffer(detail::kBufferSize);
    EXPECT_TRUE(detail::mayHoldDelivery(bytes, buffer)) << c.at << " " << c.mostPerRead;
    log.replace(c.at + 3, 1, ",");  // a word cut short is none
    MemoryBytes cut(log, c.mostPerRead);
    EXPECT_FALSE(detail::mayHoldDelivery(cut, buffer)) << c.at << " " << c.mostPerRead;
  }
}

}  // namespace
}  // namespace tradepl
