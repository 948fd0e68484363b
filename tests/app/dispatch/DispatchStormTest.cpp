// Mapped MIDI drives the dispatcher on its own thread while the message
// thread paints the strips and serves what the dispatcher posts. Run under
// ThreadSanitizer, this finds any component the MIDI side touches.

#include "DispatchRig.h"
#include "support/UiEvents.h"
#include "ui/widgets/ExComponentTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zund;
using namespace zund::test;

TEST (DispatchStorm, MidiThreadDispatchesWhileTheMessageThreadPaints)
{
    DispatchRig rig;
    rig.strip (0).setSize (DispatchRig::stripWidth, 600);
    rig.strip (1).setSize (DispatchRig::stripWidth, 600);

    // Faders, gains, the deck radios, CONTROL, CLOCK, SYNC, the filter kind,
    // the EQ mode and the loop switches: values, posted looks and relabels.
    const int ids[] = { 52, 101, 145, 60, 161, 162, 53, 153, 57, 156, 39, 164, 35, 136, 155, 40, 47 };
    std::atomic<bool> stop { false };
    std::atomic<int> rounds { 0 };
    std::thread midiThread ([&] {
        for (int round = 0; ! stop.load(); ++round)
        {
            for (int id : ids)
                rig.fromMidi (id, (float) ((round * 7 + id) % 128) / 127.0f);
            ++rounds;
        }
    });

    for (int frame = 0; frame < 20 || rounds.load() < 20; ++frame)
    {
        ExComponentTimer::repaintDirtyWidgets();
        snapshotOf (rig.strip (0));
        snapshotOf (rig.strip (1));
        pumpMessages (1);
    }
    stop = true;
    midiThread.join();
    pumpMessages (50);

    // What the strips show is the engine's state.
    for (int c = 0; c < 2; ++c)
    {
        auto& player = rig.strip (c).getPlayerContainer();
        const int deck = rig.engine().getChannelInputDeck (c);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ (player.getDeckButton (k).isOn(), k == deck) << c << " " << k;
        EXPECT_EQ (player.getControlButton().isVisible(), rig.engine().getControlState (c) != -1) << c;
        EXPECT_EQ (player.getClockButton().isOn(), rig.engine().getClockChannel() == c) << c;
    }
    EXPECT_TRUE (rig.feedback.take().size() > 0) << "the explicit lamps still go out";
}
