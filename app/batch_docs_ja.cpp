// The Japanese manual pages of lintavo and lintavo-batch (man/ja), made
// from the same option table as the English ones and --help.
#include "app/batch_docs.h"
#include "app/batch_options.h"

namespace lintavo::batch {
namespace {

using detail::roff;

// Source lines of running Japanese text joined: roff would put a blank
// where one line of Japanese ends and the next begins.
std::string joined(const std::string& page) {
    std::string out;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const bool join = page[i] == '\n' && i > 0 && i + 1 < page.size() && static_cast<unsigned char>(page[i - 1]) >= 0x80 &&
                          static_cast<unsigned char>(page[i + 1]) >= 0x80;
        if (!join) out += page[i];
    }
    return out;
}

std::string page_start(const std::string& name, const std::string& version, const std::string& date,
                       const std::string& summary, const std::string& synopsis) {
    return detail::page_start(name, version, date, summary, synopsis, Language::Japanese);
}

std::string page_end(const std::string& other_page) {
    return ".SH ファイル\n"
           ".TP\n.I /usr/share/doc/lintavo/examples\n"
           "見本のデータファイルとパターンファイル。\n"
           ".PP\nLintavo は自分の設定を持たない。読み書きするのは指定されたファイルだけ。\n"
           ".SH 関連項目\n.BR " + roff(other_page) + " (1)\n";
}

const char* const kPatternFormat =
    ".SH パターンファイル\n"
    "パターンファイルは1回の抽出の設定を持つ。\n"
    "コードページ932 (Shift\\-JIS) のテキストファイルで、ウィンドウが保存するとおり\n"
    "1行に1つ「キー=値」を書き、各行は CR LF で終わる。\n"
    ".TP\n.B READFILE=\\fIパス\\fP\n読込むファイル。\n"
    ".TP\n.B READFILETYPE=\\fIn\\fP\n0 テキストの行、1 CSV、2 固定長レコード、3 TSV (タブ区切り。カンマは普通の文字)。\n"
    ".TP\n.B RECORDLENGTH=\\fIn\\fP\n固定長レコードのレコード長 (バイト)。\n"
    ".TP\n.BR ITEM000= \" から \" ITEM006=\n"
    "7つの桁位置の条件: 開始位置と長さ (それぞれ右詰め6文字)、比較条件と変換 (それぞれ2桁)、\n"
    "比較内容。CSV を読込むとき、開始位置はその行が取る列の番号 (先頭が1、順序は自由) で、\n"
    "長さは使わない。\n"
    "比較条件: 00 なし、01 =、02 <=、03 =>、04 <、05 >、06 <>、07 IS NULL、08 <> NULL。\n"
    "変換: 00 なし、01 左つめ (両端の空白を除く)、02 LTRIM、03 RTRIM、04 先頭ゼロ空白、\n"
    "05 数値: 両端の半角と全角の空白を除き、01 から 06 の比較で項目と比較内容を正確な10進の数\n"
    "として比べる。数は、符号、数字 (半角か全角)、数字の間の桁区切り、小数点と数字から成る。\n"
    "12,000 => 10000 は成り立ち、8500 => 10000 は成り立たない。数でない項目はどの比較も\n"
    "通らず、数でない比較内容は実行前に知らせる。\n"
    ".TP\n.BR KEYWORD000= \" から \" KEYWORD003=\n"
    "4つのキーワードの条件: 0 (を含む) か 1 (を含まない)、カンマと空白7つ、キーワード。\n"
    ".TP\n.B WRITEFILE=\\fIパス\\fP\n書出すファイル。\n"
    ".TP\n.B WRITEFILETYPE=\\fIn\\fP\n"
    "書出し方法: 0 そのまま、1 桁位置を指定したものだけ、2 下のパターンに当てはめて、\n"
    "3 CSV (カンマ)、4 CSV (TAB)。CSV では項目の中の \\(dq を2つ重ねて書く。\n"
    ".TP\n.B READFILECODE=\\fIn\\fP\n"
    "読込みファイルの文字コード: 0 Shift\\-JIS (コードページ932)、1 UTF\\-8。0 でないときだけ書く。\n"
    ".TP\n.B WRITEFILECODE=\\fIn\\fP\n"
    "書出しファイルの文字コード: 0 読込みと同じ、1 Shift\\-JIS、2 UTF\\-8、3 UTF\\-8 (BOM付き)。\n"
    "0 でないときだけ書く。書出しの文字コードで表せない文字は Shift\\-JIS では\n"
    "\\(lq\\[u3013]\\(rq、UTF\\-8 では U+FFFD に置き換え、警告で数を知らせる。\n"
    ".TP\n.B HEADERLINE=1\n"
    "テキストと CSV の1行目は見出し: 書出し方法の形で最初に書出し (パターンに当てはめる\n"
    "ときは書かない)、数えるが条件は調べない。オンのときだけ書く。\n"
    ".TP\n.B [WRITEPATTERN]\n目印の行。そのあとの行が書出しのパターン (最後の行も CR LF で終わる)。\n"
    ".PP\n"
    "パターンファイル自体は、読み書きするファイルの文字コードによらずコードページ932。\n"
    "テキストと CSV のレコードは CR LF か CR で終わる。先頭 64 KiB に LF があって CR が\n"
    "ないファイルでは LF で終わる。書出す行は読込んだファイルと同じ改行で終わる。\n"
    "キーは大文字と小文字を区別しない。キーのない行は無視する。\n"
    "パターンの中の相対パスはカレントフォルダーから数える。\n"
    "パターンの中の \\(lq\\-\\(rq は \\(lq\\-\\(rq という名前のファイルで、標準入出力を表すのは\n"
    ".B \"\\-i \\-\"\nと\n.B \"\\-o \\-\"\nだけ。\n";

const char* const kSamplesNote =
    "見本は\n.I /usr/share/doc/lintavo/examples\nに入っている。\n"
    "見本のパターンはファイルをそのフォルダーからの相対パス (\n.I samples/customers.csv\n"
    "のように) で指定するので、例はそのフォルダーで実行し、書出しは別の場所にする\n"
    "(そのフォルダーには書けない)。ソースツリーではプロジェクトのフォルダーで実行する。\n"
    ".PP\n.RS\ncd /usr/share/doc/lintavo/examples\n.RE\n.PP\n";

}  // namespace

