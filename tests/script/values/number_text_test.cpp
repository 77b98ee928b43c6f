#include "script/values/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(TextToDoubleTest, ReadsDecimalNumbersAndStopsWhereTheNumberEnds) {
    const struct {
        const char* text;
        double value;
        size_t used; // 0: no number, the end stays at the start
    } cases[] = {
        {"  \t\r\n\v\f42", 42.0, 9},
        {"+.5", 0.5, 3},
        {"5.", 5.0, 2},
        {"1e5-2", 1e5, 3},
        {"1e+", 1.0, 1},
        {"7.e2", 700.0, 4},
        {"0x10", 0.0, 1},
        {"1d3", 1.0, 1},
        {"00012.500", 12.5, 9},
        {"1e999999999999999999999", kInf, 23},
        {"-1e400", -kInf, 6},
        {"2.4e-324", 0.0, 8},
        {"2.5e-324", 4.9406564584124654e-324, 8},
        {"1.7976931348623159e308", kInf, 22},
        {"0e999999999", 0.0, 11},
        {"", 0.0, 0},
        {"-.e5", 0.0, 0},
        {"inf", 0.0, 0},
        {"nan", 0.0, 0},
    };
    for (const auto& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(TextToDouble(c.text, &end), c.value) << c.text;
        EXPECT_EQ(size_t(end - c.text), c.used) << c.text;
    }
    EXPECT_TRUE(std::signbit(TextToDouble("-0.000e5")));
    const char* end = nullptr;
    EXPECT_EQ(TextToDouble("2.5D-1;", &end, true), 0.25);
    EXPECT_EQ(*end, ';');
}

// The C library in the "C" locale is the reference for correct rounding; the product
// never calls it.
double Reference(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

TEST(TextToDoubleTest, RoundsCorrectlyLikeTheCLibrary) {
    std::mt19937_64 random(12345);
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        // Any finite double at 15 to 17 digits brings halfway and near-halfway texts.
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        std::snprintf(text, sizeof text, "%.*g", 15 + i % 3, value);
        ASSERT_EQ(TextToDouble(text), Reference(text)) << text;
    }
    // Digits past the ones kept only count as "something non-zero follows".
    std::string halfway = "9007199254740993"; // exactly between two doubles
    std::string above = halfway + std::string(1000, '0') + "1";
    std::string fraction = "0." + std::string(400, '0') + "123456789" + std::string(900, '7');
    for (const std::string& text : {halfway, above, fraction, std::string(309, '9') + ".5"})
        EXPECT_EQ(TextToDouble(text.c_str()), Reference(text)) << text.size();
    EXPECT_NE(TextToDouble(above.c_str()), TextToDouble(halfway.c_str()));
}

TEST(TextToIntTest, ReadsLikeAtoiAndClamps) {
    const std::pair<const char*, int32_t> cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"  -42", -42},
        {"- 3", 0},
        {"1.9", 1},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999", INT32_MAX},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(TextToInt(text), value) << text;
}

std::string Format(double value, size_t size = 64) {
    char buffer[64];
    int length = FormatDouble(value, buffer, size);
    EXPECT_EQ(size_t(length), std::strlen(buffer));
    return buffer;
}

std::string Printf(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

TEST(FormatDoubleTest, MatchesPrintfG) {
    for (double value : {0.0, -0.0, 0.5, 1e20, 1e-5, 123456789.0, 123456.0, 1234567.0, 9.9999951,
                         999999.5, 0.0001, 4.9406564584124654e-324, 1.7976931348623157e308})
        EXPECT_EQ(Format(value), Printf(value)) << value;
    EXPECT_EQ(Format(1e20), "1e+20");
    EXPECT_EQ(Format(1e-5), "1e-05");
    EXPECT_EQ(Format(-0.0), "-0");
    std::mt19937_64 random(777);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            ASSERT_EQ(Format(value), Printf(value)) << bits;
        }
        double scaled = double(int64_t(bits % 2000001) - 1000000) / 1000.0;
        ASSERT_EQ(Format(scaled), Printf(scaled)) << scaled;
    }
}

TEST(FormatDoubleTest, GivesStableTextsForInfinitiesAndNaNsAndCutsToTheBuffer) {
    EXPECT_EQ(Format(kInf), "inf");
    EXPECT_EQ(Format(-kInf), "-inf");
    EXPECT_EQ(Format(kNaN), "nan");
    EXPECT_EQ(Format(-kNaN), "nan");
    EXPECT_EQ(Format(1.23457e+08, 5), "1.23");
    char untouched = 'x';
    EXPECT_EQ(FormatDouble(1.0, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
}

} // namespace
