#include "engine/text/numeric.h"

#include <gtest/gtest.h>

namespace lintavo {
namespace {

struct ValueCase {
    std::string text;
    double value;
};

TEST(Numeric, ValueOfText) {
    const ValueCase cases[] = {
        {"", 0}, {"abc", 0}, {"12abc", 12}, {"3,", 3}, {" 1 2 ", 12}, {"\t\n5", 5}, {"-3", -3}, {"+4", 4},
        {"1.5", 1.5}, {".5", 0.5}, {"5.", 5}, {"-.25", -0.25}, {"1e3", 1000}, {"1E+2", 100}, {"25e-1", 2.5},
        {"1d2", 100}, {"1D2", 100}, {"1e", 1}, {"1e+", 1}, {"1 e 2", 100}, {"&H1F", 31}, {"&h10", 16},
        {"&O17", 15}, {"&o8", 0}, {"&HFFFFFFFF", 4294967295.0}, {"-&H10", 0}, {"&X1", 0}, {"&", 0},
        {"     5", 5}, {"08", 8}, {"  ", 0}, {"\xEF\xBC\x91", 0}, {"1-2", 1}, {"--1", 0}, {"1..2", 1},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(numeric_value(c.text), c.value) << c.text;
}

TEST(Numeric, HugeValuesStayFinite) {
    EXPECT_GT(numeric_value("1e999"), 1e300);
    EXPECT_EQ(numeric_value("1e-999"), 0.0);
}

TEST(Numeric, RoundsHalvesToEven) {
    const std::pair<double, std::int64_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.51, 3}, {-0.6, -1}, {1e30, INT64_MAX},
        {-1e30, INT64_MIN},
    };
    for (const auto& [v, r] : cases) EXPECT_EQ(round_half_even(v), r) << v;
}

TEST(Numeric, WritesPlainDecimals) {
    const std::pair<double, std::string> cases[] = {
        {11, "11"}, {1.5, "1.5"}, {-3, "-3"}, {0, "0"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1e20, "100000000000000000000"},
        {0.000125, "0.000125"}, {123456789012345678.0, "123456789012346000"}, {7, "7"}, {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& [v, s] : cases) EXPECT_EQ(plain_decimal(v), s) << v;
}

}  // namespace
}  // namespace lintavo
