#pragma once
// What is said of a log and of its lines.
// Each row: the message, its English text, its Japanese text (see message_table.hpp).

#include <array>

#include "words/message.hpp"

namespace tradepl::detail {

inline constexpr auto kLogTexts = std::to_array<MessageRow>({
    {Message::readFromUtf8, "saved as UTF-8: converted to Shift_JIS as it was read",
     "UTF-8 で保存されているため、Shift_JIS に変換して読み込みました"},
    {Message::readFromUtf16, "saved as UTF-16: converted to Shift_JIS as it was read",
     "UTF-16 で保存されているため、Shift_JIS に変換して読み込みました"},
    {Message::badUtf16,
     "starts as UTF-16 text but does not decode as UTF-16: open it in Excel and save "
     "it as CSV (comma separated)",
     "UTF-16 のファイルとして読めません。Excel で開き、「CSV（コンマ区切り）」で保存し"
     "直してください"},
    {Message::workbook,
     "an Excel workbook, not a CSV file: open it in Excel and save it as CSV (comma "
     "separated)",
     "Excel のブックで、CSV ファイルではありません。Excel で開き、「CSV（コンマ区切り）」"
     "で保存してください"},
    {Message::notText, "not a CSV text file (it holds NUL bytes)",
     "CSV のテキストファイルではありません（NUL バイトを含んでいます）"},
    {Message::readAsMargin, "a margin log (24 columns), though named with -g: taken as one",
     "信用取引の履歴（24 列）のため、-g で指定されていますが信用取引の履歴として扱います"},
    {Message::readAsSpot, "a spot log (14 columns), though named with -s: taken as one",
     "現物取引の履歴（14 列）のため、-s で指定されていますが現物取引の履歴として扱います"},
    {Message::emptyLog, "the log is empty: no trades in it", "空のファイルです。取引はありません"},
    {Message::newestFirst, "newest first: read from the last line up",
     "新しい順に並んでいるため、最後の行から読みました"},
    {Message::daysNewestFirst,
     "days newest first, the trades of each day oldest first: read a day at a time "
     "from the last",
     "日付は新しい順、同じ日の取引は古い順に並んでいるため、最後の日から 1 日ずつ"
     "読みました"},
    {Message::tradesNewestFirst,
     "the trades of each day newest first: each day read from its last trade",
     "同じ日の取引が新しい順に並んでいるため、日ごとに最後の取引から読みました"},
    {Message::noSpotTrades, "no spot trades (現物) in this log", "現物の取引がありません"},
    {Message::noMarginTrades, "no margin trades (信用新規, 信用返済) in this log",
     "信用新規・信用返済の取引がありません"},
    {Message::moreLinesSkipped, "{1} more lines skipped", "ほかに {1} 行を読み飛ばしました"},
    {Message::moreNotes, "{1} more notes about trades",
     "ほかに {1} 件の取引について注意があります"},
    {Message::alsoInAnotherLog, "{1} rows are also in another log: counted once",
     "{1} 行は他の取引履歴にもあるため、1 回だけ数えました"},
    {Message::oneAlsoInAnotherLog, "1 row is also in another log: counted once",
     "1 行は他の取引履歴にもあるため、1 回だけ数えました"},
    {Message::skipped, "skipped: {1}", "読み飛ばしました: {1}"},
    {Message::tooFewColumns, "{1} columns, {2} expected",
     "列が {1} 列しかありません（{2} 列必要です）"},
    {Message::emptyColumn, "column {1} ({2}) is empty", "{1} 列目（{2}）が空です"},
    {Message::nulInColumn, "column {1} ({2}) holds a NUL byte",
     "{1} 列目（{2}）に NUL バイトがあります"},
    {Message::notANumber, "column {1} ({2}): not a number", "{1} 列目（{2}）が数値ではありません"},
    {Message::outOfRange, "column {1} ({2}): out of range", "{1} 列目（{2}）の値が大きすぎます"},
    {Message::notAStockCode, "column {1} ({2}): not a security code",
     "{1} 列目（{2}）が銘柄コードではありません"},
    {Message::notPositive, "column {1} ({2}): 0 or fewer shares", "{1} 列目（{2}）が 0 以下です"},
    {Message::deliveryNotReread,
     "column {1} ({2}): a 現引 or 現渡 is applied only from a log saved as a file; save "
     "the log and name the file",
     "{1} 列目（{2}）が現引・現渡ですが、ファイルに保存されていない履歴からは計算"
     "できません。履歴をファイルに保存して指定してください"},
    {Message::neitherSide, "column {1} ({2}) is neither a purchase (買) nor a sale (売)",
     "{1} 列目（{2}）が買・売のどちらでもありません"},
    {Message::shiftedColumns,
     "more columns than a {2} log has, and column {1} (受領日) is not a date: an amount "
     "with a thousands separator but no quotes?",
     "{2}取引の履歴より列が多く、{1} 列目（受領日）が日付ではありません。桁区切りのカンマが"
     "付いた金額が「\"」で囲まれていない可能性があります"},
    {Message::longerThanAnyLine, "longer than 1 MiB", "1 MiB を超える長さの行です"},
    {Message::lineInUtf8,
     "written in UTF-8, unlike the lines before it: save the whole log in one encoding",
     "この行だけ UTF-8 で書かれています。取引履歴全体を同じ文字コードで保存してください"},
    {Message::notUtf8Line, "not UTF-8, unlike the rest of the log",
     "UTF-8 として読めない文字があります"},
    {Message::notInShiftJis, "holds a character Shift_JIS lacks (an emoji, a rare kanji)",
     "Shift_JIS にない文字（絵文字や一部の漢字など）があります"},
    {Message::outOfOrder,
     "executed before the trade read just before it: the log is not in date order, "
     "and holdings follow the order of its lines",
     "直前に読んだ取引より前に約定しています。取引履歴が約定日時の順に並んでいない"
     "ため、保有は行の順に計算されます"},
});

}  // namespace tradepl::detail
