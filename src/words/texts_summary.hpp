#pragma once
// The summary at the end of a run.
// Each row: the message, its English text, its Japanese text (see message_table.hpp).

#include <array>

#include "words/message.hpp"

namespace tradepl::detail {

inline constexpr auto kSummaryTexts = std::to_array<MessageRow>({
    {Message::summary, "summary", "実行結果"},
    {Message::logSummary,
     "lines read {1}, trades used {2}, lines skipped {3}, of other trade types {4}",
     "{1} 行を読み、{2} 件の取引を使いました（読み飛ばし {3} 行、対象外の取引区分 {4} 行）"},
    {Message::logNotRead, "not read", "読み込みませんでした"},
    {Message::logLeftUnread, "not converted, as the result file could not be written",
     "結果ファイルを書き出せないため、計算していません"},
    {Message::resultsWritten, "results written to {2}: {1}", "{1} 件の損益を {2} に書き出しました"},
    {Message::resultsNotWritten, "no results written: {1} was not written",
     "損益は書き出していません（{1} に書き出せませんでした）"},
    {Message::resultsInPart, "results incomplete: {1} took part of them before a log failed",
     "{1} に書き出した損益は、取引履歴を最後まで読めなかったため不完全です"},
    {Message::reportWritten, "yearly report written to {1}", "年分別の集計を {1} に書き出しました"},
    {Message::reportNotWritten, "no yearly report written: {1} was not written",
     "年分別の集計は書き出していません（{1} に書き出せませんでした）"},
    {Message::standardOutput, "the standard output", "標準出力"},
    {Message::totalsHeading,
     "Realized profit and loss per tax year (the year of the settlement date, 受領日):",
     "年分別の譲渡損益（受領日の属する年で集計）:"},
    {Message::totalsColumns, "year|log|account|tax|results|proceeds|cost|expenses|profit (yen)",
     "年分|取引|口座|課税区分|件数|譲渡収入|取得費|譲渡費用|損益（円）"},
    {Message::spotKind, "spot", "現物"},
    {Message::marginKind, "margin", "信用"},
    {Message::totalKind, "total", "合計"},
    {Message::dividendIncome, "dividends", "配当所得"},
    {Message::lossOffset, "offset against dividends", "損益通算"},
    {Message::lossCarriedIn, "loss carried in", "繰越控除"},
    {Message::lossCarriedInDividends, "loss carried in, dividends", "繰越控除（配当）"},
    {Message::afterLossCarriedIn, "after losses carried in", "繰越控除後"},
    {Message::lossCarriedOut, "loss carried forward", "翌年以後に繰り越す損失"},
    {Message::lossYear, "of {1}", "{1}年分"},
    {Message::taxable, "taxable", "課税"},
    {Message::taxExempt, "exempt", "非課税"},
    {Message::unknownYear, "?", "不明"},
    {Message::moreAccounts, "… and {1} more accounts", "… ほか {1} 口座"},
    {Message::withoutTaxYear,
     "results in no year's total, as their settlement date does not read: {1}",
     "受領日を読めないため、どの年分にも集計していない損益が {1} 件あります"},
    {Message::movingAverageMethod,
     "Costs are moving averages with purchase commissions charged to the next sale, as on "
     "the broker's statements; for the figures of a tax return, run with --tax.",
     "取得単価は移動平均で、買付手数料は次の売却に計上しています（取引報告書と同じ計算です"
     "）。確定申告に使う金額は --tax を付けて実行してください。"},
    {Message::taxOfficeMethod,
     "Costs by the tax office's method (総平均法に準ずる方法): purchase fees in the cost, "
     "the cost per share rounded up to the yen at each sale.",
     "取得費は総平均法に準ずる方法で計算しています（買付手数料を取得費に含め、売却ごとに 1 "
     "株あたりの取得費の円未満を切り上げ）。"},
    {Message::lossesByTaxOffice,
     "Losses offset and carried forward are worked out from the tax office's costs "
     "only, as a return counts them: run with --tax for them.",
     "配当所得との損益通算と損失の繰越控除は、確定申告と同じ取得費で計算する --tax "
     "の場合に限り表示します。--tax を付けて実行してください。"},
    {Message::mayBeIncomplete,
     "The totals may be incomplete: messages above that say what was left out: {1}",
     "集計に含まれていない取引がある可能性があります。理由は上の {1} 件のメッセージを"
     "ご覧ください。"},
    {Message::resultFile, "The result file: {1}", "結果ファイル: {1}"},
    {Message::reportFile, "The yearly report: {1}", "集計ファイル: {1}"},
});

}  // namespace tradepl::detail
