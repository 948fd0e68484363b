#include "common/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zund
{
namespace
{
// Far past any double's exponent, yet summed with the digit count it stays in an int.
constexpr int exponentLimit = 100000;
// More digits than a double can tell apart; the rest only scale the value.
constexpr size_t significantDigitLimit = 800;

bool matchesWord (juce::String::CharPointerType text, const char* word)
{
    for (; *word != 0; ++word, ++text)
        if (juce::CharacterFunctions::toLowerCase (*text) != (juce::juce_wchar) *word)
            return false;
    return true;
}
}

double parseRealNumber (const juce::String& text)
{
    auto p = text.getCharPointer().findEndOfWhitespace();
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = p.getAndAdvance() == '-';

    const double sign = negative ? -1.0 : 1.0;
    if (matchesWord (p, "nan"))
        return std::numeric_limits<double>::quiet_NaN();
    if (matchesWord (p, "inf"))
        return sign * std::numeric_limits<double>::infinity();

    // The mantissa's digits without the point, and the point's place as an exponent.
    std::string digits;
    int exponent = 0;
    bool anyDigit = false, pointSeen = false;
    for (;; ++p)
    {
        const auto c = *p;
        if (c >= '0' && c <= '9')
        {
            anyDigit = true;
            if (digits.empty() && c == '0')
            {
                if (pointSeen)
                    --exponent;
                continue;
            }
            if (digits.size() < significantDigitLimit)
            {
                digits += (char) c;
                if (pointSeen)
                    --exponent;
            }
            else if (! pointSeen)
            {
                ++exponent;
            }
            if (std::abs (exponent) > exponentLimit)
                break; // only a text of absurd length gets here
        }
        else if (c == '.' && ! pointSeen)
        {
            pointSeen = true;
        }
        else
        {
            break;
        }
    }

    if (! anyDigit)
        return 0.0;
    if (digits.empty())
        return sign * 0.0;

    if (*p == 'e' || *p == 'E')
    {
        auto q = p + 1;
        bool exponentNegative = false;
        if (*q == '-' || *q == '+')
            exponentNegative = q.getAndAdvance() == '-';
        int written = 0;
        for (; *q >= '0' && *q <= '9'; ++q)
            written = std::min (exponentLimit, written * 10 + (int) (*q - '0'));
        exponent += exponentNegative ? -written : written;
    }

    if (exponent + (int) digits.size() > exponentLimit / 2)
        return sign * std::numeric_limits<double>::infinity();
    if (exponent + (int) digits.size() < -exponentLimit / 2)
        return sign * 0.0;

    const auto number = digits + "e" + std::to_string (exponent);
    double value = 0.0;
    const auto result = std::from_chars (number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return sign * value;
}

juce::int64 parseLargeWholeNumber (const juce::String& text)
{
    auto p = text.getCharPointer().findEndOfWhitespace();
    const bool negative = *p == '-';
    if (negative)
        ++p;

    // Counted towards the sign, so the most negative value is reached too.
    constexpr auto largest = std::numeric_limits<juce::int64>::max();
    constexpr auto smallest = std::numeric_limits<juce::int64>::min();
    juce::int64 value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
    {
        const int digit = (int) (*p - '0');
        if (negative)
            value = value < (smallest + digit) / 10 ? smallest : value * 10 - digit;
        else
            value = value > (largest - digit) / 10 ? largest : value * 10 + digit;
    }
    return value;
}

int parseWholeNumber (const juce::String& text)
{
    return (int) juce::jlimit<juce::int64> (std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                                           parseLargeWholeNumber (text));
}
}
