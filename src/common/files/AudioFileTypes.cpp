#include "common/files/AudioFileTypes.h"

#include "common/text/SafeStringBytes.h"

#include <cstring>
#include <strings.h>

namespace zund
{
bool isSupportedAudioExtension (const juce::String& extensionWithDot)
{
    const auto ext = extensionWithDot.toLowerCase();
    return ext == ".mp3" || ext == ".wav" || ext == ".aiff" || ext == ".aif" || ext == ".ogg";
}

juce::String getPathExtension (const juce::String& path)
{
    const auto* bytes = path.toRawUTF8();
    const auto* dot = std::strrchr (bytes, '.');
    const auto* slash = std::strrchr (bytes, '/');
    if (dot == nullptr || (slash != nullptr && dot < slash))
        return {};
    const auto length = std::strlen (dot);
    return isSafeStringBytes (dot, length) ? stringOfSafeBytes (dot, length) : juce::String();
}

bool hasSupportedAudioExtension (const juce::String& path) noexcept
{
    return hasSupportedAudioExtension (path.toRawUTF8());
}

bool hasSupportedAudioExtension (const char* bytes) noexcept
{
    const auto* dot = std::strrchr (bytes, '.');
    const auto* slash = std::strrchr (bytes, '/');
    if (dot == nullptr || (slash != nullptr && dot < slash))
        return false;
    for (const char* extension : { ".mp3", ".wav", ".aiff", ".aif", ".ogg" })
        if (::strcasecmp (dot, extension) == 0)
            return true;
    return false;
}

bool isSupportedAudioFile (const juce::File& file)
{
    if (file.isDirectory())
        return false;
    return isSupportedAudioExtension (getPathExtension (file.getFullPathName()));
}
}
