#include "common/AudioFileTypes.h"

namespace zund
{
bool isSupportedAudioExtension (const juce::String& extensionWithDot)
{
    const auto ext = extensionWithDot.toLowerCase();
    return ext == ".mp3" || ext == ".wav" || ext == ".aiff" || ext == ".aif" || ext == ".ogg";
}

bool isSupportedAudioFile (const juce::File& file)
{
    if (file.isDirectory())
        return false;
    return isSupportedAudioExtension (file.getFileExtension());
}
}
