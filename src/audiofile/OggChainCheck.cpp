#include "audiofile/OggChainCheck.h"

#include "audiofile/StreamAccess.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <vector>

namespace zund
{
namespace
{
constexpr long readPiece = 1 << 16;

/** Follows the logical streams page by page. */
class ChainFollower
{
public:
    /** False once a page breaks the chain. */
    bool accept (const ogg_page& page)
    {
        const int serial = ogg_page_serialno (&page);
        const bool begins = ogg_page_bos (&page) != 0;
        if (started && serial == current)
            return ! begins; // a stream begins once

        const bool seenBefore = std::find (finished.begin(), finished.end(), serial) != finished.end();
        if (! begins || seenBefore)
            return false;
        if (started)
            finished.push_back (current);
        current = serial;
        started = true;
        return true;
    }

private:
    bool started = false;
    int current = 0;
    std::vector<int> finished;
};
}

bool isPlainOggChain (juce::InputStream& stream)
{
    if (! stream.setPosition (0))
        return false;

    ogg_sync_state sync;
    ogg_sync_init (&sync);
    ChainFollower chain;
    bool plain = true, anyPage = false;

    for (bool more = true; more && plain;)
    {
        char* buffer = ogg_sync_buffer (&sync, readPiece);
        const auto got = buffer != nullptr ? readStream (stream, buffer, readPiece) : 0;
        ogg_sync_wrote (&sync, (long) got);
        more = got > 0;

        ogg_page page;
        for (long result; plain && (result = ogg_sync_pageseek (&sync, &page)) != 0;)
        {
            if (result < 0)
                continue; // bytes that are no page: libvorbisfile skips them too
            anyPage = true;
            plain = chain.accept (page);
        }
    }

    ogg_sync_clear (&sync);
    return plain && anyPage && stream.setPosition (0);
}
}
