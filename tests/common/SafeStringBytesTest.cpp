// Which bytes the framework's strings can hold: its copying constructor sizes
// the buffer by decoding and copies to the real end, its index operations step
// by the length a lead byte announces. The check must agree with what the
// framework itself does, byte string by byte string.

#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "common/text/SafeStringBytes.h"
#include "support/OddNames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zund;

TEST (SafeStringBytes, NamesFromOlderSystems)
{
    for (const auto& name : test::oddSongNames())
        EXPECT_EQ (isSafeStringBytes (name.bytes), name.safe) << name.what;

    const struct
    {
        std::string bytes;
        bool safe;
    } cases[] = {
        { "", true },
        { "/music/plain.mp3", true },
        { "M\xfcsik/Stra\xdf" "e.mp3", true },             // Latin-1 that decodes to single bytes
        { "\xf0\x9f\x8e\xb5 music.mp3", true },            // a four-byte character
        { "/music/Caf\xe9", false },                       // a folder ending in a lead byte
        { "x\xe9y", false },                               // its announced bytes run past the end
        { "x\xe9yz", true },
        { "voil\xe0", false },                             // decodes to 0 at the end too
        { "\xc0" "a.mp3", false },
        { "\xf0" "a.mp3", false },
        { "\xe0\x80\xaf.mp3", false },                     // overlong "/"
        { "\xe9\xe2\x82\x80.mp3", false },                 // a lone 0x80 only the stepping reaches
        { std::string ("a\0b.mp3", 7), false },            // a NUL inside
    };
    for (const auto& c : cases)
        EXPECT_EQ (isSafeStringBytes (c.bytes), c.safe) << juce::String::toHexString (c.bytes.data(), (int) c.bytes.size());
}

namespace
{
/** What the framework does with the bytes, from a buffer with room to spare:
    whether its copy of every text its stepping reaches takes the bytes that
    text has, and whether stepping from any character stays inside. */
bool frameworkHoldsThem (const std::string& bytes)
{
    char buffer[32] = {};
    std::memcpy (buffer, bytes.data(), bytes.size());
    const auto* end = buffer + bytes.size();

    auto stepsInside = [end] (const char* at) {
        juce::CharPointer_UTF8 p (at);
        ++p;
        return p.getAddress() <= end;
    };

    for (const char* start = buffer; start < end;)
    {
        if (juce::CharPointer_UTF8::getBytesRequiredFor (juce::CharPointer_UTF8 (start)) != (size_t) (end - start))
            return false;
        for (juce::CharPointer_UTF8 c (start); c.getAddress() < end; c.getAndAdvance())
            if (! stepsInside (c.getAddress()))
                return false;
        if (! stepsInside (start))
            return false;
        juce::CharPointer_UTF8 next (start);
        ++next;
        start = next.getAddress();
    }
    return true;
}
}

TEST (SafeStringBytes, AgreesWithTheFrameworkOnEveryShortString)
{
    // Bytes of each kind: ASCII, a NUL, continuation bytes (0x80 decodes to 0),
    // lead bytes of every length, and bytes no UTF-8 has.
    const unsigned char alphabet[] = { 'a', '.', 0x00, 0x80, 0x81, 0xa1, 0xbf, 0xc0, 0xc1, 0xc3,
                                       0xdf, 0xe0, 0xe2, 0xe9, 0xf0, 0xf4, 0xf8, 0xff };
    const int n = (int) sizeof (alphabet);
    int safeOnes = 0, checked = 0;
    for (int length = 1; length <= 4; ++length)
    {
        std::vector<int> digits ((size_t) length, 0);
        for (;;)
        {
            std::string bytes;
            for (auto d : digits)
                bytes += (char) alphabet[d];
            const bool hasNul = bytes.find ('\0') != std::string::npos;
            const bool expected = ! hasNul && frameworkHoldsThem (bytes);
            ASSERT_EQ (isSafeStringBytes (bytes), expected) << juce::String::toHexString (bytes.data(), length);
            safeOnes += expected ? 1 : 0;
            ++checked;

            int k = 0;
            while (k < length && ++digits[(size_t) k] == n)
                digits[(size_t) k++] = 0;
            if (k == length)
                break;
        }
    }
    EXPECT_GT (safeOnes, checked / 20) << "both answers are met";
    EXPECT_LT (safeOnes, checked);
}

TEST (SafeStringBytes, SafeBytesAreHeldExactly)
{
    for (const auto& name : test::oddSongNames())
    {
        if (! name.safe)
            continue;
        const auto text = stringOfSafeBytes (name.bytes);
        EXPECT_EQ (text.toStdString(), name.bytes) << name.what;
        EXPECT_TRUE (isSafeString (text));
        // The framework's own copies of it keep the bytes too.
        EXPECT_EQ (juce::String (text.getCharPointer()).toStdString(), name.bytes) << name.what;
    }
    EXPECT_TRUE (stringOfSafeBytes (std::string()).isEmpty());
}

// Extensions and names are found in a path's bytes: the framework's index
// operations count a Latin-1 character two ways. A part it could not hold
// comes back empty instead of overflowing whoever works on it next.
TEST (SafeStringBytes, ExtensionsAndNamesFromBytes)
{
    const struct
    {
        std::string path, extension, name;
    } cases[] = {
        { "/m/caf\xe9.mp3", ".mp3", "caf\xe9.mp3" },
        { "/m/Ol\xe9 Ol\xe9 Mix/deeper.wav", ".wav", "deeper.wav" },
        { "/m/caf\xc3\xa9.Ogg", ".Ogg", "caf\xc3\xa9.Ogg" },
        { "/m.d/plain", "", "plain" },
        { "/m/song.mp3\xe9", "", "" },          // as a desktop drop may hand it over
        { "/m/\xe0.mp3", ".mp3", "" },
    };
    for (const auto& c : cases)
    {
        const juce::String path (juce::CharPointer_UTF8 (c.path.data()), juce::CharPointer_UTF8 (c.path.data() + c.path.size()));
        EXPECT_EQ (getPathExtension (path).toStdString(), c.extension) << c.path;
        EXPECT_EQ (getPathFileName (path).toStdString(), c.name) << c.path;
    }
}
