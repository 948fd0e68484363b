#include "library/tags/FileReplacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zund
{
namespace
{
/** The real file behind any symbolic links; the path itself when it cannot be resolved. */
juce::String resolvePath (const juce::File& file)
{
    const auto path = file.getFullPathName();
    char* real = ::realpath (path.toRawUTF8(), nullptr);
    if (real == nullptr)
        return path;
    const auto resolved = juce::String::fromUTF8 (real);
    std::free (real);
    return resolved;
}
}

FileReplacement::FileReplacement (const juce::File& target, const char* temporaryPrefix)
    : targetPath (resolvePath (target))
{
    errno = 0;
    struct stat facts;
    if (::stat (targetPath.toRawUTF8(), &facts) != 0 || ! S_ISREG (facts.st_mode))
    {
        fail ("cannot find " + targetPath);
        return;
    }

    auto pattern = juce::File (targetPath).getSiblingFile (juce::String (temporaryPrefix) + "XXXXXX")
                       .getFullPathName().toStdString();
    const int fd = ::mkstemp (pattern.data());
    if (fd < 0)
    {
        fail ("cannot create a temporary file beside " + targetPath);
        return;
    }
    tempPath = juce::String::fromUTF8 (pattern.c_str());

    // The owner may fail to change when we are not privileged; the file is ours then.
    if (::fchmod (fd, facts.st_mode & 07777) != 0 || (::fchown (fd, facts.st_uid, facts.st_gid) != 0 && errno != EPERM))
    {
        ::close (fd);
        fail ("cannot set the permissions of " + tempPath);
        return;
    }

    stream = ::fdopen (fd, "wb");
    if (stream == nullptr)
    {
        ::close (fd);
        fail ("cannot open " + tempPath);
    }
}

FileReplacement::~FileReplacement()
{
    discard();
}

bool FileReplacement::fail (const juce::String& what)
{
    if (error.isEmpty())
        error = what + (errno != 0 ? ": " + juce::String (std::strerror (errno)) : juce::String());
    discard();
    return false;
}

void FileReplacement::discard()
{
    if (stream != nullptr)
        std::fclose (stream);
    stream = nullptr;
    if (tempPath.isNotEmpty())
        ::unlink (tempPath.toRawUTF8());
    tempPath.clear();
}

bool FileReplacement::write (const void* data, size_t numBytes)
{
    if (stream == nullptr || writeFailed)
        return false;
    errno = 0;
    if (numBytes > 0 && std::fwrite (data, 1, numBytes, stream) != numBytes)
    {
        writeFailed = true;
        return fail ("cannot write " + tempPath);
    }
    return true;
}

bool FileReplacement::commit()
{
    if (stream == nullptr || writeFailed)
        return fail ("cannot write the new contents of " + targetPath);

    errno = 0;
    if (std::fflush (stream) != 0 || std::ferror (stream) != 0)
        return fail ("cannot write " + tempPath);
    if (::fsync (::fileno (stream)) != 0)
        return fail ("cannot flush " + tempPath);

    const int closed = std::fclose (stream);
    stream = nullptr;
    if (closed != 0)
        return fail ("cannot close " + tempPath);

    if (std::rename (tempPath.toRawUTF8(), targetPath.toRawUTF8()) != 0)
        return fail ("cannot replace " + targetPath);

    tempPath.clear();
    return true;
}
}
