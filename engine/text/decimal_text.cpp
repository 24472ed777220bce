#include "engine/text/decimal_text.h"

namespace lintavo {
namespace {

constexpr std::uint32_t kFullWidthBlank = 0x3000;
constexpr std::uint32_t kFullWidthZero = 0xFF10;

bool is_blank(std::uint32_t code) { return code == ' ' || code == kFullWidthBlank; }

// The digit a code value stands for, or -1.
int digit_of(std::uint32_t code) {
    if (code >= '0' && code <= '9') return static_cast<int>(code - '0');
    if (code >= kFullWidthZero && code <= kFullWidthZero + 9) return static_cast<int>(code - kFullWidthZero);
    return -1;
}
bool is_point(std::uint32_t code) { return code == '.' || code == 0xFF0E; }
bool is_separator(std::uint32_t code) { return code == ',' || code == 0xFF0C; }
bool is_plus(std::uint32_t code) { return code == '+' || code == 0xFF0B; }
bool is_minus(std::uint32_t code) { return code == '-' || code == 0xFF0D || code == 0x2212; }

// Units of a text by code value; ASCII bytes are units of their own.
class Units {
public:
    Units(std::string_view text, Encoding encoding)
        : p_(text.data()), end_(p_ + text.size()), encoding_(encoding), ascii_bytes_(!is_utf16(encoding)) {}
    bool done() const { return p_ >= end_; }
    const char* at() const { return p_; }
    std::uint32_t peek() {
        if (ascii_bytes_ && static_cast<unsigned char>(*p_) < 0x80) {
            size_ = 1;
            return static_cast<unsigned char>(*p_);
        }
        const TextUnit u = unit_at(encoding_, p_, end_);
        size_ = u.size;
        return u.code;
    }
    void next() { p_ += size_; }

private:
    const char* p_;
    const char* end_;
    Encoding encoding_;
    bool ascii_bytes_;  // every byte below 0x80 is a unit of its own
    std::size_t size_ = 1;
};

}  // namespace

std::string_view trim_blanks(std::string_view text, Encoding encoding) {
    const char* first = nullptr;  // of the first unit that is not blank
    const char* last = nullptr;   // one past the last unit that is not blank
    for (Units u(text, encoding); !u.done();) {
        const bool blank = is_blank(u.peek());
        if (!blank && first == nullptr) first = u.at();
        u.next();
        if (!blank) last = u.at();
    }
    if (first == nullptr) return text.substr(text.size());
    return std::string_view(first, static_cast<std::size_t>(last - first));
}

bool read_decimal(std::string_view text, Encoding encoding, std::string& number) {
    number.clear();
    Units u(text, encoding);
    if (u.done()) return false;
    bool negative = false;
    std::uint32_t c = u.peek();
    if (is_plus(c) || is_minus(c)) {
        negative = is_minus(c);
        u.next();
        if (u.done()) return false;
        c = u.peek();
    }
    number.push_back('+');
    // The whole part: digits, with separators only between two digits.
    bool digit_before = false;
    bool separator_pending = false;
    for (; !u.done(); u.next()) {
        c = u.peek();
        const int d = digit_of(c);
        if (d >= 0) {
            if (d != 0 || number.size() > 1) number.push_back(static_cast<char>('0' + d));
            digit_before = true;
            separator_pending = false;
            continue;
        }
        if (is_separator(c) && digit_before && !separator_pending) {
            separator_pending = true;
            continue;
        }
        break;
    }
    if (!digit_before || separator_pending) return false;
    number.push_back('.');
    if (!u.done()) {
        if (!is_point(u.peek())) return false;
        u.next();
        const std::size_t fraction = number.size();
        for (; !u.done(); u.next()) {
            const int d = digit_of(u.peek());
            if (d < 0) return false;
            number.push_back(static_cast<char>('0' + d));
        }
        if (number.size() == fraction) return false;
        while (number.back() == '0') number.pop_back();
    }
    if (negative && number != "+.") number[0] = '-';
    return true;
}

int compare_decimal(std::string_view a, std::string_view b) {
    if (a[0] != b[0]) return a[0] == '-' ? -1 : 1;
    const int sign = a[0] == '-' ? -1 : 1;
    // Magnitudes: the longer whole part is larger, then digit by digit.
    const std::size_t wa = a.find('.');
    const std::size_t wb = b.find('.');
    int order = 0;
    if (wa != wb) order = wa < wb ? -1 : 1;
    else order = a.compare(b);
    return order < 0 ? -sign : (order > 0 ? sign : 0);
}

}  // namespace lintavo
