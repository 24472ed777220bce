// The lines and records of the benchmark's inputs, made in code page 932
// from a fixed seed, so that the generated files and the micro benchmarks
// work on the same kind of data.
//
// Log lines (CR LF): Japanese double-byte text; about 3% hold the code
// "E001" and about 3% the word "失敗"; one in 2,000 holds "ウ001", whose
// bytes end in "E001" read from the second byte of "ウ" (0x83 0x45), where a
// byte-wise search would wrongly find the code.
// CSV lines (CR LF): nine quoted columns; one in ten holds a comma inside
// quotes in column 3, every one doubled quotes in column 9; column 7 is
// "NG" in one line in ten.
// Fixed-length records: 200 bytes, no line breaks.
#pragma once

#include <string>
#include <vector>

namespace lintavo::bench {

class BenchLines {
public:
    BenchLines();
    // Each returns the next line (with its CR LF) or record in `out`.
    void log_line(std::string& out);
    void csv_line(std::string& out);
    void fixed_record(std::string& out);

    // Texts of the jobs, in code page 932.
    static std::string sjis(const char* utf8);

private:
    unsigned below(unsigned n);

    unsigned long long seed_ = 20261207;
    unsigned log_ = 0, csv_ = 0, fixed_ = 0;
    std::vector<std::string> names_, depts_, places_, notes_;
    std::string ok_message_, e001_, failed_, product_, yen_, comma_place_;
};

}  // namespace lintavo::bench
