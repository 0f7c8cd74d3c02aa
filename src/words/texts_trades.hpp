#pragma once
// What is said of trades, and of the splits and dividends files.
// Each row: the message, its English text, its Japanese text (see message_table.hpp).

#include <array>

#include "words/message.hpp"

namespace tradepl::detail {

inline constexpr auto kTradeTexts = std::to_array<MessageRow>({
    {Message::saleWithoutHolding,
     "sale of {1} ({2}) without a holding bought earlier in the logs: no result",
     "{1}（{2}）の売却に対応する買付が取引履歴にありません。損益は出力しません"},
    {Message::soldMoreThanHeld,
     "sale of {1} ({2}) is larger than the {3} shares held: result written, "
     "holding closed",
     "{1}（{2}）の売却数量が保有株数 {3} を超えています。損益を出力し、保有をなくし"
     "ました"},
    {Message::soldMoreThanHeldSplit,
     "sale of {1} ({2}) is larger than the {3} shares held: result written, holding "
     "closed. The price fell from {4} to {5} since {6}; if {1} was split 1:{7}, add "
     "\"{8},{1},1,{7}\" to a --splits file, dated the ex-rights day",
     "{1}（{2}）の売却数量が保有株数 {3} "
     "を超えています。損益を出力し、保有をなくしました。{6} から株価が {4} 円から {5} "
     "円に下がっています。1:{7} の株式分割があった場合は、--splits "
     "のファイルに「{8},{1},1,{7}」（日付は権利落ち日）を加えてください"},
    {Message::amountOutOfRange, "trade of {1} ({2}) left out: an amount is too large to compute",
     "{1}（{2}）の取引は金額が大きすぎて計算できないため、除外しました"},
    {Message::dateDoesNotRead,
     "execution date {1} does not read as year/month/day: its result is written "
     "with empty date columns",
     "約定日時 {1} を年/月/日として読めません。約定年・約定月・約定日を空欄にして"
     "損益を出力しました"},
    {Message::notACalendarDate,
     "execution date {1} is not a calendar date: its result shows the date as written, "
     "but the date places the trade in no order and applies no split",
     "約定日時 {1} は暦にない日付です。損益は記載どおりの日付で出力しましたが、"
     "取引の順序や株式分割の判定には使っていません"},
    {Message::splitsNotRead, "cannot read the splits file: {1}. Nothing was read or written",
     "株式分割のファイルを読み込めません: {1}。何も読み書きしていません"},
    {Message::splitsTooLong, "longer than 1 MiB, which no splits file is",
     "1 MiB を超えており、株式分割のファイルではありません"},
    {Message::notASplit,
     "not a split: {1}. Write a split as date,code,before,after (2023/06/28,9432,1,25). "
     "Nothing was read or written",
     "株式分割の行として読めません（{1}）。日付,銘柄コード,分割前,分割後 の形式（例: "
     "2023/06/28,9432,1,25）で書いてください。何も読み書きしていません"},
    {Message::splitColumns, "not four columns", "列が 4 つではありません"},
    {Message::splitDate, "column 1 is not a date (year/month/day)",
     "1 列目が 年/月/日 の日付ではありません"},
    {Message::splitCode, "column 2 is not a security code", "2 列目が銘柄コードではありません"},
    {Message::splitShares, "column {1} is not a whole number above 0",
     "{1} 列目が 1 以上の整数ではありません"},
    {Message::splitFraction,
     "{1}:{2} split of {3} ({4}): {5} shares became {6} and {7} of a share; the broker "
     "pays such a fraction in cash, which the logs do not show",
     "{3}（{4}）の {1}:{2} の株式分割で、{5} 株が {6} 株と {7} "
     "株の端数になりました。端数は証券会社が現金で支払うもので、取引履歴には記載されません"},
    {Message::splitOutOfRange,
     "{1}:{2} split of {3} ({4}) left out: {5} shares would become too many to count",
     "{3}（{4}）の {1}:{2} の株式分割は、株数 {5} "
     "が大きすぎて計算できないため、適用していません"},
    {Message::dividendsNotRead, "cannot read the dividends file: {1}. Nothing was read or written",
     "配当のファイルを読み込めません: {1}。何も読み書きしていません"},
    {Message::dividendsTooLong, "longer than 1 MiB, which no dividends file is",
     "1 MiB を超えており、配当のファイルではありません"},
    {Message::notADividend,
     "not a year's dividends: {1}. Write them as year,yen (2024,120000). Nothing was "
     "read or written",
     "配当の行として読めません（{1}）。年分,配当等の額 の形式（例: 2024,120000）で"
     "書いてください。何も読み書きしていません"},
    {Message::dividendColumns, "not two columns", "列が 2 つではありません"},
    {Message::dividendYear, "column 1 is not a year from 1900 to 2199",
     "1 列目が 1900 から 2199 までの年ではありません"},
    {Message::dividendAmount, "column 2 is not a whole number of yen, 0 or more",
     "2 列目が 0 以上の整数（円）ではありません"},
});

}  // namespace tradepl::detail
