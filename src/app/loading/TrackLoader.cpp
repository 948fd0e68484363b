#include "app/loading/TrackLoader.h"

#include "app/loading/TrackLoaderHost.h"
#include "audiofile/peaks/PeakFile.h"
#include "engine/Engine.h"
#include "library/database/ID3DataBase.h"
#include "ui/channel/Channel.h"
#include "ui/preferences/PreferencesModel.h"

#include <cmath>

namespace zund
{
namespace
{
bool isChannel (int channel) noexcept
{
    return channel >= 0 && channel < TrackLoader::numChannels;
}

bool isCueMarker (int index) noexcept
{
    return index >= 0 && index < TrackLoader::numCueMarkers;
}

/** A cue point that is not a number (a damaged database, a broken caller) is unset. */
float cueOrUnset (float position) noexcept
{
    return std::isfinite (position) ? position : TrackLoader::unsetCue;
}
}

TrackLoader::TrackLoader (Engine& engineToUse, PeakFile (&peakFilesToUse)[numChannels],
                          const PreferencesModel& optionsToUse, TrackLoaderHost& hostToUse)
    : engine (engineToUse),
      peakFiles (peakFilesToUse),
      options (optionsToUse),
      host (hostToUse)
{
}

bool TrackLoader::loadFileIntoDeck (const juce::String& path, int channel)
{
    if (! isChannel (channel) || ! juce::File::isAbsolutePath (path))
        return false;
    const juce::File file (path);
    if (! file.exists())
        return false; // gone since it was chosen: nothing to say

    // The record is made, or read again when the file changed on disk.
    if (auto* database = host.getDatabase())
        database->addFile (file, true);

    if (options.warnOnLoad && isChannelMoving (channel))
    {
        showPauseFirst (channel);
        return false;
    }

    if (! engine.loadTrack (channel, file, getTrackBpm (file)))
    {
        // The engine keeps the old track, and the channel keeps its file.
        if (auto* strip = host.getChannel (channel))
            strip->getWaveDisplay().showLoadingError();
        return false;
    }

    // From here on the channel's cue points are this file's.
    setChannelFile (channel, file);
    peakFiles[channel].load (file);
    refreshWaveDisplay (channel);

    if (options.resetOnLoad)
        resetStripControls (channel);

    if ((int) engine.getTrackBpm (channel) > 0)
        engine.setClockChannel (channel);
    host.refreshDeckIndicators();

    const auto fullPath = file.getFullPathName();
    markLoadedInDatabase (file);
    host.markSongLoaded (fullPath);
    host.addToCurrentPlaylist (fullPath);

    if (auto* strip = host.getChannel (channel))
        strip->getWaveDisplay().setTrackTitle (file.getFileName());
    startChannel (channel);
    return true;
}

double TrackLoader::getTrackBpm (const juce::File& file)
{
    auto* database = host.getDatabase();
    if (database == nullptr)
        return 0.0;

    double bpm = 0.0;
    {
        const juce::ScopedLock sl (database->getLock());
        bool wasScanned = false;
        const auto* record = database->addOrUpdateFile (file, wasScanned, false, true);
        if (record == nullptr)
            return 0.0;
        bpm = record->getBpmValue();
    }
    if (! (bpm > 0.0))
        return 0.0; // negative, or not a number at all
    return std::min (bpm, maximumBpm);
}

float TrackLoader::getCuePoint (int channel, int index)
{
    if (! isChannel (channel) || ! isCueMarker (index))
        return unsetCue;
    auto* database = host.getDatabase();
    const auto file = getChannelFile (channel);
    if (database == nullptr || ! file.existsAsFile())
        return unsetCue;

    const juce::ScopedLock sl (database->getLock());
    bool wasScanned = false;
    const auto* record = database->addOrUpdateFile (file, wasScanned, false, false);
    return record != nullptr ? cueOrUnset (record->cuePoint[index]) : unsetCue;
}

void TrackLoader::setCuePoint (int channel, int index, float position)
{
    if (! isChannel (channel) || ! isCueMarker (index))
        return;
    auto* database = host.getDatabase();
    const auto file = getChannelFile (channel);
    if (database == nullptr || ! file.existsAsFile())
        return;

    const juce::ScopedLock sl (database->getLock());
    bool wasScanned = false;
    if (auto* record = database->addOrUpdateFile (file, wasScanned, false, false))
    {
        record->cuePoint[index] = juce::jlimit (-1.0f, 1.0f, cueOrUnset (position));
        database->markDirty();
    }
}

void TrackLoader::refreshWaveDisplay (int channel)
{
    for (int index = 0; index < numCueMarkers; ++index)
        host.setOverviewCuePosition (channel, index, getCuePoint (channel, index));
}

void TrackLoader::showPauseFirst (int channel)
{
    if (auto* strip = host.getChannel (channel))
        strip->getWaveDisplay().showPauseFirst();
}

juce::File TrackLoader::getChannelFile (int channel) const
{
    if (! isChannel (channel))
        return {};
    const juce::ScopedLock sl (fileLock);
    return channelFiles[(size_t) channel];
}

void TrackLoader::setChannelFile (int channel, const juce::File& file)
{
    const juce::ScopedLock sl (fileLock);
    channelFiles[(size_t) channel] = file;
}

bool TrackLoader::isChannelMoving (int channel) const
{
    // The speed of the channel's timecode deck: a playing channel whose record
    // stands still, or that has no signal, may be replaced.
    return engine.isPlaying (channel) && engine.isTrackLoaded (channel)
           && std::abs (engine.getDecoderSpeed (channel)) > movingSpeed;
}

void TrackLoader::markLoadedInDatabase (const juce::File& file)
{
    // The record of this very file: whichever row the browser has selected
    // by now may be another song.
    auto* database = host.getDatabase();
    if (database == nullptr)
        return;
    const juce::ScopedLock sl (database->getLock());
    if (auto* record = database->getEntry (database->findIndex (file.getFullPathName())))
        record->loadedInDeck = true;
}

void TrackLoader::resetStripControls (int channel)
{
    auto* strip = host.getChannel (channel);
    if (strip == nullptr)
        return;
    // Each reset control goes through the dispatcher; learn mode must not take it.
    const bool wasLearning = host.isLearnMode();
    host.setLearnMode (false);
    strip->resetControls();
    host.setLearnMode (wasLearning);
}

void TrackLoader::startChannel (int channel)
{
    // Through the dispatcher, which starts the channel and echoes PLAY to MIDI.
    if (auto* strip = host.getChannel (channel))
        strip->getPlayerContainer().getPlayButton().setValue (1.0f, true);
}
}
