// Writes the benchmark's input files in code page 932 (TEXT, CSV and
// fixed-length variants of about the same size, with Japanese double-byte
// text and quoted CSV fields) and the pattern files that run on them.
//   gen_bench_data FOLDER MEGABYTES
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Code page 932 texts (escaped so that the source stays plain ASCII).
const char* const kNames[] = {"\x8E\x52\x93\x63\x81\x40\x91\xBE\x98\x59",    // 山田　太郎
                              "\x97\xE9\x96\xD8\x81\x40\x89\xD4\x8E\x71",    // 鈴木　花子
                              "\x8D\xB2\x93\xA1\x81\x40\x88\xEA\x98\x59",    // 佐藤　一郎
                              "\x83\x5E\x83\x69\x83\x4A\x81\x40\x83\x7C\x83\x5C"};  // タナカ　ポソ (second bytes 0x5C, 0x7C)
const char* const kCities[] = {"\x93\x8C\x8B\x9E\x93\x73",   // 東京都
                               "\x91\xE5\x8D\xE3\x95\x7B",   // 大阪府
                               "\x96\x6B\x8A\x43\x93\xB9",   // 北海道
                               "\x95\x9F\x89\xAA\x8C\xA7"};  // 福岡県
const char* const kStates[] = {"OK", "OK", "OK", "\x83\x47\x83\x89\x81\x5B"};  // エラー

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_bench_data FOLDER MEGABYTES\n");
        return 2;
    }
    const std::string dir = argv[1];
    const double bytes = std::atof(argv[2]) * 1e6;
    std::ofstream text(dir + "/bench.txt", std::ios::binary), csv(dir + "/bench.csv", std::ios::binary),
        fixed(dir + "/bench.dat", std::ios::binary);
    std::string line;
    unsigned seed = 12345;
    for (long long i = 0; static_cast<double>(text.tellp()) < bytes; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        const std::string id = std::to_string(10000000 + i);
        const char* name = kNames[r % 4];
        const char* city = kCities[(r >> 2) % 4];
        const char* state = kStates[(r >> 4) % 4];
        const std::string amount = std::to_string(r % 1000000);
        line = id + " " + name + " " + city + "\x90\xE7\x91\xE3\x93\x63\x8B\xE6 " + amount + " " + state +
               " \x94\xF5\x8D\x6C\x82\xC8\x82\xB5";  // 千代田区 ... 備考なし
        text << line << "\r\n";
        csv << '"' << id << "\",\"" << name << "\",\"" << city << "\"," << amount << ",\"" << state
            << "\",\"\x94\xF5\x8D\x6C, \"\"\x82\xC8\x82\xB5\"\"\"\r\n";
        fixed << pad(id, 8) << pad(name, 20) << pad(city, 10) << pad(amount, 10) << pad(state, 8) << pad("", 24);
    }
    const auto pattern = [&dir](const std::string& name, const std::string& body) {
        std::ofstream(dir + "/" + name, std::ios::binary) << body << "[WRITEPATTERN]\r\n";
    };
    pattern("as-read.ptn", "READFILE=bench.txt\r\nWRITEFILE=out.txt\r\n");
    pattern("keyword.ptn", "READFILE=bench.txt\r\nKEYWORD000=0,       \x83\x47\x83\x89\x81\x5B\r\nWRITEFILE=out.txt\r\n");
    pattern("csv-column.ptn",
            "READFILE=bench.csv\r\nREADFILETYPE=1\r\nITEM000=     1,      ,00,00,\r\nITEM001=     2,      ,00,00,\r\n"
            "ITEM002=     3,      ,01,00,\x93\x8C\x8B\x9E\x93\x73\r\nWRITEFILE=out.txt\r\nWRITEFILETYPE=3\r\n");
    pattern("fixed-cut.ptn",
            "READFILE=bench.dat\r\nREADFILETYPE=2\r\nRECORDLENGTH=80\r\nITEM000=     1,     8,00,00,\r\n"
            "ITEM001=     9,    20,00,01,\r\nITEM002=    39,    10,00,00,\r\nWRITEFILE=out.txt\r\nWRITEFILETYPE=1\r\n");
    return 0;
}
