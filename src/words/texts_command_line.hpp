#pragma once
// What is said of a command line that cannot be run.
// Each row: the message, its English text, its Japanese text (see message_table.hpp).

#include <array>

#include "words/message.hpp"

namespace tradepl::detail {

inline constexpr auto kCommandLineTexts = std::to_array<MessageRow>({
    {Message::noInputLog, "no input log: name a spot log with -g or a margin log with -s",
     "取引履歴が指定されていません。現物の履歴は -g、信用の履歴は -s "
     "の後に指定してください"},
    {Message::optionWithoutPath, "{1} needs a path after it",
     "{1} の後にファイル名を指定してください"},
    {Message::unknownOption,
     "unknown option {1} (a file whose name begins with - is written ./-name)",
     "{1} というオプションはありません（名前が - で始まるファイルは ./-名前 と指定して"
     "ください）"},
    {Message::logsNotMarked,
     "mark the logs with -g (spot) and -s (margin): tradepl -g spot.csv -s margin.csv "
     "out.csv",
     "取引履歴は -g（現物）と -s（信用）を付けて指定してください: "
     "tradepl -g spot.csv -s margin.csv out.csv"},
    {Message::noOutputPath, "no output path", "出力ファイル名が指定されていません"},
    {Message::outputNamesInput, "the output path {1} names an input log",
     "出力先 {1} は入力の取引履歴です。別の名前を指定してください"},
    {Message::reportNamesOutput, "the report {1} is the result file: give it another name",
     "集計ファイル {1} は出力ファイルと同じです。別の名前を指定してください"},
    {Message::reportNamesInput, "the report {1} names an input log",
     "集計ファイル {1} は入力の取引履歴です。別の名前を指定してください"},
    {Message::reportReachesOutput,
     "the report {1} would go where the results go, and their lines would be mixed: "
     "give it a path of its own",
     "集計ファイル {1} は損益の出力先と同じストリームまたは装置に書き出され、内容が"
     "混ざってしまいます。別の出力先を指定してください"},
    {Message::namesSplitsFile, "{1} is the splits file: give the output another name",
     "{1} は株式分割のファイルです。出力には別の名前を指定してください"},
    {Message::namesDividendsFile, "{1} is the dividends file: give the output another name",
     "{1} は配当のファイルです。出力には別の名前を指定してください"},
    {Message::outputIsALog,
     "{1} is a trade log: name the result file last, or mark the logs with -g and -s",
     "{1} は取引履歴です。結果ファイルは最後に指定するか、取引履歴を -g と -s "
     "で指定してください"},
    {Message::givenTwice, "given twice: read once", "2 回指定されているため、1 回だけ読み込みます"},
    {Message::namedTwice, "named with both -g and -s: read once",
     "-g と -s の両方で指定されているため、1 回だけ読み込みます"},
});

}  // namespace tradepl::detail
