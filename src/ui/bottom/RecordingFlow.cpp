#include "ui/bottom/RecordingFlow.h"

#include "engine/Engine.h"
#include "ui/bottom/BottomBarDialogs.h"
#include "ui/bottom/BottomBarHost.h"
#include "ui/dialogs/RecordInputChooser.h"

namespace zund
{
RecordingFlow::RecordingFlow (Engine& engineToUse, BottomBarHost& hostToUse, BottomBarDialogs& dialogsToUse)
    : engine (engineToUse), host (hostToUse), dialogs (dialogsToUse)
{
}

RecordingFlow::~RecordingFlow()
{
    stopTimer();
}

void RecordingFlow::begin (std::function<void (bool)> finished)
{
    if (asking)
        return;
    asking = true;
    onFinished = std::move (finished);

    chooser = std::make_unique<RecordInputChooser>();
    chooser->setInputChannelNames (host.getInputChannelNames());
    dialogs.chooseRecordSource (*chooser, [this, thisRun = run] {
        if (isCurrent (thisRun))
            sourceChosen();
    });
}

void RecordingFlow::abandon()
{
    // Answers to the questions still open belong to the abandoned run.
    ++run;
    asking = false;
    onFinished = nullptr;
}

void RecordingFlow::sourceChosen()
{
    const bool confirmed = chooser->wasConfirmed();
    const int source = chooser->getSelectedSourceId();
    bitsPerSample = chooser->getBitsPerSample();
    chooser.reset();

    // The pair is taken even when the dialog was cancelled; nothing records from it then.
    host.setRecordingInputPair (RecordInputChooser::firstInputChannelOf (source));
    recordMix = source <= RecordInputChooser::mainOutputId;

    if (! confirmed)
    {
        finish (false);
        return;
    }
    dialogs.chooseRecordFile ([this, thisRun = run] (const juce::File& chosen) {
        if (isCurrent (thisRun))
            fileChosen (chosen);
    });
}

void RecordingFlow::fileChosen (const juce::File& chosen)
{
    if (chosen == juce::File())
    {
        finish (false);
        return;
    }

    // The question is about the file that will really be replaced.
    const auto file = withWaveExtension (chosen);
    if (! file.existsAsFile())
    {
        startRecording (file);
        return;
    }
    dialogs.confirmOverwrite (file, [this, thisRun = run, file] (bool replace) {
        if (! isCurrent (thisRun))
            return;
        if (replace)
            startRecording (file);
        else
            finish (false);
    });
}

void RecordingFlow::startRecording (const juce::File& file)
{
    if (engine.startRecording (file.getFullPathName(), bitsPerSample, recordMix))
    {
        recordingFile = file;
        startTimer (haltCheckMs);
        finish (true);
        return;
    }
    dialogs.showWarning ("Error!", "Couldn't start recording to\n" + file.getFullPathName() + "\n\n"
                                       + describeStartFailure (file));
    finish (false);
}

void RecordingFlow::finish (bool recording)
{
    asking = false;
    ++run;
    if (auto done = std::move (onFinished))
        done (recording);
}

void RecordingFlow::stop()
{
    stopTimer();
    if (! engine.stopRecording())
        dialogs.showWarning ("Error!", "The recording could not be written completely (is the disk full?):\n"
                                           + recordingFile.getFullPathName());
}

// The user learns at once, not when pressing stop, that nothing more is recorded.
void RecordingFlow::timerCallback()
{
    const auto halt = engine.getRecordingHalt();
    if (halt == Engine::RecordingHalt::none)
        return;

    stopTimer();
    engine.stopRecording(); // the file is finished up to where writing stopped
    const auto reason = halt == Engine::RecordingHalt::sizeLimit
                            ? juce::String ("The file has reached the largest size a WAV file can have.")
                            : juce::String ("The file could not be written any further (is the disk full?).");
    dialogs.showWarning ("Recording stopped", reason + "\n\n" + recordingFile.getFullPathName()
                                                  + "\n\nThe recording up to that point is kept.");
    if (onHalted != nullptr)
        onHalted();
}

juce::File RecordingFlow::withWaveExtension (const juce::File& chosen)
{
    if (chosen.getFileExtension() == ".WAV")
        return chosen;
    return chosen.withFileExtension (".wav");
}

juce::String RecordingFlow::describeStartFailure (const juce::File& file)
{
    if (file.isDirectory())
        return "A folder of that name is in the way.";
    if (! file.getParentDirectory().isDirectory())
        return "The folder does not exist.";
    if (! file.hasWriteAccess())
        return file.existsAsFile() ? "The file is write-protected." : "The folder is write-protected.";
    return "The file could not be opened for writing.";
}
}
