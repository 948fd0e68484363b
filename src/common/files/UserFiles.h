#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace zund
{
/** Replaces the file's contents without ever leaving it half written: the new
    contents go to a file beside it, are flushed to disk, and that file is then
    renamed over the target. On failure the old file is untouched and `error`
    (when given) says why. */
bool replaceFileSafely (const juce::File& target, const void* data, size_t numBytes, juce::String* error = nullptr);
bool replaceFileSafely (const juce::File& target, const juce::String& text, juce::String* error = nullptr);

/** Writes the contents into the file beside the target through a buffered
    stream (a large file needs no copy of itself in memory) and renames it as
    above. `write` may give up, with its reason: the target then stays as it was. */
using ContentsWriter = std::function<bool (juce::OutputStream& out, juce::String& reason)>;
bool replaceFileSafely (const juce::File& target, const ContentsWriter& write, juce::String* error = nullptr);

/** Writes the element as a UTF-8 XML document (with the XML declaration) through
    replaceFileSafely. */
bool writeXmlFileSafely (const juce::File& target, const juce::XmlElement& root, juce::String* error = nullptr);

/** Moves a file that could not be read out of the way, so that nothing writes
    over it: "<name>.bad-<yyyymmdd-hhmmss>" beside it (a number is added when
    that exists). Returns where it went, or an invalid File when it could not
    be moved. */
juce::File keepFileAside (const juce::File& file);
}
