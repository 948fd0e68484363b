// An alsa-lib PCM for the tests: a sound card with four inputs and four
// outputs, running in real time (a timer paces it as a card's clock would),
// whose capture side carries a 1 kHz sine of 0.5 on every channel. A small
// state file, named by the configuration, lets a test unplug it and plug it
// in again, or make it overrun once:
//   "plugged" (or no file)  plays and records
//   "unplugged"             every call fails with -ENODEV, as the kernel's do
//                           for a USB card that was pulled out; opening fails
//   "xrun"                  a playback stream overruns once, right after
//                           taking data, so that the next wait fails with
//                           -EPIPE; the card then writes "plugged" back
//
//   pcm_type.zund_unpluggable { lib "/path/libasound_module_pcm_zund_unpluggable.so" }
//   pcm.zundtestcard { type zund_unpluggable  state "/path/state"  hint.description "..." }

#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/timerfd.h>
#include <unistd.h>

namespace
{
constexpr unsigned int numChannels = 4;
constexpr double toneHz = 1000.0, toneLevel = 0.5;

enum class CardState
{
    plugged,
    unplugged,
    xrun
};

CardState readState (const std::string& path)
{
    char text[32] = {};
    const int fd = ::open (path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return CardState::plugged;
    const auto length = ::read (fd, text, sizeof (text) - 1);
    ::close (fd);
    if (length <= 0)
        return CardState::plugged;
    if (std::strncmp (text, "unplugged", 9) == 0)
        return CardState::unplugged;
    if (std::strncmp (text, "xrun", 4) == 0)
        return CardState::xrun;
    return CardState::plugged;
}

// Written beside and renamed, so that a reader never sees half a word.
void writeState (const std::string& path, const char* word)
{
    const auto temporary = path + ".card";
    if (FILE* file = std::fopen (temporary.c_str(), "w"))
    {
        std::fputs (word, file);
        std::fclose (file);
        std::rename (temporary.c_str(), path.c_str());
    }
}

std::int64_t nowNs()
{
    timespec ts {};
    clock_gettime (CLOCK_MONOTONIC, &ts);
    return (std::int64_t) ts.tv_sec * 1000000000 + ts.tv_nsec;
}

struct Card
{
    snd_pcm_ioplug_t io {};
    std::string statePath;
    int timer = -1;
    bool running = false;
    std::uint64_t hw = 0;         // frames the card has moved since the last prepare
    std::int64_t lastNs = 0;      // when hw was last brought up to date
    double pendingFrames = 0.0;   // a fraction of a frame carried to the next update
    double phase = 0.0;           // of the capture sine, in cycles

    bool unplugged()
    {
        if (readState (statePath) != CardState::unplugged)
            return false;
        snd_pcm_ioplug_set_state (&io, SND_PCM_STATE_DISCONNECTED);
        return true;
    }

    // Moves hw on with the clock; a playback card waits for data it has not
    // got, and a capture card's buffer does not overflow.
    void advance()
    {
        const auto now = nowNs();
        if (running)
        {
            pendingFrames += (double) (now - lastNs) * io.rate / 1.0e9;
            const auto whole = (std::uint64_t) pendingFrames;
            pendingFrames -= (double) whole;
            hw += whole;
            const std::uint64_t limit = io.stream == SND_PCM_STREAM_PLAYBACK ? io.appl_ptr
                                                                              : io.appl_ptr + io.buffer_size - 1;
            if (hw > limit)
            {
                hw = limit;
                pendingFrames = 0.0;
            }
        }
        lastNs = now;
    }

    // Ticks once a period from now on, as the card's interrupt would.
    void armTimer()
    {
        itimerspec spec {};
        const auto periodNs = (std::int64_t) ((double) io.period_size * 1.0e9 / io.rate);
        spec.it_interval.tv_sec = periodNs / 1000000000;
        spec.it_interval.tv_nsec = periodNs % 1000000000;
        spec.it_value = spec.it_interval;
        timerfd_settime (timer, 0, &spec, nullptr);
    }
};

Card& cardOf (snd_pcm_ioplug_t* io)
{
    return *static_cast<Card*> (io->private_data);
}

int cardStart (snd_pcm_ioplug_t* io)
{
    auto& card = cardOf (io);
    if (card.unplugged())
        return -ENODEV;
    card.running = true;
    card.lastNs = nowNs();
    return 0;
}

int cardStop (snd_pcm_ioplug_t* io)
{
    auto& card = cardOf (io);
    card.advance();
    card.running = false;
    return 0;
}

snd_pcm_sframes_t cardPointer (snd_pcm_ioplug_t* io)
{
    auto& card = cardOf (io);
    // A gone card's pointer stands still (an error here would read as an xrun).
    if (! card.unplugged())
        card.advance();
    return (snd_pcm_sframes_t) (card.hw % io->buffer_size);
}

snd_pcm_sframes_t cardTransfer (snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas, snd_pcm_uframes_t offset,
                                snd_pcm_uframes_t size)
{
    auto& card = cardOf (io);
    if (card.unplugged())
        return -ENODEV;
    if (io->stream == SND_PCM_STREAM_PLAYBACK && readState (card.statePath) == CardState::xrun)
    {
        writeState (card.statePath, "plugged");
        snd_pcm_ioplug_set_state (io, SND_PCM_STATE_XRUN);
    }
    if (io->stream == SND_PCM_STREAM_CAPTURE)
    {
        const double step = toneHz / io->rate;
        for (snd_pcm_uframes_t i = 0; i < size; ++i)
        {
            const auto sample = (float) (toneLevel * std::sin (2.0 * M_PI * card.phase));
            for (unsigned int ch = 0; ch < io->channels; ++ch)
            {
                const auto& area = areas[ch];
                auto* frame = static_cast<char*> (area.addr) + (area.first + area.step * (offset + i)) / 8;
                std::memcpy (frame, &sample, sizeof (sample));
            }
            card.phase += step;
            card.phase -= std::floor (card.phase);
        }
    }
    return (snd_pcm_sframes_t) size;
}

int cardPrepare (snd_pcm_ioplug_t* io)
{
    auto& card = cardOf (io);
    if (card.unplugged())
        return -ENODEV;
    card.running = false;
    card.hw = 0;
    card.pendingFrames = 0.0;
    card.lastNs = nowNs();
    card.armTimer();
    return 0;
}

int cardPollRevents (snd_pcm_ioplug_t* io, struct pollfd* pfd, unsigned int nfds, unsigned short* revents)
{
    auto& card = cardOf (io);
    std::uint64_t expirations = 0;
    if (nfds > 0 && (pfd[0].revents & POLLIN) != 0)
        [[maybe_unused]] const auto got = ::read (card.timer, &expirations, sizeof (expirations));

    if (card.unplugged() || io->state == SND_PCM_STATE_XRUN)
    {
        *revents = POLLERR;
        return 0;
    }
    // Ready at each tick of the card's clock; alsa-lib looks at what is
    // available itself and waits again when it is too little.
    *revents = expirations > 0 ? (io->stream == SND_PCM_STREAM_PLAYBACK ? POLLOUT : POLLIN) : 0;
    return 0;
}

int cardClose (snd_pcm_ioplug_t* io)
{
    auto* card = &cardOf (io);
    if (card->timer >= 0)
        ::close (card->timer);
    delete card;
    return 0;
}

const snd_pcm_ioplug_callback_t callbacks = [] {
    snd_pcm_ioplug_callback_t c {};
    c.start = cardStart;
    c.stop = cardStop;
    c.pointer = cardPointer;
    c.transfer = cardTransfer;
    c.close = cardClose;
    c.prepare = cardPrepare;
    c.poll_revents = cardPollRevents;
    return c;
}();

int setConstraints (snd_pcm_ioplug_t* io)
{
    static const unsigned int accesses[] = { SND_PCM_ACCESS_RW_INTERLEAVED, SND_PCM_ACCESS_MMAP_INTERLEAVED };
    static const unsigned int formats[] = { SND_PCM_FORMAT_FLOAT_LE };
    static const unsigned int rates[] = { 44100, 48000 };
    constexpr unsigned int frameBytes = numChannels * sizeof (float);
    int err = 0;
    if ((err = snd_pcm_ioplug_set_param_list (io, SND_PCM_IOPLUG_HW_ACCESS, 2, accesses)) < 0
        || (err = snd_pcm_ioplug_set_param_list (io, SND_PCM_IOPLUG_HW_FORMAT, 1, formats)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax (io, SND_PCM_IOPLUG_HW_CHANNELS, numChannels, numChannels)) < 0
        || (err = snd_pcm_ioplug_set_param_list (io, SND_PCM_IOPLUG_HW_RATE, 2, rates)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax (io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64 * frameBytes,
                                                   4096 * frameBytes)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax (io, SND_PCM_IOPLUG_HW_PERIODS, 2, 16)) < 0)
        return err;
    return 0;
}
}

extern "C" SND_PCM_PLUGIN_DEFINE_FUNC (zund_unpluggable)
{
    std::string statePath;
    snd_config_iterator_t i, next;
    snd_config_for_each (i, next, conf)
    {
        snd_config_t* entry = snd_config_iterator_entry (i);
        const char* id = nullptr;
        if (snd_config_get_id (entry, &id) < 0)
            continue;
        if (std::strcmp (id, "comment") == 0 || std::strcmp (id, "type") == 0 || std::strcmp (id, "hint") == 0)
            continue;
        if (std::strcmp (id, "state") == 0)
        {
            const char* text = nullptr;
            if (snd_config_get_string (entry, &text) < 0)
                return -EINVAL;
            statePath = text;
            continue;
        }
        SNDERR ("Unknown field %s", id);
        return -EINVAL;
    }
    (void) root;
    if (statePath.empty())
    {
        SNDERR ("no state file");
        return -EINVAL;
    }
    if (readState (statePath) == CardState::unplugged)
        return -ENODEV;

    auto* card = new Card();
    card->statePath = statePath;
    card->timer = timerfd_create (CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (card->timer < 0)
    {
        const int err = -errno;
        delete card;
        return err;
    }
    card->io.version = SND_PCM_IOPLUG_VERSION;
    card->io.name = "Zund test card";
    card->io.callback = &callbacks;
    card->io.private_data = card;
    card->io.poll_fd = card->timer;
    card->io.poll_events = POLLIN;
    card->io.mmap_rw = 0;

    int err = snd_pcm_ioplug_create (&card->io, name, stream, mode);
    if (err < 0)
    {
        ::close (card->timer);
        delete card;
        return err;
    }
    if ((err = setConstraints (&card->io)) < 0)
    {
        snd_pcm_ioplug_delete (&card->io); // closes the card
        return err;
    }
    *pcmp = card->io.pcm;
    return 0;
}

// Braced: a plain extern "C" would only declare the version mark alsa-lib looks for.
extern "C"
{
SND_PCM_PLUGIN_SYMBOL (zund_unpluggable)
}
