#include "engine/timecode/TimecodeDecoder.h"
#include "support/TimecodeSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace zund;
using test::TimecodeSignal;

namespace
{
constexpr double wordSeconds = TimecodeSignal::secondsPerWord;

/** The decoder's output over a stretch of play, with the needle position
    at which each sample was taken. */
struct Take
{
    std::vector<double> speed;
    std::vector<float> position;
    std::vector<double> needle;

    std::vector<size_t> marks() const
    {
        std::vector<size_t> found;
        for (size_t i = 0; i < position.size(); ++i)
            if (position[i] != TimecodeDecoder::noPosition)
                found.push_back (i);
        return found;
    }

    /** Samples from `from` on whose speed is not exactly `expected`. */
    size_t speedsOtherThan (double expected, size_t from = 0) const
    {
        return (size_t) std::count_if (speed.begin() + (long) from, speed.end(),
                                       [expected] (double s) { return s != expected; });
    }

    double meanSpeed (size_t from) const
    {
        double sum = 0.0;
        for (size_t i = from; i < speed.size(); ++i)
            sum += speed[i];
        return sum / (double) (speed.size() - from);
    }
};

class Turntable
{
public:
    explicit Turntable (int sampleRate = 44100)
        : rate (sampleRate), signal (sampleRate)
    {
        decoder.setSampleRate (rate);
    }

    Take play (double seconds)
    {
        Take take;
        const auto n = (size_t) std::lround (seconds * rate);
        take.speed.resize (n);
        take.position.resize (n);
        take.needle.resize (n);

        float left[256], right[256];
        for (size_t done = 0; done < n;)
        {
            const int chunk = (int) std::min<size_t> (256, n - done);
            signal.render (left, right, chunk, take.needle.data() + done);
            decoder.process (left, right, take.speed.data() + done, take.position.data() + done, chunk);
            done += (size_t) chunk;
        }
        return take;
    }

    /** Needle down near the start of `word`, played until the decoder has its first position. */
    Take lockOn (long word, double speed = 1.0)
    {
        signal.setPosition (TimecodeSignal::wordStart (word) + 0.0003);
        signal.setSpeed (speed);
        return play (0.5);
    }

    int rate;
    TimecodeSignal signal;
    TimecodeDecoder decoder;
};

/** The position at `mark` names a word start, and it is the word that the
    needle has just passed over completely: the one behind it when playing
    forwards, the one it stands at the start of when playing backwards. */
void expectAnchored (const Take& take, size_t mark, bool forwards)
{
    const double expected = take.needle[mark] - (forwards ? wordSeconds : 0.0);
    const double word = std::round (expected / wordSeconds);
    EXPECT_EQ (take.position[mark], (float) (word * wordSeconds));
    EXPECT_NEAR (take.position[mark], expected, 0.002);
}
}

