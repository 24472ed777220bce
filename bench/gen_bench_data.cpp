// Writes the benchmark's input files in code page 932 and the pattern files
// of its five jobs.
//   gen_bench_data FOLDER MEGABYTES
//
// bench.txt  log lines with Japanese double-byte text, CR LF: J0, J1, J4
// bench.csv  nine quoted columns, some with commas and doubled quotes: J2
// bench.dat  fixed-length records of 200 bytes, no line breaks: J3
// bench_utf8.csv  bench.csv in UTF-8 after a byte order mark: U1, U3
// (what the lines hold: bench_lines.h)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_lines.h"
#include "engine/text/cp932.h"
#include "engine/text/utf8.h"

namespace {

using lintavo::bench::BenchLines;

class Writer {
public:
    Writer(const std::string& path) : f_(std::fopen(path.c_str(), "wb")) {
        if (f_ == nullptr) {
            std::perror(path.c_str());
            std::exit(2);
        }
    }
    ~Writer() { std::fclose(f_); }
    void put(const std::string& s) {
        std::fwrite(s.data(), 1, s.size(), f_);
        written_ += static_cast<double>(s.size());
    }
    double written() const { return written_; }

private:
    std::FILE* f_;
    double written_ = 0;
};

void pattern(const std::string& dir, const std::string& name, const std::string& body,
             const std::string& hinagata = "") {
    Writer w(dir + "/" + name);
    w.put(body + "[WRITEPATTERN]\r\n" + hinagata);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_bench_data FOLDER MEGABYTES\n");
        return 2;
    }
    const std::string dir = argv[1];
    const double bytes = std::atof(argv[2]) * 1e6;

    BenchLines lines;
    std::string line;
    {
        Writer text(dir + "/bench.txt");
        while (text.written() < bytes) {
            lines.log_line(line);
            text.put(line);
        }
    }
    {
        Writer csv(dir + "/bench.csv");
        Writer csv_utf8(dir + "/bench_utf8.csv");
        csv_utf8.put(std::string(lintavo::utf8::kByteOrderMark));
        while (csv.written() < bytes) {
            lines.csv_line(line);
            csv.put(line);
            csv_utf8.put(lintavo::cp932::to_utf8(line));
        }
    }
    {
        Writer fixed(dir + "/bench.dat");
        while (fixed.written() < bytes) {
            lines.fixed_record(line);
            fixed.put(line);
        }
    }

    // J0: every record unchanged.
    pattern(dir, "j0.ptn", "READFILE=bench.txt\r\nWRITEFILE=out.lintavo\r\n");
    // J1: TEXT lines containing "E001".
    pattern(dir, "j1.ptn", "READFILE=bench.txt\r\nKEYWORD000=0,       E001\r\nWRITEFILE=out.lintavo\r\n");
    // J2: CSV, column 7 = "NG", columns 1 to 7 written as quoted CSV.
    pattern(dir, "j2.ptn",
            "READFILE=bench.csv\r\nREADFILETYPE=1\r\n"
            "ITEM000=     1,      ,00,00,\r\nITEM001=     2,      ,00,00,\r\nITEM002=     3,      ,00,00,\r\n"
            "ITEM003=     4,      ,00,00,\r\nITEM004=     5,      ,00,00,\r\nITEM005=     6,      ,00,00,\r\n"
            "ITEM006=     7,      ,01,00,NG\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=3\r\n");
    // U1: J2 on the UTF-8 copy, written in UTF-8 (no byte order mark).
    // J1 and J2 on copies whose lines end with LF alone (made by run-bench).
    pattern(dir, "l1.ptn", "READFILE=bench_lf.txt\r\nKEYWORD000=0,       E001\r\nWRITEFILE=out.lintavo\r\n");
    pattern(dir, "l2.ptn",
            "READFILE=bench_lf.csv\r\nREADFILETYPE=1\r\n"
            "ITEM000=     1,      ,00,00,\r\nITEM001=     2,      ,00,00,\r\nITEM002=     3,      ,00,00,\r\n"
            "ITEM003=     4,      ,00,00,\r\nITEM004=     5,      ,00,00,\r\nITEM005=     6,      ,00,00,\r\n"
            "ITEM006=     7,      ,01,00,NG\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=3\r\n");

