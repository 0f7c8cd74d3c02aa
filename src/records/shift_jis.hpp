#pragma once
// Every Shift_JIS (code page 932) text the program compares or writes, in one place.
// The logs and the result file stay in Shift_JIS bytes end to end; nothing is converted,
// so these constants are the bytes themselves, with the Japanese beside each for the reader.

#include <string_view>

namespace tradepl::sjis {

// Column headings of the broker's logs and of the result file.
inline constexpr std::string_view kExecDateTime = "\x96\xF1\x92\xE8\x93\xFA\x8E\x9E";  // 約定日時
inline constexpr std::string_view kExecNo = "\x96\xF1\x92\xE8\x94\xD4\x8D\x86";  // 約定番号
inline constexpr std::string_view kStockCode =
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68";                             // 銘柄コード
inline constexpr std::string_view kStockName = "\x96\xC1\x95\xBF\x96\xBC";  // 銘柄名
inline constexpr std::string_view kTradeType = "\x8E\xE6\x88\xF8\x8B\xE6\x95\xAA";   // 取引区分
inline constexpr std::string_view kSide = "\x94\x84\x94\x83\x8B\xE6\x95\xAA";        // 売買区分
inline constexpr std::string_view kMarket = "\x8E\x73\x8F\xEA";                      // 市場
inline constexpr std::string_view kAccount = "\x8C\xFB\x8D\xC0";                     // 口座
inline constexpr std::string_view kMarginType = "\x90\x4D\x97\x70\x8B\xE6\x95\xAA";  // 信用区分
inline constexpr std::string_view kQuantity = "\x96\xF1\x92\xE8\x90\x94\x97\xCA";    // 約定数量
inline constexpr std::string_view kUnitPrice = "\x96\xF1\x92\xE8\x92\x50\x89\xBF";   // 約定単価
inline constexpr std::string_view kCommission = "\x8E\xE8\x90\x94\x97\xBF";          // 手数料
inline constexpr std::string_view kCommissionTax =
    "\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5";                       // 手数料消費税
inline constexpr std::string_view kPositionQty = "\x8C\x9A\x90\x94\x97\xCA";  // 建数量
inline constexpr std::string_view kPositionPrice = "\x8C\x9A\x92\x50\x89\xBF";  // 建単価
inline constexpr std::string_view kOpenCommission =
    "\x90\x56\x8B\x4B\x8E\xE8\x90\x94\x97\xBF";  // 新規手数料
inline constexpr std::string_view kOpenCommissionTax =
    "\x90\x56\x8B\x4B\x8E\xE8\x90\x94\x97\xBF\x8F\xC1\x94\xEF\x90\xC5";  // 新規手数料消費税
inline constexpr std::string_view kManagementFee = "\x8A\xC7\x97\x9D\x94\xEF";  // 管理費
inline constexpr std::string_view kTransferFee =
    "\x96\xBC\x8B\x60\x8F\x91\x8A\xB7\x97\xBF";                              // 名義書換料
inline constexpr std::string_view kInterest = "\x8B\xE0\x97\x98";            // 金利
inline constexpr std::string_view kLendingFee = "\x91\xDD\x8A\x94\x97\xBF";  // 貸株料
inline constexpr std::string_view kBorrowingPremium = "\x95\x69\x91\xDD\x97\xBF";  // 品貸料
inline constexpr std::string_view kSettlementAmount =
    "\x8E\xF3\x93\x6E\x8B\xE0\x8A\x7A";                                          // 受渡金額
inline constexpr std::string_view kSettlementDate = "\x8E\xF3\x97\xCC\x93\xFA";  // 受領日
inline constexpr std::string_view kExecYear = "\x96\xF1\x92\xE8\x94\x4E";        // 約定年
inline constexpr std::string_view kExecMonth = "\x96\xF1\x92\xE8\x8C\x8E";       // 約定月
inline constexpr std::string_view kExecDay = "\x96\xF1\x92\xE8\x93\xFA";         // 約定日
inline constexpr std::string_view kAveragePrice =
    "\x95\xBD\x8B\xCF\x8E\xE6\x93\xBE\x92\x50\x89\xBF";          // 平均取得単価
inline constexpr std::string_view kProfit = "\x91\xB9\x89\x76";  // 損益

// Keywords compared as whole byte strings.
inline constexpr std::string_view kSpot = "\x8C\xBB\x95\xA8";                           // 現物
inline constexpr std::string_view kMarginOpening = "\x90\x4D\x97\x70\x90\x56\x8B\x4B";  // 信用新規
inline constexpr std::string_view kMarginClosing = "\x90\x4D\x97\x70\x95\xD4\x8D\xCF";  // 信用返済
inline constexpr std::string_view kBuy = "\x94\x83";                                    // 買
inline constexpr std::string_view kSell = "\x94\x84";                                   // 売
// Deliveries of the margin log: a long taken into the spot holding, or spot shares handed
// over to close a short. Brokers write either the everyday word or the formal one.
inline constexpr std::string_view kDeliveryTake = "\x8C\xBB\x88\xF8";        // 現引
inline constexpr std::string_view kDeliveryTakeFormal = "\x95\x69\x8E\xF3";  // 品受
inline constexpr std::string_view kDeliveryGive = "\x8C\xBB\x93\x6E";        // 現渡
inline constexpr std::string_view kDeliveryGiveFormal = "\x95\x69\x93\x6E";  // 品渡

// Accounts, as the tax rules tell them apart.
inline constexpr std::string_view kTokutei = "\x93\xC1\x92\xE8";  // 特定
inline constexpr std::string_view kNisa = "NISA";
inline constexpr std::string_view kNisaFullWidth = "\x82\x6D\x82\x68\x82\x72\x82\x60";  // ＮＩＳＡ

// The yearly report: its headings and the words of its columns.
inline constexpr std::string_view kTaxYear = "\x94\x4E\x95\xAA";                   // 年分
inline constexpr std::string_view kTradeKind = "\x8E\xE6\x88\xF8";                 // 取引
inline constexpr std::string_view kTaxation = "\x89\xDB\x90\xC5\x8B\xE6\x95\xAA";  // 課税区分
inline constexpr std::string_view kResults = "\x8C\x8F\x90\x94";                   // 件数
inline constexpr std::string_view kProceeds = "\x8F\xF7\x93\x6E\x8E\xFB\x93\xFC";  // 譲渡収入
inline constexpr std::string_view kAcquisitionCost = "\x8E\xE6\x93\xBE\x94\xEF";   // 取得費
inline constexpr std::string_view kExpenses = "\x8F\xF7\x93\x6E\x94\xEF\x97\x70";  // 譲渡費用
inline constexpr std::string_view kMargin = "\x90\x4D\x97\x70";                    // 信用
inline constexpr std::string_view kTaxable = "\x89\xDB\x90\xC5";                   // 課税
inline constexpr std::string_view kTaxExempt = "\x94\xF1\x89\xDB\x90\xC5";         // 非課税
inline constexpr std::string_view kTotal = "\x8D\x87\x8C\x76";                     // 合計
inline constexpr std::string_view kLossCarriedIn = "\x8C\x4A\x89\x7A\x8D\x54\x8F\x9C";  // 繰越控除
inline constexpr std::string_view kLossCarriedForward =
    "\x97\x82\x94\x4E\x88\xC8\x8C\xE3\x82\xC9\x8C\x4A\x82\xE8\x89\x7A\x82\xB7\x91\xB9"
    "\x8E\xB8";  // 翌年以後に繰り越す損失
inline constexpr std::string_view kDividendIncome = "\x94\x7A\x93\x96\x8F\x8A\x93\xBE";  // 配当所得
inline constexpr std::string_view kLossOffset = "\x91\xB9\x89\x76\x92\xCA\x8E\x5A";  // 損益通算
inline constexpr std::string_view kLossCarriedInDividends =
    "\x8C\x4A\x89\x7A\x8D\x54\x8F\x9C\x81\x69\x94\x7A\x93\x96\x81\x6A";  // 繰越控除（配当）
inline constexpr std::string_view kAfterLossCarriedIn =
    "\x8C\x4A\x89\x7A\x8D\x54\x8F\x9C\x8C\xE3";  // 繰越控除後

// The heading line of a splits file, as a spreadsheet saves it in Shift_JIS, or in UTF-8.
inline constexpr std::string_view kSplitsHeading =
    "\x93\xFA\x95\x74,\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x95\xAA\x8A\x84\x91\x4F,"
    "\x95\xAA\x8A\x84\x8C\xE3";  // 日付,銘柄コード,分割前,分割後
inline constexpr std::string_view kSplitsHeadingInUtf8 =
    "\xE6\x97\xA5\xE4\xBB\x98,\xE9\x8A\x98\xE6\x9F\x84\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x89,"
    "\xE5\x88\x86\xE5\x89\xB2\xE5\x89\x8D,\xE5\x88\x86\xE5\x89\xB2\xE5\xBE\x8C";  // 日付,銘柄コード,分割前,分割後

// The heading line of a dividends file, in Shift_JIS or in UTF-8.
inline constexpr std::string_view kDividendsHeading =
    "\x94\x4E\x95\xAA,\x94\x7A\x93\x96\x93\x99\x82\xCC\x8A\x7A";  // 年分,配当等の額
inline constexpr std::string_view kDividendsHeadingInUtf8 =
    "\xE5\xB9\xB4\xE5\x88\x86,\xE9\x85\x8D\xE5\xBD\x93\xE7\xAD\x89\xE3\x81\xAE"
    "\xE9\xA1\x8D";  // 年分,配当等の額

// The trade-type keywords as UTF-8 bytes: a log that holds them was saved in the wrong
// encoding (a spreadsheet's "CSV UTF-8"), and none of its rows would match the keywords.
inline constexpr std::string_view kSpotInUtf8 = "\xE7\x8F\xBE\xE7\x89\xA9";  // 現物
inline constexpr std::string_view kMarginOpeningInUtf8 =
    "\xE4\xBF\xA1\xE7\x94\xA8\xE6\x96\xB0\xE8\xA6\x8F";  // 信用新規
inline constexpr std::string_view kMarginClosingInUtf8 =
    "\xE4\xBF\xA1\xE7\x94\xA8\xE8\xBF\x94\xE6\xB8\x88";                              // 信用返済
inline constexpr std::string_view kDeliveryTakeInUtf8 = "\xE7\x8F\xBE\xE5\xBC\x95";  // 現引
inline constexpr std::string_view kDeliveryGiveInUtf8 = "\xE7\x8F\xBE\xE6\xB8\xA1";  // 現渡
inline constexpr std::string_view kDeliveryTakeFormalInUtf8 = "\xE5\x93\x81\xE5\x8F\x97";  // 品受
inline constexpr std::string_view kDeliveryGiveFormalInUtf8 = "\xE5\x93\x81\xE6\xB8\xA1";  // 品渡

}  // namespace tradepl::sjis