TEST (TimecodeDecoder, LocksOnAtAnySpeedDirectionAndRate)
{
    // Needle down on the record: nothing goes out until the word that completes
    // a run of five, then one position, anchored on the word the needle has just
    // passed completely, and from there on the record's speed.
    const struct
    {
        int rate;
        double speed;
        bool exact; // at 44.1 kHz these speeds measure whole numbers of oversampled samples
    } cases[] = {
        { 44100, 1.0, true },   { 44100, -1.0, true },  { 44100, 0.5, true },   { 44100, 2.0, true },
        { 44100, -0.5, true },  { 44100, -2.0, true },  { 22050, 1.0, false },  { 48000, 1.0, false },
        { 88200, 1.0, false },  { 96000, 1.0, false },  { 192000, 1.0, false },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.rate << " Hz, speed " << c.speed);
        Turntable deck (c.rate);
        const auto take = deck.lockOn (300, c.speed);
        const auto marks = take.marks();
        ASSERT_EQ (marks.size(), 1u);
        const size_t first = marks[0];
        for (size_t i = 0; i < first; ++i)
            ASSERT_EQ (take.speed[i], 0.0) << i;
        const double travelled = std::abs (take.needle[first] - take.needle[0]);
        EXPECT_LE (travelled, 7 * wordSeconds);
        EXPECT_GE (travelled, 5 * wordSeconds - 0.002);
        expectAnchored (take, first, c.speed > 0);
        if (c.exact)
        {
            EXPECT_EQ (take.speedsOtherThan (c.speed, first), 0u);
        }
        const auto [lowest, highest] = std::minmax_element (take.speed.begin() + (long) first, take.speed.end());
        EXPECT_GT (*lowest, c.speed - 0.01 * std::abs (c.speed));
        EXPECT_LT (*highest, c.speed + 0.01 * std::abs (c.speed));
        EXPECT_FALSE (deck.decoder.hasNoSignal());
        EXPECT_NEAR (deck.decoder.getSpeed(), c.speed, 0.01 * std::abs (c.speed));

        // Asked again, it reports the next word: later words count on in the
        // direction of play.
        deck.decoder.requestResync();
        const auto later = deck.play (0.1 / std::abs (c.speed));
        ASSERT_EQ (later.marks().size(), 1u);
        EXPECT_LE ((double) later.marks()[0], wordSeconds * c.rate / std::abs (c.speed) + 1);
        expectAnchored (later, later.marks()[0], c.speed > 0);
        EXPECT_EQ (later.position[later.marks()[0]] > take.position[first], c.speed > 0);
    }
}

TEST (TimecodeDecoder, NeedleUpDownAndTooSlowACarrier)
{
    Turntable deck;
    deck.signal.setLifted (true);
    const auto silent = deck.play (1.0);
    EXPECT_EQ (silent.speedsOtherThan (0.0), 0u);
    EXPECT_TRUE (silent.marks().empty());
    EXPECT_TRUE (deck.decoder.hasNoSignal());
    EXPECT_EQ (deck.decoder.getSpeed(), 0.0);

    // Needle down, then up again: the speed drops within the time-out.
    deck.signal.setLifted (false);
    deck.lockOn (100);
    EXPECT_FALSE (deck.decoder.hasNoSignal());
    deck.signal.setLifted (true);
    const auto lifted = deck.play (0.2);
    const size_t timeout = (size_t) deck.rate / 33;
    EXPECT_EQ (lifted.speedsOtherThan (0.0, timeout + 64), 0u);
    EXPECT_TRUE (lifted.marks().empty());
    EXPECT_TRUE (deck.decoder.hasNoSignal());
    EXPECT_EQ (deck.decoder.getSpeed(), 0.0);

    // After a long silence it picks up again at once.
    deck.play (20.0);
    deck.signal.setLifted (false);
    deck.signal.setPosition (200.0);
    const auto back = deck.play (0.5);
    ASSERT_EQ (back.marks().size(), 1u);
    expectAnchored (back, back.marks()[0], true);
    EXPECT_EQ (back.speedsOtherThan (1.0, back.marks()[0]), 0u);

    // Below about 3 % of normal speed a cycle outlasts the time-out: each cycle
    // reports its speed, and the time-out after it reports none.
    deck.signal.setSpeed (0.02);
    const auto crawl = deck.play (2.0);
    size_t run = 0, longestRun = 0, stopped = 0;
    for (size_t i = crawl.speed.size() / 2; i < crawl.speed.size(); ++i)
    {
        const double s = crawl.speed[i];
        run = s != 0.0 ? run + 1 : 0;
        longestRun = std::max (longestRun, run);
        stopped += s == 0.0 ? 1 : 0;
        if (s != 0.0)
        {
            ASSERT_NEAR (s, 0.02, 0.001) << i;
        }
    }
    EXPECT_LE (longestRun, timeout + 1);
    EXPECT_GT (stopped, crawl.speed.size() / 8);
}

