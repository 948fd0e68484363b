#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>

namespace zund
{
/** A new version of an audio file, written beside it and renamed over it, so the
    file is always either the old one or the complete new one. The temporary file
    lies in the folder of the file (of the file a symbolic link points to), so the
    rename never crosses file systems, and takes the file's permissions. Unless
    committed, the temporary file is removed again. */
class FileReplacement
{
public:
    /** Creates the temporary file, named temporaryPrefix + six unique characters. */
    FileReplacement (const juce::File& target, const char* temporaryPrefix);
    ~FileReplacement();

    /** The stream to write the new contents to; null when it could not be created. */
    FILE* getStream() const noexcept { return stream; }

    bool write (const void* data, size_t numBytes);

    /** Flushes the contents to disk, closes the temporary file, gives it the file's
        permissions and renames it over the file. False, with the file untouched,
        on any failure or after any failed write. */
    bool commit();

    /** Why creating, writing or committing failed. */
    const juce::String& getError() const noexcept { return error; }

private:
    bool fail (const juce::String& what);
    void discard();

    juce::String targetPath;
    juce::String tempPath;
    FILE* stream = nullptr;
    bool writeFailed = false;
    juce::String error;

    JUCE_DECLARE_NON_COPYABLE (FileReplacement)
};
}
