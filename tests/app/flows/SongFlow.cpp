#include "app/flows/SongFlow.h"

#include "library/database/ID3DataBase.h"
#include "support/AudioFixtures.h"
#include "support/SignalMeasures.h"
#include "support/SignalScan.h"

#include <cmath>
#include <thread>

namespace zund::test
{
juce::File SongFlow::writeSamples (const juce::String& name, double seconds,
                                   const std::function<float (double time, double fraction)>& sampleAt)
{
    constexpr double rate = 44100.0;
    const auto frames = (juce::int64) (seconds * rate);
    const auto file = getSongFolder().getChildFile (name);
    const bool written = writeAudioFile (file, FileKind::wav, rate, 2, 16, frames, [&] (juce::int64 frame, int) {
        return sampleAt ((double) frame / rate, (double) frame / (double) frames);
    });
    EXPECT_TRUE (written) << name;
    return file;
}

juce::File SongFlow::writeTrack (const juce::String& name, double seconds, const std::vector<Part>& parts,
                                 float amplitude)
{
    return writeSamples (name, seconds, [&] (double time, double fraction) {
        double frequency = parts.back().frequency;
        for (auto it = parts.rbegin(); it != parts.rend(); ++it)
            if (fraction < it->untilFraction)
                frequency = it->frequency;
        return amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * time);
    });
}

juce::File SongFlow::writeChordTrack (const juce::String& name, double seconds, const std::vector<double>& frequencies,
                                      float amplitude)
{
    return writeSamples (name, seconds, [&] (double time, double) {
        float sum = 0.0f;
        for (const double frequency : frequencies)
            sum += amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * time);
        return sum;
    });
}

void SongFlow::writeLibrary (const std::vector<juce::File>& records)
{
    juce::XmlElement tree ("TreeView");
    tree.setAttribute ("lastWidth", 250);
    auto* folder = tree.createNewChildElement ("songFolders")->createNewChildElement ("SongFolder0");
    folder->setAttribute ("name", songFolderName);
    folder->setAttribute ("path", getSongFolder().getFullPathName());
    tree.createNewChildElement ("cases");
    writeProgramFile ("TreeView.xml", tree.toString());

    ID3DataBase database (getProgramFolder().getChildFile ("database.xml"));
    for (const auto& file : records)
        database.addFile (file, true);
    database.markDirty();
    EXPECT_TRUE (database.save()) << database.getLastSaveError();
}

void SongFlow::writeMixerPreferences (int numChannels, juce::Rectangle<int> bounds, const RoutingSetup& routing)
{
    auto preferences = makePreferences (routing);
    preferences->setAttribute ("NumChannels", numChannels);
    preferences->setAttribute ("lastX", bounds.getX());
    preferences->setAttribute ("lastY", bounds.getY());
    preferences->setAttribute ("lastWidth", bounds.getWidth());
    preferences->setAttribute ("lastHeight", bounds.getHeight());
    writePreferences (*preferences);
}

std::optional<juce::Rectangle<int>> SongFlow::selectSong (const juce::File& song)
{
    const auto probe = browserProbe();
    const auto folder = probe->treeItem (songFolderName);
    if (! folder)
    {
        ADD_FAILURE() << "no song folder in the tree";
        return std::nullopt;
    }
    input->click (window->id, folder->getX() + 20, folder->getCentreY());
    const auto row = probe->songRow (songFolderName, song);
    if (! row)
    {
        ADD_FAILURE() << song.getFileName() << " is not in the song table";
        return std::nullopt;
    }
    // The program's table fills in its own time; a click on a row that is not
    // there yet selects nothing.
    if (! waitUntil (
            [&] {
                const auto screen = screenNow();
                return screen && showsInk (*screen, *row);
            },
            std::chrono::seconds (20)))
    {
        ADD_FAILURE() << "the program does not show " << song.getFileName();
        return std::nullopt;
    }
    input->click (window->id, row->getX() + 40, row->getCentreY());
    return row;
}

void SongFlow::loadSong (const juce::File& song, int channel)
{
    ASSERT_TRUE (selectSong (song).has_value());
    std::set<unsigned long> shownBefore; // a message box, say
    for (const auto& w : x->listWindows())
        shownBefore.insert (w.id);
    pressKey ("Return");
    const auto dialog = waitForOtherWindow (shownBefore);
    ASSERT_TRUE (dialog.has_value()) << "Enter on " << song.getFileName() << " asked for no channel";
    input->focus (dialog->id);
    ASSERT_TRUE (input->pressKey (std::to_string (channel + 1)));
    ASSERT_TRUE (waitUntil (
        [&] {
            for (const auto& w : x->listWindows())
                if (w.id == dialog->id)
                    return false;
            return true;
        },
        std::chrono::seconds (10)))
        << "the channel dialog stayed";
}

int SongFlow::countShownRows (const BrowserProbe& probe, int upTo)
{
    auto count = [&] {
        int shown = 0;
        if (const auto screen = screenNow())
            for (int row = 0; row < upTo; ++row)
                shown += showsInk (*screen, probe.tableRow (row)) ? 1 : 0;
        return shown;
    };
    int last = -1, now = count();
    for (int round = 0; round < 20 && now != last; ++round)
    {
        std::this_thread::sleep_for (std::chrono::seconds (1));
        last = now;
        now = count();
    }
    return now;
}

double SongFlow::onMain (const Recording& heard, double frequency) const
{
    return toneAmplitude (heard.getChannel (0), heard.getNumFrames(), frequency, heard.sampleRate);
}

double SongFlow::frequencyOnMain (const Recording& heard) const
{
    // Over the longest stretch without a gap: a block the machine did not let
    // the program fill in time would count as missing cycles.
    const auto* samples = heard.getChannel (0);
    const int numFrames = heard.getNumFrames();
    int start = 0, bestStart = 0, bestLength = 0;
    auto stretchEndsAt = [&] (int end) {
        if (end - start > bestLength)
        {
            bestStart = start;
            bestLength = end - start;
        }
    };
    for (const auto& gap : findZeroRuns (samples, numFrames, 16))
    {
        stretchEndsAt (gap.start);
        start = gap.start + gap.length;
    }
    stretchEndsAt (numFrames);
    return zeroCrossingFrequency (samples + bestStart, bestLength, heard.sampleRate);
}

Recording SongFlow::recordUntilHeard (double frequency, double amplitude)
{
    recordWhen ([&] (const Recording& r) { return onMain (r, frequency) > amplitude; });
    return jack->record (0.5); // all of it after the tone came in
}
}
