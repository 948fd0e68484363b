#include "support/StalledFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace zund::test
{
StalledFile::StalledFile (const juce::File& file)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction (SIGIO, &ignore, &previous);

    descriptor = ::open (file.getFullPathName().toRawUTF8(), O_RDWR | O_CLOEXEC);
    if (descriptor >= 0 && ::fcntl (descriptor, F_SETLEASE, F_WRLCK) != 0)
    {
        ::close (descriptor);
        descriptor = -1;
    }
}

StalledFile::~StalledFile()
{
    release();
    ::sigaction (SIGIO, &previous, nullptr);
}

void StalledFile::release()
{
    if (descriptor < 0)
        return;
    ::fcntl (descriptor, F_SETLEASE, F_UNLCK);
    ::close (descriptor);
    descriptor = -1;
}
}
