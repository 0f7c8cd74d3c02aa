#pragma once
// Builders of log lines for the tests: realistic rows of both layouts, in Shift_JIS, with
// just the columns a test cares about spelled out.

#include <string>
#include <string_view>
#include <vector>

#include "records/shift_jis.hpp"

namespace tradepl::testing {

inline constexpr std::string_view kToyota = "\x83\x67\x83\x88\x83\x5E";  // トヨタ
inline constexpr std::string_view kTokyo = "\x93\x8C\x8F\xD8";           // 東証
inline constexpr std::string_view kTokutei = "\x93\xC1\x92\xE8";         // 特定
inline constexpr std::string_view kSell = "\x94\x84";                    // 売
inline constexpr std::string_view kSeido = "\x90\xA7\x93\x78";           // 制度
inline constexpr std::string_view kSellToClose = "\x94\x84\x96\x84";     // 売埋

// The result file's heading line, without its line end, spelled out byte for byte:
// 約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,手数料消費税,損益
inline const std::string kResultHeadingText =
    "\x96\xF1\x92\xE8\x94\x4E,\x96\xF1\x92\xE8\x8C\x8E,\x96\xF1\x92\xE8\x93\xFA,"
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x96\xC1\x95\xBF\x96\xBC,"
    "\x96\xF1\x92\xE8\x90\x94\x97\xCA,\x96\xF1\x92\xE8\x92\x50\x89\xBF,"
    "\x95\xBD\x8B\xCF\x8E\xE6\x93\xBE\x92\x50\x89\xBF,\x8E\xE8\x90\x94\x97\xBF,"
    "\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5,\x91\xB9\x89\x76";

inline std::string joinColumns(const std::vector<std::string>& columns) {
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) line += ',';
    line += columns[i];
  }
  return line;
}

struct SpotTrade {
  std::string date = "2024/03/05 14:55";
  std::string code = "7203";
  std::string name = std::string(kToyota);
  std::string tradeType = std::string(sjis::kSpot);
  std::string side = std::string(sjis::kBuy);
  std::string market = std::string(kTokyo);
  std::string account = std::string(kTokutei);
  std::string quantity = "100";
  std::string unitPrice = "1000";
  std::string commission = "100";
  std::string commissionTax = "8";
  std::string settlementAmount = "100108";
  std::string settlementDate = "2024/03/07";

  std::vector<std::string> columns() const {
    return {date,
            "100105",
            code,
            name,
            tradeType,
            side,
            market,
            account,
            quantity,
            unitPrice,
            commission,
            commissionTax,
            settlementAmount,
            settlementDate};
  }
  std::string line() const { return joinColumns(columns()); }
};

struct MarginTrade {
  std::string date = "2024/04/22 11:45";
  std::string code = "9984";
  std::string name = "SBG";
  std::string tradeType = std::string(sjis::kMarginClosing);
  std::string side = std::string(kSellToClose);
  std::string quantity = "200";
  std::string unitPrice = "7690";
  std::string commission = "0";
  std::string commissionTax = "0";
  std::string positionQty = "200";
  std::string positionPrice = "7250";
  std::string openCommission = "0";
  std::string openCommissionTax = "0";
  std::string managementFee = "220";
  std::string transferFee = "0";
  std::string interest = "-1280";
  std::string lendingFee = "0";
  std::string borrowingPremium = "0";
  std::string settlementAmount = "86500";
  std::string settlementDate = "2024/04/24";

  std::vector<std::string> columns() const {
    return {date,
            "200104",
            code,
            name,
            tradeType,
            side,
            std::string(kTokyo),
            std::string(kTokutei),
            std::string(kSeido),
            quantity,
            unitPrice,
            commission,
            commissionTax,
            positionQty,
            positionPrice,
            openCommission,
            openCommissionTax,
            managementFee,
            transferFee,
            interest,
            lendingFee,
            borrowingPremium,
            settlementAmount,
            settlementDate};
  }
  std::string line() const { return joinColumns(columns()); }
};

inline SpotTrade spotBuy(std::string code, std::string quantity, std::string unitPrice,
                         std::string commission = "100", std::string tax = "8") {
  SpotTrade trade;
  trade.code = std::move(code);
  trade.quantity = std::move(quantity);
  trade.unitPrice = std::move(unitPrice);
  trade.commission = std::move(commission);
  trade.commissionTax = std::move(tax);
  return trade;
}

inline SpotTrade spotSell(std::string code, std::string quantity, std::string unitPrice,
                          std::string commission = "100", std::string tax = "8") {
  SpotTrade trade = spotBuy(std::move(code), std::move(quantity), std::move(unitPrice),
                            std::move(commission), std::move(tax));
  trade.side = std::string(kSell);
  return trade;
}

// A delivery of the margin log (現引, 現渡 or their formal names) of a position opened at
// `positionPrice`, its costs all 0 but those a test sets.
inline MarginTrade delivery(std::string_view tradeType, std::string code, std::string quantity,
                            std::string positionPrice) {
  MarginTrade trade;
  trade.tradeType = std::string(tradeType);
  trade.side = std::string(tradeType == sjis::kDeliveryTake ? sjis::kBuy : kSell);
  trade.code = std::move(code);
  trade.positionQty = trade.quantity = std::move(quantity);
  trade.unitPrice = "0";
  trade.positionPrice = std::move(positionPrice);
  trade.managementFee = trade.interest = "0";
  trade.settlementAmount = "0";
  return trade;
}

inline SpotTrade inAccount(std::string account, SpotTrade trade) {
  trade.account = std::move(account);
  return trade;
}

// The trade as executed at `date`, and settled on the same day: tests of one rule at a time
// give every trade a day of its own.
template <typename Trade>
Trade on(std::string date, Trade trade) {
  trade.settlementDate = date.substr(0, date.find(' '));
  trade.date = std::move(date);
  return trade;
}

}  // namespace tradepl::testing
