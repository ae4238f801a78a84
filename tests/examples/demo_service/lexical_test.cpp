#include "examples/demo_service/lexical.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace nv::demo {
namespace {

TEST(DemoLexical, IntReadsTheWholeRangeAndNothingElse) {
    EXPECT_EQ(parseInt(" +42\n"), 42);
    EXPECT_EQ(parseInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(parseInt("2147483648").has_value());
    EXPECT_FALSE(parseInt("1.0").has_value());
    EXPECT_FALSE(parseInt("+-1").has_value());
    EXPECT_FALSE(parseInt("").has_value());
}

TEST(DemoLexical, DoubleReadsSchemaInfinityAndNaNButNotCSpellings) {
    EXPECT_EQ(parseDouble("1e-3"), 0.001);
    EXPECT_EQ(parseDouble(".5"), 0.5);
    EXPECT_TRUE(std::isinf(*parseDouble("-INF")));
    EXPECT_TRUE(std::isnan(*parseDouble("NaN")));
    EXPECT_FALSE(parseDouble("inf").has_value());
    EXPECT_FALSE(parseDouble("nan").has_value());
    EXPECT_FALSE(parseDouble("1,5").has_value());
    EXPECT_FALSE(parseDouble("1e999").has_value());
}

TEST(DemoLexical, BooleanAndDecimal) {
    EXPECT_EQ(parseBoolean("1"), true);
    EXPECT_EQ(parseBoolean(" false "), false);
    EXPECT_FALSE(parseBoolean("True").has_value());
    EXPECT_TRUE(isDecimal("-0.50"));
    EXPECT_TRUE(isDecimal("7."));
    EXPECT_FALSE(isDecimal("."));
    EXPECT_FALSE(isDecimal("1e2"));
    EXPECT_FALSE(isDecimal("1.2.3"));
}

TEST(DemoLexical, DateTimeChecksEveryField) {
    EXPECT_TRUE(isDateTime("2024-02-29T23:59:59Z"));
    EXPECT_TRUE(isDateTime("2024-05-01T09:30:00.125+14:00"));
    EXPECT_TRUE(isDateTime("12024-05-01T24:00:00"));
    EXPECT_FALSE(isDateTime("2023-02-29T00:00:00Z"));
    EXPECT_FALSE(isDateTime("2024-13-01T00:00:00Z"));
    EXPECT_FALSE(isDateTime("2024-05-01T24:00:01Z"));
    EXPECT_FALSE(isDateTime("2024-05-01 09:30:00"));
    EXPECT_FALSE(isDateTime("2024-05-01T09:30:00."));
    EXPECT_FALSE(isDateTime("2024-05-01T09:30:00+1:00"));
    EXPECT_FALSE(isDateTime("2024-05-01T09:30:00Zjunk"));
    EXPECT_FALSE(isDateTime("2024-05-01"));
}

TEST(DemoLexical, FormatsRoundTripIncludingInfinityAndNaN) {
    EXPECT_EQ(formatDouble(0.1), "0.1");
    EXPECT_EQ(parseDouble(formatDouble(1.0 / 3)), 1.0 / 3);
    EXPECT_EQ(formatDouble(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(formatDouble(std::nan("")), "NaN");
    EXPECT_EQ(formatDateTime(0), "1970-01-01T00:00:00Z");
    EXPECT_TRUE(isDateTime(formatDateTime(1700000000)));
}

}  // namespace
}  // namespace nv::demo
