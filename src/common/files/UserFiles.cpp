#include "common/files/UserFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

namespace zund
{
namespace
{
juce::String describeErrno (const juce::String& what)
{
    return what + ": " + juce::String (std::strerror (errno));
}

bool writeAll (int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const auto written = ::write (fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= (size_t) written;
    }
    return true;
}

/** A buffered stream into a file descriptor that remembers the first failure. */
class DescriptorStream : public juce::OutputStream
{
public:
    explicit DescriptorStream (int descriptor) : fd (descriptor) { buffer.reserve (bufferSize); }

    bool write (const void* data, size_t numBytes) override
    {
        if (failed)
            return false;
        total += numBytes;
        if (buffer.size() + numBytes > bufferSize && ! flushBuffer())
            return false;
        if (numBytes >= bufferSize)
            return writeOut (static_cast<const char*> (data), numBytes);
        buffer.insert (buffer.end(), static_cast<const char*> (data), static_cast<const char*> (data) + numBytes);
        return true;
    }

    void flush() override { flushBuffer(); }
    juce::int64 getPosition() override { return (juce::int64) total; }
    bool setPosition (juce::int64) override { return false; }

    bool flushBuffer()
    {
        const bool ok = writeOut (buffer.data(), buffer.size());
        buffer.clear();
        return ok;
    }

    bool hasFailed() const noexcept { return failed; }
    int getError() const noexcept { return error; }

private:
    bool writeOut (const char* data, size_t size)
    {
        if (! failed && ! writeAll (fd, data, size))
        {
            failed = true;
            error = errno;
        }
        return ! failed;
    }

    static constexpr size_t bufferSize = 1 << 20;
    const int fd;
    std::vector<char> buffer;
    size_t total = 0;
    bool failed = false;
    int error = 0;
};
}

bool replaceFileSafely (const juce::File& target, const void* data, size_t numBytes, juce::String* error)
{
    return replaceFileSafely (target, [data, numBytes] (juce::OutputStream& out, juce::String&) {
        return numBytes == 0 || out.write (data, numBytes);
    }, error);
}

bool replaceFileSafely (const juce::File& target, const ContentsWriter& writeContents, juce::String* error)
{
    auto fail = [error] (const juce::String& reason) {
        if (error != nullptr)
            *error = reason;
        return false;
    };

    if (target.isDirectory())
        return fail (target.getFullPathName() + " is a folder");

    const auto folder = target.getParentDirectory();
    if (! folder.isDirectory())
        return fail ("the folder " + folder.getFullPathName() + " does not exist");

    // Beside the target, so that the rename stays on one file system.
    const auto temp = folder.getNonexistentChildFile ("." + target.getFileName() + ".new", "", false);
    const auto tempPath = temp.getFullPathName().toStdString();

    const int fd = ::open (tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail (describeErrno ("cannot create " + temp.getFullPathName()));

    juce::String reason;
    bool ok;
    {
        DescriptorStream out (fd);
        ok = writeContents (out, reason) && out.flushBuffer();
        if (! ok && reason.isEmpty())
        {
            errno = out.getError();
            reason = describeErrno ("cannot write " + temp.getFullPathName());
        }
    }
    if (ok && ::fsync (fd) != 0)
    {
        ok = false;
        reason = describeErrno ("cannot flush " + temp.getFullPathName());
    }
    if (::close (fd) != 0 && ok)
    {
        ok = false;
        reason = describeErrno ("cannot close " + temp.getFullPathName());
    }

    if (ok && std::rename (tempPath.c_str(), target.getFullPathName().toRawUTF8()) != 0)
    {
        ok = false;
        reason = describeErrno ("cannot replace " + target.getFullPathName());
    }

    if (! ok)
    {
        ::unlink (tempPath.c_str());
        return fail (reason);
    }
    return true;
}

bool replaceFileSafely (const juce::File& target, const juce::String& text, juce::String* error)
{
    const auto* utf8 = text.toRawUTF8();
    return replaceFileSafely (target, utf8, std::strlen (utf8), error);
}

bool writeXmlFileSafely (const juce::File& target, const juce::XmlElement& root, juce::String* error)
{
    return replaceFileSafely (target, root.toString(), error);
}

juce::File keepFileAside (const juce::File& file)
{
    if (! file.exists())
        return {};

    const auto stamp = juce::Time::getCurrentTime().formatted ("%Y%m%d-%H%M%S");
    const auto base = file.getFileName() + ".bad-" + stamp;
    auto aside = file.getSiblingFile (base);
    for (int n = 2; aside.exists(); ++n)
        aside = file.getSiblingFile (base + "-" + juce::String (n));

    return file.moveFileTo (aside) ? aside : juce::File();
}
}
