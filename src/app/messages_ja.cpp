// Every text the program says in Japanese: polite (です・ます), in the words brokers and the
// tax office use (約定日, 受領日, 口座, 譲渡損益).

#include <cerrno>

#include "app/messages.hpp"

namespace tradepl {

std::string_view japaneseText(Message message) {
  switch (message) {
    case Message::noInputLog:
      return "取引履歴が指定されていません。現物の履歴は -g、信用の履歴は -s "
             "の後に指定してください";
    case Message::optionWithoutPath:
      return "{1} の後にファイル名を指定してください";
    case Message::unknownOption:
      return "{1} というオプションはありません（名前が - で始まるファイルは ./-名前 と指定して"
             "ください）";
    case Message::logsNotMarked:
      return "取引履歴は -g（現物）と -s（信用）を付けて指定してください: "
             "tradepl -g spot.csv -s margin.csv out.csv";
    case Message::noOutputPath:
      return "出力ファイル名が指定されていません";
    case Message::outputNamesInput:
      return "出力先 {1} は入力の取引履歴です。別の名前を指定してください";
    case Message::reportNamesOutput:
      return "集計ファイル {1} は出力ファイルと同じです。別の名前を指定してください";
    case Message::reportNamesInput:
      return "集計ファイル {1} は入力の取引履歴です。別の名前を指定してください";
    case Message::namesSplitsFile:
      return "{1} は株式分割のファイルです。出力には別の名前を指定してください";
    case Message::help:
      return "tradepl {1}: 取引履歴から実現損益を計算します\n"
             "\n"
             "現物取引と信用取引の履歴（Shift_JIS の CSV）を読み、実現損益の一覧を\n"
             "1 つの CSV に書き出します。取引履歴内で買い付けた株式の売却ごとに、\n"
             "取得単価・手数料・損益を、信用返済ごとにその損益を 1 行ずつ出力し、\n"
             "最後に年分別の集計を表示します。\n"
             "\n"
             "使い方: {2}\n"
             "\n"
             "  -g ファイル       現物取引の履歴（14 列）\n"
             "  -s ファイル       信用取引の履歴（24 列）\n"
             "  out.csv           出力するファイル。- を指定すると標準出力に書き出します\n"
             "  --splits ファイル 取引履歴にない株式分割・株式併合を 1 行に 1 件、\n"
             "                    日付,銘柄コード,分割前,分割後 の形式で指定します（1:25 の\n"
             "                    分割は 2023/06/28,9432,1,25）。日付は会社や取引所の株式分割\n"
             "                    のお知らせにある権利落ち日です\n"
             "  --tax             税務署と同じ方法（総平均法に準ずる方法）で現物の取得費を\n"
             "                    計算します。買付手数料を取得費に含め、売却ごとに 1 株あたり\n"
             "                    の取得費の円未満を切り上げ、特定口座では同じ日の買付を売却\n"
             "                    より先に計算します。特定口座年間取引報告書の確認や、一般口座\n"
             "                    の確定申告に使います。指定しない場合は、取引報告書と同じ移動\n"
             "                    平均で、買付手数料を次の売却に計上します\n"
             "  --report ファイル 年分別の集計を CSV で書き出します。年分・取引・口座ごとの\n"
             "                    譲渡収入・取得費・譲渡費用・損益、課税分の合計（NISA は除く）、\n"
             "                    繰越損失を記載します\n"
             "  --dividends ファイル\n"
             "                    申告分離課税を選択した配当等の額を、年分,配当等の額 の形式で\n"
             "                    1 行に 1 年分ずつ指定します（例: 2024,120000）。特定口座年間\n"
             "                    取引報告書の金額を書き、譲渡損失との損益通算と繰越控除に含め\n"
             "                    ます\n"
             "  --detail          損益の各行の末尾に、口座・取引区分・受領日を加えます\n"
             "  -q, --quiet       最後の実行結果を表示しません\n"
             "  -h, --help        この説明を表示します\n"
             "  --version         バージョンを表示します\n"
             "\n"
             "-g や -s を付けずに指定した履歴（tradepl.exe にドラッグ＆ドロップした場合など）は、\n"
             "列の数から現物・信用を判断し、1 つ目の履歴と同じフォルダーに実現損益.csv を書き出し\n"
             "ます。\n"
             "\n"
             "年分は受領日（受渡日）の属する年です。損失の繰越控除は、毎年確定申告をした場合に\n"
             "限り 3 年間受けられます。配当は取引履歴にないため、--dividends で指定して\n"
             "ください。その他の注意点は README をご覧ください。\n"
             "\n"
             "文字コード: 取引履歴と出力ファイルは、証券会社や Excel と同じ Shift_JIS（CP932）\n"
             "です。UTF-8 や UTF-16 で保存した履歴は、読み込むときに変換します。メッセージと\n"
             "この説明はコンソールの文字コードで表示します。取引履歴は古い順・新しい順のどちら\n"
             "でも構いません。-g と -s を逆に指定した履歴も、内容に合わせて読み込みます。\n"
             "\n"
             "終了ステータス:\n"
             "   0  正常に終了しました\n"
             "  -1  引数がありません（使い方を表示します）\n"
             "  -2  コマンドライン、または株式分割や配当のファイルに誤りがあります。何も読み\n"
             "      書きしていません\n"
             "  -3  読み込めない取引履歴がありました。ほかに指定した履歴は使いました（途中\n"
             "      までしか読めなかった場合は、出力ファイルを変更していません）\n"
             "  -4  出力ファイルまたは集計ファイルを書き出せませんでした。既存のファイルは\n"
             "      変更していません\n";
    case Message::pressEnter:
      return "Enter キーを押すと、このウィンドウを閉じます。";

    case Message::cannotRead:
      return "読み込めません: {1}";
    case Message::cannotWrite:
      return "書き出せません: {1}";
    case Message::notWritten:
      return "書き出しませんでした: 読み込める取引履歴がありません";
    case Message::emptyPath:
      return "ファイル名が空です";
    case Message::isDirectory:
      return "フォルダーです";
    case Message::readError:
      return "読み込み中にエラーが発生しました: {1}";
    case Message::fileShrank:
      return "読み込みの途中でファイルが短くなりました";
    case Message::lostTemporary:
      return "一時ファイルに保存した 1 日分の取引を読み戻せませんでした";
    case Message::cannotCreateBeside:
      return "同じフォルダーにファイルを作成できません: {1}";
    case Message::writeError:
      return "書き込み中にエラーが発生しました: {1}";
    case Message::readOnly:
      return "読み取り専用か、書き込みが許可されていないファイルです";
    case Message::notAFile:
      return "ファイルでも装置でもありません（ソケットなど）";

    case Message::readFromUtf8:
      return "UTF-8 で保存されているため、Shift_JIS に変換して読み込みました";
    case Message::readFromUtf16:
      return "UTF-16 で保存されているため、Shift_JIS に変換して読み込みました";
    case Message::badUtf16:
      return "UTF-16 のファイルとして読めません。Excel で開き、「CSV（コンマ区切り）」で保存し"
             "直してください";
    case Message::workbook:
      return "Excel のブックで、CSV ファイルではありません。Excel で開き、「CSV（コンマ区切り）」"
             "で保存してください";
    case Message::notText:
      return "CSV のテキストファイルではありません（NUL バイトを含んでいます）";
    case Message::readAsMargin:
      return "信用取引の履歴（24 列）のため、-g で指定されていますが信用取引の履歴として扱います";
    case Message::readAsSpot:
      return "現物取引の履歴（14 列）のため、-s で指定されていますが現物取引の履歴として扱います";
    case Message::namedTwice:
      return "-g と -s の両方で指定されているため、1 回だけ読み込みます";
    case Message::emptyLog:
      return "空のファイルです。取引はありません";
    case Message::newestFirst:
      return "新しい順に並んでいるため、最後の行から読みました";
    case Message::noSpotTrades:
      return "現物の取引がありません";
    case Message::noMarginTrades:
      return "信用新規・信用返済の取引がありません";
    case Message::moreLinesSkipped:
      return "ほかに {1} 行を読み飛ばしました";
    case Message::moreNotes:
      return "ほかに {1} 件の取引について注意があります";

    case Message::skipped:
      return "読み飛ばしました: {1}";
    case Message::tooFewColumns:
      return "列が {1} 列しかありません（{2} 列必要です）";
    case Message::emptyColumn:
      return "{1} 列目（{2}）が空です";
    case Message::nulInColumn:
      return "{1} 列目（{2}）に NUL バイトがあります";
    case Message::notANumber:
      return "{1} 列目（{2}）が数値ではありません";
    case Message::outOfRange:
      return "{1} 列目（{2}）の値が大きすぎます";
    case Message::notAStockCode:
      return "{1} 列目（{2}）が銘柄コードではありません";
    case Message::longerThanAnyLine:
      return "1 MiB を超える長さの行です";
    case Message::lineInUtf8:
      return "この行だけ UTF-8 で書かれています。取引履歴全体を同じ文字コードで保存してください";
    case Message::notUtf8Line:
      return "UTF-8 として読めない文字があります";
    case Message::notInShiftJis:
      return "Shift_JIS にない文字（絵文字や一部の漢字など）があります";
    case Message::outOfOrder:
      return "直前に読んだ取引より前に約定しています。取引履歴が約定日時の順に並んでいない"
             "ため、保有は行の順に計算されます";

    case Message::splitsNotRead:
      return "株式分割のファイルを読み込めません: {1}。何も読み書きしていません";
    case Message::splitsTooLong:
      return "1 MiB を超えており、株式分割のファイルではありません";
    case Message::notASplit:
      return "株式分割の行として読めません（{1}）。日付,銘柄コード,分割前,分割後 の形式（例: "
             "2023/06/28,9432,1,25）で書いてください。何も読み書きしていません";
    case Message::splitColumns:
      return "列が 4 つではありません";
    case Message::splitDate:
      return "1 列目が 年/月/日 の日付ではありません";
    case Message::splitCode:
      return "2 列目が銘柄コードではありません";
    case Message::splitShares:
      return "{1} 列目が 1 以上の整数ではありません";
    case Message::splitFraction:
      return "{3}（{4}）の {1}:{2} の株式分割で、{5} 株が {6} 株と {7} "
             "株の端数になりました。端数は証券会社が現金で支払うもので、取引履歴には記載されません";
    case Message::splitOutOfRange:
      return "{3}（{4}）の {1}:{2} の株式分割は、株数 {5} "
             "が大きすぎて計算できないため、適用していません";

    case Message::saleWithoutHolding:
      return "{1}（{2}）の売却に対応する買付が取引履歴にありません。損益は出力しません";
    case Message::soldMoreThanHeld:
      return "{1}（{2}）の売却数量が保有株数 {3} を超えています。損益を出力し、保有をなくし"
             "ました";
    case Message::soldMoreThanHeldSplit:
      return "{1}（{2}）の売却数量が保有株数 {3} "
             "を超えています。損益を出力し、保有をなくしました。{6} から株価が {4} 円から {5} "
             "円に下がっています。1:{7} の株式分割があった場合は、--splits "
             "のファイルに「{8},{1},1,{7}」（日付は権利落ち日）を加えてください";
    case Message::amountOutOfRange:
      return "{1}（{2}）の取引は金額が大きすぎて計算できないため、除外しました";
    case Message::dateDoesNotRead:
      return "約定日時 {1} を年/月/日として読めません。約定年・約定月・約定日を空欄にして"
             "損益を出力しました";

    case Message::summary:
      return "実行結果";
    case Message::logSummary:
      return "{1} 行を読み、{2} 件の取引を使いました（読み飛ばし {3} 行、対象外の取引区分 {4} 行）";
    case Message::logNotRead:
      return "読み込みませんでした";
    case Message::resultsWritten:
      return "{1} 件の損益を {2} に書き出しました";
    case Message::resultsNotWritten:
      return "損益は書き出していません（{1} に書き出せませんでした）";
    case Message::reportWritten:
      return "年分別の集計を {1} に書き出しました";
    case Message::reportNotWritten:
      return "年分別の集計は書き出していません（{1} に書き出せませんでした）";
    case Message::standardOutput:
      return "標準出力";
    case Message::totalsHeading:
      return "年分別の譲渡損益（受領日の属する年で集計）:";
    case Message::totalsColumns:
      return "年分|取引|口座|課税区分|件数|譲渡収入|取得費|譲渡費用|損益（円）";
    case Message::spotKind:
      return "現物";
    case Message::marginKind:
      return "信用";
    case Message::totalKind:
      return "合計";
    case Message::lossCarriedIn:
      return "繰越控除";
    case Message::lossCarriedOut:
      return "翌年以後に繰り越す損失";
    case Message::lossYear:
      return "{1}年分";
    case Message::taxable:
      return "課税";
    case Message::taxExempt:
      return "非課税";
    case Message::unknownYear:
      return "不明";
    case Message::withoutTaxYear:
      return "受領日を読めないため、どの年分にも集計していない損益が {1} 件あります";
    case Message::movingAverageMethod:
      return "取得単価は移動平均で、買付手数料は次の売却に計上しています（取引報告書と同じ計算です"
             "）。確定申告に使う金額は --tax を付けて実行してください。";
    case Message::taxOfficeMethod:
      return "取得費は総平均法に準ずる方法で計算しています（買付手数料を取得費に含め、売却ごとに 1 "
             "株あたりの取得費の円未満を切り上げ）。";
    case Message::mayBeIncomplete:
      return "集計に含まれていない取引がある可能性があります。理由は上の {1} 件のメッセージを"
             "ご覧ください。";
    case Message::resultFile:
      return "結果ファイル: {1}";
    case Message::noSuchFolder:
      return "フォルダー {1} がありません";
    case Message::logLeftUnread:
      return "結果ファイルを書き出せないため、計算していません";

    case Message::streamClosed:
      return "tradepl の起動時に閉じられていたファイル記述子です";
    case Message::heldOpen:
      return "結果ファイルが他のプログラム（Excel "
             "など）で開かれています。閉じてから、もう一度実行して"
             "ください。";
    case Message::writtenInPlace:
      return "フォルダーの権限により一括で置き換えられないため、ファイルに直接上書きしました。"
             "書き込み中に中断した場合、内容が不完全になります";
    case Message::notACalendarDate:
      return "約定日時 {1} は暦にない日付です。損益は記載どおりの日付で出力しましたが、"
             "取引の順序や株式分割の判定には使っていません";
    case Message::notPositive:
      return "{1} 列目（{2}）が 0 以下です";
    case Message::deliveryNotReread:
      return "{1} 列目（{2}）が現引・現渡ですが、ファイルに保存されていない履歴からは計算"
             "できません。履歴をファイルに保存して指定してください";
    case Message::readStoppedAfter:
      return "{1} 行目より後を読み込めません: {2}";
    case Message::readStoppedBefore:
      return "{1} 行目より前を読み込めません（最終行から順に読んでいます）: {2}";
    case Message::leftAsItWas:
      return "取引履歴を最後まで読み込めず損益が不完全になるため、書き出しませんでした"
             "（既にあるファイルはそのままです）";
    case Message::cannotSpool:
      return "読み込むために一時ファイルへコピーできません: {1}";
    case Message::moreAccounts:
      return "… ほか {1} 口座";
    case Message::sentInPart:
      return "取引履歴を最後まで読めなかったため、ここに書き出した損益は途中までで、不完全です";
    case Message::resultsInPart:
      return "{1} に書き出した損益は、取引履歴を最後まで読めなかったため不完全です";
    case Message::givenTwice:
      return "2 回指定されているため、1 回だけ読み込みます";
    case Message::alsoInAnotherLog:
      return "{1} 行は他の取引履歴にもあるため、1 回だけ数えました";
    case Message::oneAlsoInAnotherLog:
      return "1 行は他の取引履歴にもあるため、1 回だけ数えました";
    case Message::daysNewestFirst:
      return "日付は新しい順、同じ日の取引は古い順に並んでいるため、最後の日から 1 日ずつ"
             "読みました";
    case Message::tradesNewestFirst:
      return "同じ日の取引が新しい順に並んでいるため、日ごとに最後の取引から読みました";
    case Message::outputIsALog:
      return "{1} は取引履歴です。結果ファイルは最後に指定するか、取引履歴を -g と -s "
             "で指定してください";
    case Message::dividendIncome:
      return "配当所得";
    case Message::lossOffset:
      return "損益通算";
    case Message::lossCarriedInDividends:
      return "繰越控除（配当）";
    case Message::afterLossCarriedIn:
      return "繰越控除後";
    case Message::lossesByTaxOffice:
      return "配当所得との損益通算と損失の繰越控除は、確定申告と同じ取得費で計算する --tax "
             "の場合に限り表示します。--tax を付けて実行してください。";
    case Message::reportFile:
      return "集計ファイル: {1}";
    case Message::namesDividendsFile:
      return "{1} は配当のファイルです。出力には別の名前を指定してください";
    case Message::dividendsNotRead:
      return "配当のファイルを読み込めません: {1}。何も読み書きしていません";
    case Message::dividendsTooLong:
      return "1 MiB を超えており、配当のファイルではありません";
    case Message::notADividend:
      return "配当の行として読めません（{1}）。年分,配当等の額 の形式（例: 2024,120000）で"
             "書いてください。何も読み書きしていません";
    case Message::dividendColumns:
      return "列が 2 つではありません";
    case Message::dividendYear:
      return "1 列目が 1900 から 2199 までの年ではありません";
    case Message::dividendAmount:
      return "2 列目が 0 以上の整数（円）ではありません";
    case Message::reportReachesOutput:
      return "集計ファイル {1} は損益の出力先と同じストリームまたは装置に書き出され、内容が"
             "混ざってしまいます。別の出力先を指定してください";
    case Message::sharedLink:
      return "共有フォルダー（{1}）にある、他のユーザーのシンボリックリンクです。安全のため、"
             "リンク先には書き出しません";
    case Message::anotherRun:
      return "{1} には別の tradepl が書き込み中です。終わってから、もう一度実行してください";
    case Message::deviceName:
      return "Windows が装置のために予約している名前です（CON、PRN、AUX、NUL、COM1～9、"
             "LPT1～9。拡張子を付けても同じです）。ファイルは作成されないため、別の名前を"
             "指定してください。出力を捨てる場合は NUL とだけ指定してください";
    case Message::modeNotKept:
      return "書き出しましたが、置き換える前のファイルのアクセス権または所有者を引き継げません"
             "でした: {1}";
    case Message::reportHeldOpen:
      return "集計ファイルが他のプログラム（Excel など）で開かれています。閉じてから、もう一度"
             "実行してください。";
    case Message::neitherSide:
      return "{1} 列目（{2}）が買・売のどちらでもありません";
    case Message::shiftedColumns:
      return "{2}取引の履歴より列が多く、{1} 列目（受領日）が日付ではありません。桁区切りのカンマが"
             "付いた金額が「\"」で囲まれていない可能性があります";
    case Message::withoutCommandLine:
      return "tradepl はコマンドラインを使わずに実行できます。エクスプローラーで現物と信用の\n"
             "取引履歴（CSV）を、複数年分あればすべて選び、tradepl.exe の上にドラッグ＆\n"
             "ドロップしてください。\n"
             "1 つ目の履歴と同じフォルダーに実現損益.csv を書き出し、実行結果を表示します。\n"
             "--tax などのオプションを付けるには、tradepl.exe のショートカットを作り、\n"
             "「リンク先」の末尾に --tax --report 年分別.csv のように加えて、\n"
             "そのショートカットの上にドロップしてください。\n"
             "\n"
             "コマンドラインでの使い方:\n";
  }
  return {};
}

// The system's reasons a Japanese user meets most; others are shown in the system's words.
std::string_view japaneseSystemReason(int error) {
  switch (error) {
    case ENOENT:
      return "ファイルまたはフォルダーがありません";
    case EACCES:
    case EPERM:
      return "アクセスが許可されていません";
    case ENOSPC:
      return "ディスクの空き容量が足りません";
    case EROFS:
      return "読み取り専用のファイルシステムです";
    case ENAMETOOLONG:
      return "ファイル名が長すぎます";
    case EISDIR:
      return "フォルダーです";
    case ENOTDIR:
      return "途中にフォルダーでない名前があります";
    case EIO:
      return "入出力エラーが発生しました";
    case EPIPE:
      return "出力先のパイプが閉じられています";
    case ELOOP:
      return "シンボリックリンクの参照が多すぎます";
    default:
      return {};
  }
}

}  // namespace tradepl
