#include "MixerHostStandIn.h"
#include "preferences/DeckSignal.h"

#include "support/SignalMeasures.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/preferences/PreferencesApplier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace zund;

namespace
{
using test::DeckSignal;
using test::peakOf;
constexpr int blockSize = DeckSignal::blockSize;
constexpr int numBlocks = DeckSignal::numBlocks;
}

TEST (PreferencesApplier, RoutingIndexGivesTheEnginePairOrNone)
{
    struct Case
    {
        int index, numPairs, firstChannel;
    };
    for (const auto& c : { Case { 0, 4, -2 }, Case { 1, 4, 0 }, Case { 2, 4, 2 }, Case { 4, 4, 6 },
                           Case { 5, 4, -2 }, Case { 1, 0, -2 }, Case { -1, 4, -2 }, Case { 40, 64, 78 } })
        EXPECT_EQ (routingToFirstChannel (c.index, c.numPairs), c.firstChannel) << c.index << " of " << c.numPairs;
}

TEST (PreferencesApplier, DecksAndOutputsAreRoutedInTheEngine)
{
    auto engine = std::make_unique<Engine>();
    test::MixerHostStandIn host (*engine);
    MidiControlSurfaceManager midi;

    PreferencesModel model;
    model.deckInput = { 3, 4, 1, 1 };
    model.invertPhaseLeft = { true, false, false, false };
    model.softPreamp = { false, false, true, false };
    model.channelOutput = { 2, 0, 0, 0 };    // channel 1 on device outputs 3/4
    model.mainOutput = 0;                    // "NONE"
    // The device reports three input pairs; deck 2's fourth is not one of them
    // (the buffers carry eight channels all the same).
    applyPreferences (model, host, *engine, midi, DevicePairs { 3, 4 });

    DeckSignal::Probe probes[4];
    for (int d = 0; d < 4; ++d)
        engine->setXYView (d, &probes[d]);
    engine->setThru (0, true); // channel 1 plays deck 1's input
    const auto out = DeckSignal::run (*engine);

    // Deck 1 reads inputs 5/6, its left side inverted.
    ASSERT_EQ (probes[0].left.size(), (size_t) (blockSize * numBlocks));
    float worst = 0.0f;
    for (int i = 0; i < blockSize * numBlocks; ++i)
    {
        worst = std::max (worst, std::abs (probes[0].left[(size_t) i] + DeckSignal::input (4, i)));
        worst = std::max (worst, std::abs (probes[0].right[(size_t) i] - DeckSignal::input (5, i)));
    }
    EXPECT_LT (worst, 1e-6f);

    // Deck 2's missing pair is no pair at all.
    EXPECT_EQ (peakOf (probes[1].left) + peakOf (probes[1].right), 0.0f);

    // Decks 3 and 4 share inputs 1/2; only deck 3 passes its phono preamp (x20).
    EXPECT_NEAR (peakOf (probes[3].right), 0.02f, 1e-4f);
    EXPECT_GT (peakOf (probes[2].right), 5.0f * peakOf (probes[3].right));

    // Channel 1 is heard on its own pair only; the main bus goes nowhere.
    EXPECT_GT (peakOf (out[3]), 0.05f);
    for (int ch : { 0, 1, 4, 5, 6, 7 })
        EXPECT_EQ (peakOf (out[(size_t) ch]), 0.0f) << ch;

    for (int d = 0; d < 4; ++d)
        engine->setXYView (d, nullptr);
}
