#include "audiofile/readers/StreamAccess.h"

#include <algorithm>
#include <cstdio>

namespace zund
{
juce::int64 seekStream (juce::InputStream& stream, juce::int64 offset, int whence)
{
    juce::int64 base = 0;
    if (whence == SEEK_CUR)
        base = stream.getPosition();
    else if (whence == SEEK_END)
        base = stream.getTotalLength();
    else if (whence != SEEK_SET)
        return -1;

    juce::int64 target;
    if (__builtin_add_overflow (base, offset, &target) || target < 0 || ! stream.setPosition (target))
        return -1;
    return target;
}

juce::int64 readStream (juce::InputStream& stream, void* dest, juce::int64 numBytes)
{
    auto* bytes = static_cast<char*> (dest);
    juce::int64 total = 0;
    while (total < numBytes)
    {
        const int got = stream.read (bytes + total, (int) std::min<juce::int64> (numBytes - total, 1 << 30));
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}
}
