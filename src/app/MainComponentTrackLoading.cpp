#include "app/MainComponent.h"

#include "common/AudioFileTypes.h"
#include "ui/dialogs/LoadFileComponent.h"

namespace zund
{
//==============================================================================
// Tracks onto the channels; the track loader does the work.

bool MainComponent::loadFileIntoDeck (const juce::String& path, int channel)
{
    return trackLoader.loadFileIntoDeck (path, channel);
}

double MainComponent::getTrackBpm (const juce::File& file)
{
    return trackLoader.getTrackBpm (file);
}

float MainComponent::getCuePoint (int channel, int index)
{
    return trackLoader.getCuePoint (channel, index);
}

void MainComponent::setCuePoint (int channel, int index, float position)
{
    trackLoader.setCuePoint (channel, index, position);
}

void MainComponent::refreshWaveDisplay (int channel)
{
    trackLoader.refreshWaveDisplay (channel);
}

void MainComponent::showPauseFirst (int channel)
{
    trackLoader.showPauseFirst (channel);
}

void MainComponent::loadSelectedSongOntoChosenChannel()
{
    // The browser's selected song, once the browser is part of the program.
    const juce::String path;
    if (! juce::File::isAbsolutePath (path) || ! isSupportedAudioFile (juce::File (path)))
        return;

    if (const int channel = loadFileDialog->chooseChannel(); channel >= 0)
        loadFileIntoDeck (path, channel);
}

//==============================================================================
// The browser's part; it joins the program with the browser, which owns the
// song database and marks the loaded rows (their records are marked already).

ID3DataBase* MainComponent::getDatabase() const
{
    return nullptr;
}

void MainComponent::markSongLoaded (const juce::String&) {}

void MainComponent::addToCurrentPlaylist (const juce::String&) {}
}
