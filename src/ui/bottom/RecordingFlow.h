#pragma once

#include "common/events/SharedTimer.h"

#include <juce_events/juce_events.h>

#include <functional>
#include <memory>

namespace zund
{
class BottomBarDialogs;
class BottomBarHost;
class Engine;
class RecordInputChooser;

/** What happens when the record button goes on: the source and quality are
    asked for, then the file, and the engine's recorder starts. Each answer
    arrives in a callback, so nothing here waits inside a mouse handler.
    `finished` tells the button whether a recording runs: false when a step
    was cancelled or the recorder could not start (which the user is told,
    with the reason). Message thread. */
class RecordingFlow : private SharedTimer
{
public:
    /** How often a running recording is checked for having stopped by itself. */
    static constexpr int haltCheckMs = 100;

    RecordingFlow (Engine& engine, BottomBarHost& host, BottomBarDialogs& dialogs);
    ~RecordingFlow();

    /** Starts asking; `finished` is called once, at the end. */
    void begin (std::function<void (bool recording)> finished);
    /** The button went off while the questions were open: their answers are
        ignored and nothing is recorded. */
    void abandon();
    bool isAsking() const noexcept { return asking; }

    /** Stops a running recording; a recording that could not be written
        completely is reported. */
    void stop();

    /** The file of the running (or last) recording. */
    const juce::File& getRecordingFile() const noexcept { return recordingFile; }

    /** Runs when the recorder has stopped taking audio by itself (a full
        disk, the size limit): the recording has been finished and the user
        told why; the record button must go off. */
    std::function<void()> onHalted;

    /** The file that is recorded into: its extension replaced by ".wav", or
        ".wav" added; ".WAV" is kept, so an existing file chosen to be replaced
        is that file. */
    static juce::File withWaveExtension (const juce::File& chosen);
    /** Why a file could not be opened for recording, as far as can be told. */
    static juce::String describeStartFailure (const juce::File& file);

private:
    void sourceChosen();
    void fileChosen (const juce::File& chosen);
    void startRecording (const juce::File& file);
    void finish (bool recording);
    void timerCallback() override;
    /** Whether an answer still belongs to the questions being asked. */
    bool isCurrent (int answersRun) const noexcept { return asking && answersRun == run; }

    Engine& engine;
    BottomBarHost& host;
    BottomBarDialogs& dialogs;

    std::unique_ptr<RecordInputChooser> chooser;
    std::function<void (bool)> onFinished;
    bool asking = false;
    int run = 0; // counts the runs, so that a late answer of an earlier one is ignored
    int bitsPerSample = 16;
    bool recordMix = true;
    juce::File recordingFile;

    JUCE_DECLARE_NON_COPYABLE (RecordingFlow)
};
}
