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

}  // namespace tradepl::testing