std::string batch_manual_page_ja(const std::string& version, const std::string& date) {
    std::string m = page_start("lintavo-batch", version, date, "保存した Lintavo の抽出パターンをウィンドウなしで実行する",
                               "[\\fIオプション\\fP] \\fIパターン\\fP");
    m += ".SH 説明\n"
         ".B lintavo\\-batch\n"
         "はウィンドウが保存したパターンファイル\n.I パターン\n"
         "を読込み、その抽出を読込みファイルに対して実行し、条件を満たすレコードをパターンの\n"
         "書出し方法で書出しファイルに書く。変えずに通るバイトは1バイトも変わらない。\n"
         "メッセージと件数の要約は標準エラー出力に出すので、抽出結果は標準出力に書ける。\n";
    m += detail::options_section(Language::Japanese);
    m += kPatternFormat;
    m += ".SH 例\n";
    m += kSamplesNote;
    m += "見本のログで ERROR を含む行の日付とレベルを、CSV として標準出力に:\n"
         ".PP\n.RS\nlintavo\\-batch \\-o \\- samples/text\\-errors.ptn\n.RE\n"
         ".PP\n"
         "見本の CSV ファイルで東京都に住む顧客を、パターンに当てはめて好きなファイルに:\n"
         ".PP\n.RS\nlintavo\\-batch \\-o /tmp/tokyo.txt samples/csv\\-tokyo.ptn\n.RE\n";
    m += page_end("lintavo");
    return joined(m);
}

std::string window_manual_page_ja(const std::string& version, const std::string& date) {
    std::string m = page_start("lintavo", version, date, "日本語のテキストファイルからレコードを抽出する", "[\\fIパターン\\fP]");
    m += ".SH 説明\n"
         ".B lintavo\n"
         "はウィンドウを開く。そこで読込むファイル (テキストの行、CSV、固定長レコード。\n"
         "コードページ932 か UTF\\-8)、7つまでの桁位置の条件と4つまでのキーワードの条件、\n"
         "書出すファイルと5つの書出し方法の1つを指定して、抽出を実行する。\n"
         "設定はパターンファイルに保存し、また読込める (ファイルメニュー、Ctrl+O と Ctrl+S)。\n"
         "Ctrl+Enter で実行する。\n"
         ".PP\n"
         "表示メニューのプレビュー (F5) は、読込むファイルの先頭 1000 件 (か 16 MiB) について、\n"
         "実行が各レコードをどうするかを示す: 書出すか書出さないか、書出さない理由の条件、\n"
         "変換後の項目と書出す行、テキストと固定長レコードではバイト位置の目盛り。\n"
         "何も書出さず、設定を変えると少しあとで自分を更新する。\n"
         ".PP\n"
         "コマンドラインの語を空白1つでつないだものが、起動時に読込むパターンファイルの名前になる。\n"
         "オプションはない。存在するファイルの名前でなければ、メッセージのあとで終了する。\n";
    m += ".SH 終了ステータス\n"
         ".TP\n.B 0\nウィンドウを閉じた。\n"
         ".TP\n.B 1\nコマンドラインのパターンファイルが見つからなかった。\n";
    m += kPatternFormat;
    m += ".SH 例\n";
    m += kSamplesNote;
    m += "見本の CSV パターンを読込んでウィンドウを開く:\n"
         ".PP\n.RS\nlintavo samples/csv\\-tokyo.ptn\n.RE\n";
    m += page_end("lintavo-batch");
    return joined(m);
}

}  // namespace lintavo::batch