TEST (TimecodeDecoder, ReversesAfterEnoughAgreeingCycles)
{
    // Fast motion needs four cycles of the new direction, slow motion one.
    struct Case { double speed; int minCycles, maxCycles; };
    for (auto c : { Case { 1.0, 3, 5 }, Case { 0.1, 0, 2 } })
    {
        SCOPED_TRACE (c.speed);
        Turntable deck;
        deck.lockOn (100);
        deck.signal.setSpeed (c.speed);
        deck.play (0.1);

        deck.signal.setSpeed (-c.speed);
        const auto take = deck.play (0.5);
        const auto firstBackwards = (size_t) (std::find_if (take.speed.begin(), take.speed.end(),
                                                            [] (double s) { return s < 0.0; })
                                              - take.speed.begin());
        ASSERT_LT (firstBackwards, take.speed.size());
        const double samplesPerCycle = deck.rate / (TimecodeSignal::cyclesPerSecond * c.speed);
        EXPECT_GE ((double) firstBackwards, c.minCycles * samplesPerCycle);
        EXPECT_LE ((double) firstBackwards, c.maxCycles * samplesPerCycle);

        // No position goes out for a turn of the record; the last cycles measure right.
        EXPECT_TRUE (take.marks().empty());
        EXPECT_NEAR (take.speed.back(), -c.speed, 1e-9);
    }
}

TEST (TimecodeDecoder, ReanchorsOnlyAfterJumpsBeyondTheTolerance)
{
    struct Case { double from, to; bool reanchors; };
    for (auto c : { Case { 20.0, 27.0, true },    // 7 s from 10 s on: beyond 4 s
                    Case { 30.0, 22.0, true },
                    Case { 20.0, 23.0, false },   // 3 s is within 4 s
                    Case { 3.0, 5.0, true },      // below 10 s the tolerance is 1 s
                    Case { 3.0, 3.7, false } })
    {
        SCOPED_TRACE (testing::Message() << c.from << " -> " << c.to);
        Turntable deck;
        deck.signal.setPosition (c.from);
        ASSERT_EQ (deck.play (0.5).marks().size(), 1u);

        deck.signal.setPosition (c.to);
        const auto take = deck.play (0.5);
        const auto marks = take.marks();
        if (! c.reanchors)
        {
            EXPECT_TRUE (marks.empty());
            continue;
        }
        ASSERT_EQ (marks.size(), 1u);
        expectAnchored (take, marks[0], true);
        // Five words in sequence and the one the needle landed in.
        EXPECT_LE (take.needle[marks[0]] - c.to, 7 * wordSeconds);
    }
}

TEST (TimecodeDecoder, AnUndecodableWordBreaksTheRun)
{
    auto acceptedWord = [] (long corrupt)
    {
        Turntable deck;
        if (corrupt >= 0)
            deck.signal.corruptWord (corrupt);
        const auto take = deck.lockOn (100);
        const auto marks = take.marks();
        return marks.size() == 1 ? std::lround (take.position[marks[0]] / wordSeconds) : -1L;
    };

    const long clean = acceptedWord (-1);
    ASSERT_GE (clean, 104);
    // A bad word inside the first run: five good words after it are needed.
    EXPECT_EQ (acceptedWord (clean - 2), clean + 3);
    EXPECT_EQ (acceptedWord (clean + 1), clean); // already accepted before it
}

TEST (TimecodeDecoder, EndWordsHoldTheSpeed)
{
    Turntable deck;
    deck.signal.setLeadOut (1000);
    deck.lockOn (985);
    deck.play (0.3); // into the lead-out, past three end words

    deck.signal.setSpeed (0.5);
    const auto leadOut = deck.play (0.5);
    EXPECT_TRUE (leadOut.marks().empty());
    EXPECT_EQ (leadOut.speedsOtherThan (1.0), 0u);

    // Back onto the record: a new position, and the speed follows again.
    deck.signal.setPosition (TimecodeSignal::wordStart (400));
    const auto back = deck.play (0.5);
    const auto marks = back.marks();
    ASSERT_EQ (marks.size(), 1u);
    expectAnchored (back, marks[0], true);
    // The cycle that completes the word still measured under the held speed.
    const size_t cycle = 80;
    EXPECT_EQ (back.speedsOtherThan (0.5, marks[0] + cycle + 1), 0u);
}

