#include "common/text/SafeStringBytes.h"

#include <cstring>

namespace zund
{
bool isSafeStringBytes (const std::string& bytes) noexcept
{
    return isSafeStringBytes (bytes.data(), bytes.size());
}

bool isSafeString (const juce::String& text) noexcept
{
    const auto* bytes = text.toRawUTF8();
    return isSafeStringBytes (bytes, std::strlen (bytes));
}

juce::String stringOfSafeBytes (const char* bytes, size_t size)
{
    jassert (isSafeStringBytes (bytes, size));
    if (size == 0)
        return {};
    return juce::String (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + size));
}

juce::String stringOfSafeBytes (const std::string& bytes)
{
    return stringOfSafeBytes (bytes.data(), bytes.size());
}
}
