#include "bench/bench_lines.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "engine/text/cp932.h"

namespace lintavo::bench {
namespace {

std::vector<std::string> sjis_all(std::initializer_list<const char*> texts) {
    std::vector<std::string> out;
    for (const char* t : texts) out.push_back(BenchLines::sjis(t));
    return out;
}

std::string digits(unsigned value, int width) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

}  // namespace

std::string BenchLines::sjis(const char* utf8) {
    std::string out;
    if (!cp932::from_utf8(utf8, out)) {
        std::fprintf(stderr, "not in code page 932: %s\n", utf8);
        std::exit(2);
    }
    return out;
}

BenchLines::BenchLines()
    : names_(sjis_all({"山田　太郎", "鈴木　花子", "佐藤　一郎", "タナカ　ポソ", "高橋　美由紀", "渡辺　表"})),
      depts_(sjis_all({"[受付センター]", "[物流部]", "[経理課]", "[システム運用]", "[営業二課]"})),
      places_(sjis_all({"東京都千代田区", "大阪府大阪市北区", "北海道札幌市", "福岡県福岡市博多区"})),
      notes_(sjis_all({"備考なし", "至急対応", "ソフト更新済み", "再送依頼", "表示確認"})),
      ok_message_(sjis(" 様の伝票を処理しました。")),
      e001_(sjis(" E001 在庫引当に失敗しました。")),
      failed_(sjis(" 様への送信に失敗しました。再試行します。")),
      product_(sjis(" 商品コード ウ001 の在庫を確認しました。")),
      yen_(sjis("円")),
      comma_place_(sjis("東京都港区芝公園4-2-8, 第二ビル")) {}

unsigned BenchLines::below(unsigned n) {
    seed_ = seed_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>(seed_ >> 33) % n;
}

void BenchLines::log_line(std::string& out) {
    const unsigned i = log_++;
    const unsigned kind = below(2000);
    const char* level = kind < 60 ? "ERROR" : (kind < 120 ? "WARN " : "INFO ");
    out = "2026-12-" + digits(1 + i / 1000000 % 28, 2) + " " + digits(i / 36000 % 24, 2) + ":" +
          digits(i / 600 % 60, 2) + ":" + digits(i / 10 % 60, 2) + "." + digits(i % 1000, 3) + " " + level + " " +
          depts_[below(5)] + " " + names_[below(6)];
    if (kind < 60) out += e001_;
    else if (kind < 120) out += failed_;
    else if (kind == 1999) out += product_;
    else out += ok_message_;
    out += " " + digits(below(10000000), 7) + " " + notes_[below(5)] + "\r\n";
}

void BenchLines::csv_line(std::string& out) {
    static const char* const states[] = {"OK", "OK", "OK", "HOLD", "OK", "OK", "NG", "OK", "OK", "OK"};
    const unsigned i = csv_++;
    const std::string place = below(10) == 0 ? comma_place_ : places_[below(4)];
    out = "\"" + digits(10000000 + i, 8) + "\",\"" + names_[below(6)] + "\",\"" + place + "\",\"03-" +
          digits(below(10000), 4) + "-" + digits(below(10000), 4) + "\",\"2026-12-" + digits(1 + below(28), 2) +
          "\",\"" + std::to_string(below(1000000)) + yen_ + "\",\"" + states[below(10)] + "\",\"" +
          notes_[below(5)] + "\",\"" + notes_[below(5)] + ", \"\"" + digits(below(100), 2) + "\"\"\"\r\n";
}

void BenchLines::fixed_record(std::string& out) {
    const unsigned i = fixed_++;
    out = digits(below(10000000), 7) + pad(names_[below(6)], 20) + pad(places_[below(4)], 30) +
          pad(std::to_string(below(1000000)), 10) + pad(notes_[below(5)], 20) + pad(digits(i, 10), 113);
}

}  // namespace lintavo::bench