TEST (TimecodeDecoder, KeepsGoingThroughTheClockWrap)
{
    // Start the oversampled clock shortly before the signed and the unsigned wrap.
    for (std::uint32_t start : { 0x7fffffffu - 176400u, 0xffffffffu - 176400u })
    {
        SCOPED_TRACE (start);
        Turntable deck;
        deck.decoder.setClockForTesting (start);
        const auto take = deck.lockOn (100);
        ASSERT_EQ (take.marks().size(), 1u);

        const auto across = deck.play (2.0); // the wrap comes 1 s in
        EXPECT_EQ (across.speedsOtherThan (1.0), 0u);
        EXPECT_TRUE (across.marks().empty());

        deck.decoder.requestResync();
        const auto after = deck.play (0.1);
        ASSERT_EQ (after.marks().size(), 1u);
        expectAnchored (after, after.marks()[0], true);
    }
}

TEST (TimecodeDecoder, CopesWithNoiseAndLevelChanges)
{
    {
        SCOPED_TRACE ("noise 30 dB down");
        Turntable deck;
        deck.signal.setNoise (0.016f);
        deck.signal.setPosition (100.0);
        const auto take = deck.play (2.0);
        const auto marks = take.marks();
        ASSERT_EQ (marks.size(), 1u);
        expectAnchored (take, marks[0], true);
        EXPECT_NEAR (take.meanSpeed (marks[0]), 1.0, 0.005);
    }
    {
        SCOPED_TRACE ("quiet signal");
        Turntable deck;
        deck.signal.setLevel (0.03f);
        const auto take = deck.lockOn (100);
        ASSERT_EQ (take.marks().size(), 1u);
        expectAnchored (take, take.marks()[0], true);
    }
    {
        SCOPED_TRACE ("below the signal threshold");
        Turntable deck;
        deck.signal.setLevel (0.005f);
        const auto take = deck.lockOn (100);
        EXPECT_TRUE (take.marks().empty());
        EXPECT_TRUE (deck.decoder.hasNoSignal());
    }
    {
        SCOPED_TRACE ("6 dB steps down and up");
        Turntable deck;
        deck.lockOn (100);
        for (float level : { 0.25f, 0.5f, 0.25f })
        {
            // A step mid-cycle may move one zero crossing by an oversampled sample.
            deck.signal.setLevel (level);
            const auto take = deck.play (0.3);
            EXPECT_TRUE (take.marks().empty());
            const auto [lowest, highest] = std::minmax_element (take.speed.begin(), take.speed.end());
            EXPECT_GT (*lowest, 0.98);
            EXPECT_LT (*highest, 1.02);
            EXPECT_EQ (take.speedsOtherThan (1.0, take.speed.size() / 2), 0u);
        }
        deck.decoder.requestResync();
        const auto take = deck.play (0.1);
        ASSERT_EQ (take.marks().size(), 1u);
        expectAnchored (take, take.marks()[0], true);
    }
}

TEST (TimecodeDecoder, RateChangeKeepsTheLock)
{
    Turntable deck;
    deck.lockOn (100);
    deck.decoder.setSampleRate (48000);
    deck.signal.setSampleRate (48000);
    deck.rate = 48000;
    const auto take = deck.play (1.0);
    EXPECT_TRUE (take.marks().empty());
    // The high-pass starts afresh, so allow a few cycles to settle.
    EXPECT_NEAR (take.meanSpeed (480), 1.0, 0.005);
}

TEST (TimecodeDecoder, LeavesTheInputAsItCame)
{
    // The deck's signal may still be played through, unfiltered.
    TimecodeSignal signal (44100);
    signal.setPosition (10.0);
    float left[256], right[256];
    signal.render (left, right, 256);
    const std::vector<float> leftBefore (left, left + 256), rightBefore (right, right + 256);

    TimecodeDecoder decoder;
    double speed[256];
    float position[256];
    decoder.process (left, right, speed, position, 256);
    EXPECT_TRUE (std::equal (leftBefore.begin(), leftBefore.end(), left));
    EXPECT_TRUE (std::equal (rightBefore.begin(), rightBefore.end(), right));
}
