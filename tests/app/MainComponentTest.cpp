#include "app/main/MainComponent.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/StringTableRow.h"
#include "library/browser/ZundBrowser.h"
#include "library/database/ID3DataBase.h"
#include "support/AudioFixtures.h"
#include "support/SignalMeasures.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/channel/Channel.h"
#include "ui/widgets/ExComponent.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;

TEST (MainComponent, MainVolumeStartsAt0707)
{
    // Without an audio device (none on a test machine), the test plays the device:
    // channel 0 passes a 1 kHz tone of 0.5 on deck 0's inputs to the main pair.
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto& engine = main.getEngine();
    engine.setDeckInput (0, 0);
    engine.setThru (0, true);
    engine.setMainOutput (0);

    constexpr int blockSize = 256, numBlocks = 200;
    std::vector<float> in (blockSize), outLeft (blockSize), outRight (blockSize), recorded;
    const float* inputs[] = { in.data(), in.data() };
    float* outputs[] = { outLeft.data(), outRight.data() };
    for (int b = 0; b < numBlocks; ++b)
    {
        for (int i = 0; i < blockSize; ++i)
            in[(size_t) i] = 0.5f * (float) std::sin (2.0 * M_PI * 1000.0 * (b * blockSize + i) / 44100.0);
        std::fill (outLeft.begin(), outLeft.end(), 0.0f);
        std::fill (outRight.begin(), outRight.end(), 0.0f);
        engine.processBlock (inputs, 2, outputs, 2, blockSize, false);
        recorded.insert (recorded.end(), outLeft.begin(), outLeft.end());
    }
    EXPECT_NEAR (test::toneAmplitude (recorded.data() + 25600, 25600, 1000.0, 44100.0), 0.5 * 0.707, 0.003);
}

// The crossfader panel sits right under the channel strips, across the whole
// width while the master strip is hidden, and leaves with its section.
TEST (MainComponent, TheCrossfaderPanelSitsUnderTheStripsAcrossTheWidth)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    main.setSize (1022, 730);
    main.setSectionVisible (7, false);

    auto* crossfader = ExComponent::getComponentByID (ControlIds::crossfader);
    ASSERT_NE (crossfader, nullptr);
    auto* panel = crossfader->getParentComponent();
    auto* strips = main.getChannel (0)->getParentComponent();
    EXPECT_EQ (panel->getParentComponent(), &main);
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, strips->getBottom(), 1022, panel->getHeight()));
    EXPECT_GT (strips->getHeight(), 0);

    main.setSectionVisible (10, false);
    EXPECT_FALSE (panel->isVisible());
    main.setSectionVisible (10, true);
    EXPECT_TRUE (panel->isVisible());
}

// A load reaches the browser's song database: the track plays at its record's
// tempo, and its cue points are kept there.
TEST (MainComponent, LoadsUseTheBrowsersSongDatabase)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto* database = main.getDatabase();
    ASSERT_NE (database, nullptr);

    const auto file = folder.file ("track.wav");
    ASSERT_TRUE (test::writeAudioFile (file, test::FileKind::wav, 44100.0, 2, 16, 44100, test::sineSignal (440.0, 44100.0, 0.25f)));
    {
        const juce::ScopedLock sl (database->getLock());
        bool wasScanned = false;
        database->addOrUpdateFile (file, wasScanned, false, false)->bpm = "126";
    }
    ASSERT_TRUE (main.loadFileIntoDeck (file.getFullPathName(), 1));
    EXPECT_EQ (main.getEngine().getTrackBpm (1), 126.0);

    main.setCuePoint (1, 2, 0.25f);
    const juce::ScopedLock sl (database->getLock());
    EXPECT_EQ (database->getEntry (database->findIndex (file.getFullPathName()))->cuePoint[2], 0.25f);
}

// The song table marks the rows of the file that was loaded, not whichever
// row the user has selected by the time the load ends.
TEST (MainComponent, ALoadMarksTheRowOfTheLoadedFileNotTheSelectedOne)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    ZundBrowser* browser = nullptr;
    for (auto* child : main.getChildren())
        if (auto* b = dynamic_cast<ZundBrowser*> (child))
            browser = b;
    ASSERT_NE (browser, nullptr);

    const auto loaded = folder.file ("loaded.wav"), selected = folder.file ("selected.wav");
    for (const auto& file : { loaded, selected })
        ASSERT_TRUE (test::writeAudioFile (file, test::FileKind::wav, 44100.0, 2, 16, 4410,
                                           test::sineSignal (440.0, 44100.0, 0.25f)));
    auto& table = browser->getSongTable();
    juce::StringArray songs { loaded.getFullPathName(), selected.getFullPathName() };
    table.setKeepOrder (true);
    table.showCase (&songs);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return ! table.isWorking() && table.getRowCount() == 2; }, 10000));
    test::pumpMessages (20);
    ASSERT_EQ (table.getFullPathOfRow (0), loaded.getFullPathName());

    table.selectRow (1);
    ASSERT_TRUE (main.loadFileIntoDeck (loaded.getFullPathName(), 0));
    EXPECT_EQ (table.getRowState (0), StringTableRow::loadedInChannel);
    EXPECT_EQ (table.getRowState (1), StringTableRow::normal);
}

// A tap lights TAP for four ticks of the main component's 20 ms timer (80 ms),
// then TAP goes off as a released button does, without counting a second tap.
TEST (MainComponent, TapStaysLitForFourTimerTicks)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto* tap = ExComponent::getComponentByID (ControlIds::tap);
    ASSERT_NE (tap, nullptr);

    tap->setValue (1.0f, true);
    for (int tick = 1; tick <= 3; ++tick)
    {
        main.timerCallback();
        EXPECT_TRUE (tap->isOn()) << "after tick " << tick;
    }
    main.timerCallback();
    EXPECT_FALSE (tap->isOn());
    main.timerCallback();
    EXPECT_FALSE (tap->isOn());
}
