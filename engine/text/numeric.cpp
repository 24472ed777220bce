#include "engine/text/numeric.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace lintavo {
namespace {

// Reads the characters of a text with blanks, tabs and line feeds left out.
class Reader {
public:
    explicit Reader(std::string_view t) : t_(t) { skip(); }
    bool done() const { return i_ >= t_.size(); }
    char peek() const { return done() ? '\0' : t_[i_]; }
    char next() {
        const char c = peek();
        ++i_;
        skip();
        return c;
    }

private:
    void skip() {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\n')) ++i_;
    }
    std::string_view t_;
    std::size_t i_ = 0;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

double radix_value(Reader& r, int radix) {
    double v = 0;
    for (;;) {
        const char c = r.peek();
        int d = -1;
        if (is_digit(c)) d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || d >= radix) return v;
        v = v * radix + d;
        r.next();
    }
}

}  // namespace

double numeric_value(std::string_view text) {
    Reader r(text);
    if (r.peek() == '&') {
        r.next();
        const char kind = r.next();
        if (kind == 'H' || kind == 'h') return radix_value(r, 16);
        if (kind == 'O' || kind == 'o') return radix_value(r, 8);
        return 0;
    }
    // Gather the number in the form from_chars reads, then convert it.
    std::string s;
    if (r.peek() == '+' || r.peek() == '-') s.push_back(r.next());
    bool digits = false;
    while (is_digit(r.peek())) {
        s.push_back(r.next());
        digits = true;
    }
    if (r.peek() == '.') {
        s.push_back(r.next());
        while (is_digit(r.peek())) {
            s.push_back(r.next());
            digits = true;
        }
    }
    if (!digits) return 0;
    const char e = r.peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        r.next();
        std::string exp = "e";
        if (r.peek() == '+' || r.peek() == '-') exp.push_back(r.next());
        bool exp_digits = false;
        while (is_digit(r.peek())) {
            exp.push_back(r.next());
            exp_digits = true;
        }
        if (exp_digits) s += exp;
    }
    const char* first = s.data();
    if (*first == '+') ++first;
    double v = 0;
    const auto res = std::from_chars(first, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the nearest value it holds.
        const bool negative = s[0] == '-';
        const bool tiny = s.find("e-") != std::string::npos;
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    return v;
}

std::int64_t round_half_even(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kMax = 9.2233720368547748e18;  // 2^63
    if (value >= kMax) return std::numeric_limits<std::int64_t>::max();
    if (value < -kMax) return std::numeric_limits<std::int64_t>::min();
    const double r = std::nearbyint(value);  // the default rounding mode: halves to even
    return static_cast<std::int64_t>(r);
}

std::string plain_decimal(double value) {
    if (!std::isfinite(value)) value = value < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);  // d.dddddddddddddde±X: 15 significant digits
    std::string_view sv(buf);
    const bool negative = sv[0] == '-';
    if (negative) sv.remove_prefix(1);
    const std::size_t epos = sv.find('e');
    std::string digits;
    digits.push_back(sv[0]);
    digits.append(sv.substr(2, epos - 2));
    int exp = std::atoi(std::string(sv.substr(epos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    // The value is 0.digits * 10^(exp + 1).
    const int point = exp + 1;
    std::string out;
    if (negative) out.push_back('-');
    if (point <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-point), '0');
        out += digits;
    } else if (static_cast<std::size_t>(point) >= digits.size()) {
        out += digits;
        out.append(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(point));
        out.push_back('.');
        out.append(digits, static_cast<std::size_t>(point), std::string::npos);
    }
    return out;
}

}  // namespace lintavo