    pattern(dir, "u1.ptn",
            "READFILE=bench_utf8.csv\r\nREADFILETYPE=1\r\n"
            "ITEM000=     1,      ,00,00,\r\nITEM001=     2,      ,00,00,\r\nITEM002=     3,      ,00,00,\r\n"
            "ITEM003=     4,      ,00,00,\r\nITEM004=     5,      ,00,00,\r\nITEM005=     6,      ,00,00,\r\n"
            "ITEM006=     7,      ,01,00,NG\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=3\r\n"
            "READFILECODE=1\r\nWRITEFILECODE=2\r\n");
    // U2: the Shift-JIS CSV file, every record, written in UTF-8.
    pattern(dir, "u2.ptn",
            "READFILE=bench.csv\r\nREADFILETYPE=1\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=0\r\nWRITEFILECODE=2\r\n");
    // U3: the UTF-8 CSV file, every record, written in Shift-JIS.
    pattern(dir, "u3.ptn",
            "READFILE=bench_utf8.csv\r\nREADFILETYPE=1\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=0\r\n"
            "READFILECODE=1\r\nWRITEFILECODE=1\r\n");
    // On the EUC-JP (E) and UTF-16LE (W) copies of the CSV file (made by
    // run-bench with iconv), written in UTF-8: E1 and W1 are J2, E2 and W2
    // keep the lines holding "再送依頼". C1: the Shift-JIS CSV file written
    // in EUC-JP.
    const std::string columns =
        "READFILETYPE=1\r\n"
        "ITEM000=     1,      ,00,00,\r\nITEM001=     2,      ,00,00,\r\nITEM002=     3,      ,00,00,\r\n"
        "ITEM003=     4,      ,00,00,\r\nITEM004=     5,      ,00,00,\r\nITEM005=     6,      ,00,00,\r\n"
        "ITEM006=     7,      ,01,00,NG\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=3\r\nWRITEFILECODE=2\r\n";
    const std::string keyword = "KEYWORD000=0,       " + BenchLines::sjis("再送依頼") +
                                "\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=0\r\nWRITEFILECODE=2\r\n";
    pattern(dir, "e1.ptn", "READFILE=bench_euc.csv\r\nREADFILECODE=2\r\n" + columns);
    pattern(dir, "e2.ptn", "READFILE=bench_euc.csv\r\nREADFILECODE=2\r\n" + keyword);
    pattern(dir, "w1.ptn", "READFILE=bench_utf16.csv\r\nREADFILECODE=3\r\n" + columns);
    pattern(dir, "w2.ptn", "READFILE=bench_utf16.csv\r\nREADFILECODE=3\r\n" + keyword);
    pattern(dir, "c1.ptn", "READFILE=bench.csv\r\nWRITEFILE=out.lintavo\r\nWRITEFILETYPE=0\r\nWRITEFILECODE=4\r\n");
    // J3: fixed length 200, bytes 1-7 >= "5000000" as text, bytes 1-7 and 28-57 joined.
    pattern(dir, "j3.ptn",
            "READFILE=bench.dat\r\nREADFILETYPE=2\r\nRECORDLENGTH=200\r\n"
            "ITEM000=     1,     7,03,00,5000000\r\nITEM001=    28,    30,00,00,\r\n"
            "WRITEFILE=out.lintavo\r\nWRITEFILETYPE=1\r\n");
    // J4: lines containing "失敗", through the template "No.@0:@1 @2@3".
    pattern(dir, "j4.ptn",
            "READFILE=bench.txt\r\nKEYWORD000=0,       " + BenchLines::sjis("失敗") +
                "\r\nITEM000=     1,    10,00,00,\r\nITEM001=    12,    12,00,00,\r\nITEM002=    25,     5,00,00,\r\n"
                "WRITEFILE=out.lintavo\r\nWRITEFILETYPE=2\r\n",
            "No.@0:@1 @2@3\r\n");
    return 0;
}
