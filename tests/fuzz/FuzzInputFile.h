#pragma once

#include <juce_core/juce_core.h>

#include <fcntl.h>
#include <unistd.h>

namespace zund::fuzz
{
/** The input written to a file of this process in /dev/shm (the readers take
    files), replaced for every run. */
inline juce::File writeInputFile (const uint8_t* data, size_t size, const char* extension)
{
    const juce::File file ("/dev/shm/zund-fuzz-" + juce::String ((int) ::getpid()) + extension);
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0)
    {
        for (size_t done = 0; done < size;)
        {
            const auto n = ::write (fd, data + done, size - done);
            if (n <= 0)
                break;
            done += (size_t) n;
        }
        ::close (fd);
    }
    return file;
}

/** A folder of this process's own in /dev/shm, emptied: for harnesses whose code
    writes beside the file it reads (a replacement, an unreadable file kept aside). */
inline juce::File emptyWorkFolder()
{
    const juce::File folder ("/dev/shm/zund-fuzz-" + juce::String ((int) ::getpid()) + "-work");
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

/** Writes the input as this file. */
inline juce::File writeInputAs (const juce::File& file, const uint8_t* data, size_t size)
{
    file.replaceWithData (data, size);
    return file;
}

/** Stops the run the way a sanitizer would, so that libFuzzer keeps the input. */
inline void check (bool condition, const char* what)
{
    if (! condition)
    {
        fprintf (stderr, "broken promise: %s\n", what);
        __builtin_trap();
    }
}
}
