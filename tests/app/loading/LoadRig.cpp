#include "LoadRig.h"

#include "support/AudioFixtures.h"
#include "ui/panels/ControlIds.h"

#include <algorithm>

namespace zund::test
{
LoadRig::LoadRig()
    : database (std::make_unique<ID3DataBase> (folder.file ("database.xml")))
{
    for (auto& row : overviewMarkers)
        std::fill (std::begin (row), std::end (row), 0.5f);
}

juce::File LoadRig::writeTrack (const juce::String& name, double seconds)
{
    const auto file = folder.file ("songs").getChildFile (name);
    file.getParentDirectory().createDirectory();
    writeAudioFile (file, FileKind::wav, 44100.0, 2, 16, (juce::int64) (seconds * 44100.0),
                    sineSignal (440.0, 44100.0, 0.25f));
    return file;
}

juce::File LoadRig::writeNonAudio (const juce::String& name)
{
    const auto file = folder.file ("songs").getChildFile (name);
    file.getParentDirectory().createDirectory();
    file.replaceWithText ("this is no audio file, only its name says so");
    return file;
}

ID3DataBaseEntry& LoadRig::recordOf (const juce::File& file)
{
    const juce::ScopedLock sl (database->getLock());
    bool wasScanned = false;
    return *database->addOrUpdateFile (file, wasScanned, false, false);
}

void LoadRig::spinDeck (int c, double speed)
{
    auto& e = rig.engine();
    e.overrideDeckSignal (e.getChannelInputDeck (c), [speed] (double* speeds, float* positions, int n) {
        std::fill (speeds, speeds + n, speed);
        std::fill (positions, positions + n, -1000.0f);
    });
    rig.process (512); // the deck reports the speed it was last given
    rig.widget (ControlIds::of (c, ControlIds::play)).setValue (1.0f, true);
}

void LoadRig::setOverviewCuePosition (int channel, int index, float position)
{
    overviewMarkers[channel][index] = position;
}
}
