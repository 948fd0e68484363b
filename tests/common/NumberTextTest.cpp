#include "common/text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zund;

// Ordinary numbers read as the framework reads them.
TEST (NumberText, ReadsWhatTheFrameworkReads)
{
    for (const char* text : { "0", "-1", "0.5", " 120.25", "+3", "-0.001", "1.5e3", "2E-2", "12abc", ".5", "5.",
                              "0.100000001", "128 BPM", "abc", "", "-", "1e", "1e+", "00012.50", "1e308", "-1e-300",
                              "123456789012345678901234567890", "0.0000123", "inf", "-Inf", "NaN" })
    {
        const auto expected = juce::String (text).getDoubleValue();
        const auto read = parseRealNumber (text);
        if (std::isnan (expected))
            EXPECT_TRUE (std::isnan (read)) << text;
        else
            EXPECT_DOUBLE_EQ (read, expected) << text;
    }
    for (const char* text : { "0", "-1", " 42", "2147483647", "-2147483647", "7x", "x7", "", "-" })
        EXPECT_EQ (parseWholeNumber (text), juce::String (text).getIntValue()) << text;
}

// The framework sums the exponent and the digits in ints: these overflow there.
TEST (NumberText, HugeTextsSaturate)
{
    const auto inf = std::numeric_limits<double>::infinity();
    struct Case { const char* text; double expected; };
    for (const auto& c : { Case { "1e9999999999", inf }, Case { "-1e9999999999", -inf },
                           Case { "1e-9999999999", 0.0 }, Case { "1e400", inf }, Case { "2.5e-400", 0.0 },
                           Case { "0.0000e99999999999999999", 0.0 }, Case { "1e2147483648", inf },
                           Case { "9e-2147483649", 0.0 } })
        EXPECT_EQ (parseRealNumber (c.text), c.expected) << c.text;

    const auto manyDigits = juce::String::repeatedString ("9", 5000);
    EXPECT_EQ (parseRealNumber (manyDigits), inf);
    EXPECT_EQ (parseRealNumber ("0." + manyDigits), 1.0);
    EXPECT_DOUBLE_EQ (parseRealNumber (manyDigits + "e-4998"), 1e2);

    struct Whole { const char* text; juce::int64 large; int small; };
    constexpr auto int64Max = std::numeric_limits<juce::int64>::max(), int64Min = std::numeric_limits<juce::int64>::min();
    constexpr auto intMax = std::numeric_limits<int>::max(), intMin = std::numeric_limits<int>::min();
    for (const auto& c : { Whole { "-2147483648", -2147483648LL, intMin }, Whole { "2147483648", 2147483648LL, intMax },
                           Whole { "-9223372036854775808", int64Min, intMin },
                           Whole { "9223372036854775807", int64Max, intMax },
                           Whole { "99999999999999999999999", int64Max, intMax },
                           Whole { "-99999999999999999999999", int64Min, intMin } })
    {
        EXPECT_EQ (parseLargeWholeNumber (c.text), c.large) << c.text;
        EXPECT_EQ (parseWholeNumber (c.text), c.small) << c.text;
    }
}
