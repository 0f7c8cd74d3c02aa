#pragma once
// Why a file cannot be read or written, and what is said of a file once written.
// Each row: the message, its English text, its Japanese text (see message_table.hpp).

#include <array>

#include "words/message.hpp"

namespace tradepl::detail {

inline constexpr auto kFileTexts = std::to_array<MessageRow>({
    {Message::cannotRead, "cannot read: {1}", "読み込めません: {1}"},
    {Message::cannotWrite, "cannot write: {1}", "書き出せません: {1}"},
    {Message::notWritten, "not written: no log could be read",
     "書き出しませんでした: 読み込める取引履歴がありません"},
    {Message::emptyPath, "empty path", "ファイル名が空です"},
    {Message::isDirectory, "is a directory", "フォルダーです"},
    {Message::readError, "read error: {1}", "読み込み中にエラーが発生しました: {1}"},
    {Message::fileShrank, "the file grew shorter while it was read",
     "読み込みの途中でファイルが短くなりました"},
    {Message::lostTemporary, "the trades of a day kept in a temporary file could not be read back",
     "一時ファイルに保存した 1 日分の取引を読み戻せませんでした"},
    {Message::cannotCreateBeside, "cannot create a file there: {1}",
     "同じフォルダーにファイルを作成できません: {1}"},
    {Message::writeError, "write error: {1}", "書き込み中にエラーが発生しました: {1}"},
    {Message::readOnly, "the file is read-only, or you may not write to it",
     "読み取り専用か、書き込みが許可されていないファイルです"},
    {Message::notAFile, "neither a file nor a device (a socket?)",
     "ファイルでも装置でもありません（ソケットなど）"},
    {Message::streamClosed, "the descriptor was closed when tradepl started",
     "tradepl の起動時に閉じられていたファイル記述子です"},
    {Message::heldOpen,
     "the result file is open in another program (such as Excel). Close it and run "
     "tradepl again.",
     "結果ファイルが他のプログラム（Excel "
     "など）で開かれています。閉じてから、もう一度実行して"
     "ください。"},
    {Message::reportHeldOpen,
     "the report is open in another program (such as Excel). Close it and run tradepl "
     "again.",
     "集計ファイルが他のプログラム（Excel など）で開かれています。閉じてから、もう一度"
     "実行してください。"},
    {Message::writtenInPlace,
     "written over in place: the folder does not let the file be replaced all at once, "
     "so a run stopped while it writes leaves the file incomplete",
     "フォルダーの権限により一括で置き換えられないため、ファイルに直接上書きしました。"
     "書き込み中に中断した場合、内容が不完全になります"},
    {Message::modeNotKept,
     "written, but without the permissions or the owner of the file it replaced: {1}",
     "書き出しましたが、置き換える前のファイルのアクセス権または所有者を引き継げません"
     "でした: {1}"},
    {Message::cannotSpool, "cannot keep a copy of it in a temporary file to read it: {1}",
     "読み込むために一時ファイルへコピーできません: {1}"},
    {Message::sharedLink,
     "a link in a shared folder ({1}) that belongs to another user: not followed",
     "共有フォルダー（{1}）にある、他のユーザーのシンボリックリンクです。安全のため、"
     "リンク先には書き出しません"},
    {Message::anotherRun, "another tradepl run is writing {1}: run again once it has finished",
     "{1} には別の tradepl が書き込み中です。終わってから、もう一度実行してください"},
    {Message::deviceName,
     "a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9), whatever "
     "its extension: no file would be made. Give another name, or NUL alone to discard "
     "the output",
     "Windows が装置のために予約している名前です（CON、PRN、AUX、NUL、COM1～9、"
     "LPT1～9。拡張子を付けても同じです）。ファイルは作成されないため、別の名前を"
     "指定してください。出力を捨てる場合は NUL とだけ指定してください"},
    {Message::noSuchFolder, "there is no folder {1}", "フォルダー {1} がありません"},
    {Message::readStoppedAfter, "cannot read past line {1}: {2}",
     "{1} 行目より後を読み込めません: {2}"},
    {Message::readStoppedBefore, "cannot read above line {1} (read from the last line up): {2}",
     "{1} 行目より前を読み込めません（最終行から順に読んでいます）: {2}"},
    {Message::leftAsItWas,
     "not written: a log could not be read to its end, and its results would be "
     "incomplete; a file already there is left as it was",
     "取引履歴を最後まで読み込めず損益が不完全になるため、書き出しませんでした"
     "（既にあるファイルはそのままです）"},
    {Message::sentInPart,
     "a log could not be read to its end: the results written here before that are "
     "incomplete",
     "取引履歴を最後まで読めなかったため、ここに書き出した損益は途中までで、不完全です"},
});

}  // namespace tradepl::detail
