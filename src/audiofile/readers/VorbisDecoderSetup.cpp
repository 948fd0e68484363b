#include "audiofile/readers/VorbisDecoderSetup.h"

namespace zund
{
VorbisDecoderSetup::VorbisDecoderSetup()
{
    vorbis_info_init (&info);
    vorbis_comment_init (&comments);
}

VorbisDecoderSetup::~VorbisDecoderSetup()
{
    vorbis_comment_clear (&comments);
    vorbis_info_clear (&info); // frees the books a failed set-up left behind too
}

bool VorbisDecoderSetup::takeHeader (ogg_packet& packet)
{
    if (headersTaken >= numHeaders || vorbis_synthesis_headerin (&info, &comments, &packet) != 0)
        return false;
    ++headersTaken;
    return true;
}

bool VorbisDecoderSetup::decoderStarts()
{
    if (headersTaken < numHeaders || setupTried)
        return false;
    setupTried = true;

    // A failed set-up clears the state itself; only a working one is cleared here.
    vorbis_dsp_state decoder;
    if (vorbis_synthesis_init (&decoder, &info) != 0)
        return false;
    vorbis_dsp_clear (&decoder);
    return true;
}
}
