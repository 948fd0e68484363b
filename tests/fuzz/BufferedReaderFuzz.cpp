// The track cache over any file: the first byte picks the format, the second the
// read positions. No crash, no hang, silence past the end of the track.
#include "FuzzInputFile.h"
#include "audiofile/BufferedAudioReader.h"

#include <cmath>
#include <limits>

namespace
{
const char* const extensions[] = { ".wav", ".aiff", ".ogg", ".mp3" };

bool readWhenCached (zund::BufferedAudioReader& reader, double position, float& l, float& r)
{
    const auto i = (juce::int64) position;
    for (int tries = 0; tries < 2000; ++tries)
    {
        reader.read (position, l, r);
        if (reader.isFrameCached (i) && reader.isFrameCached (i + 3))
        {
            reader.read (position, l, r);
            return true;
        }
        juce::Thread::sleep (1);
    }
    return false;
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    if (size < 2)
        return 0;

    static auto* reader = new BufferedAudioReader(); // one for the whole run, like a channel's
    const auto file = fuzz::writeInputFile (data + 2, size - 2, extensions[data[0] & 3]);
    if (! reader->load (file.getFullPathName()))
        return 0;
    while (reader->isBusy())
        juce::Thread::sleep (1);

    const auto length = reader->getLengthInSamples();
    float l = 0, r = 0;
    for (double odd : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1.0e300 })
    {
        reader->read (odd, l, r);
        fuzz::check (l == 0.0f && r == 0.0f, "nonsense positions are silent");
    }

    const double fraction = (data[1] & 0x7f) / 128.0;
    readWhenCached (*reader, (double) length * fraction + 0.25, l, r);
    readWhenCached (*reader, -3.5, l, r);
    if (readWhenCached (*reader, (double) length + (data[1] >> 7) * 300000.0 + 0.5, l, r))
        fuzz::check (l == 0.0f && r == 0.0f, "silence past the end");
    return 0;
}
