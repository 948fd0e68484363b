// Recording in the real program: the user switches the record button on,
// confirms the main output in the source chooser, names the file in the file
// chooser, lets the mix play and switches the button off again. The file holds
// what the main output played.

#include "app/harness/EndToEndTest.h"
#include "app/harness/RecordDialogsProbe.h"
#include "support/SignalMeasures.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/panels/ControlIds.h"

#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class RecordingByUser : public test::EndToEndTest
{
protected:
    std::optional<test::WindowInfo> waitForDialog (const std::string& title)
    {
        std::optional<test::WindowInfo> dialog;
        test::waitUntil ([&] { return (dialog = x->findWindow (title)).has_value(); }, 10s);
        return dialog;
    }

    void clickRecordButton()
    {
        const auto record = layout().findBottomBarWidget (
            [] (BottomComponent& bar) -> juce::Component& { return bar.getRecordButton(); });
        ASSERT_TRUE (record.has_value());
        input->click (window->id, record->getCentreX(), record->getCentreY());
    }
};

constexpr double toneFrequency = 440.0;
}

TEST_F (RecordingByUser, TheMainOutputIsRecordedIntoTheNamedWaveFile)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    jack->source (0).playTone (toneFrequency, 0.25f);
    const auto thru = control (ControlIds::of (0, ControlIds::thru));
    input->click (window->id, thru.getCentreX(), thru.getCentreY());

    clickRecordButton();
    const auto chooser = waitForDialog ("Choose Record Source and Quality!");
    ASSERT_TRUE (chooser.has_value()) << "no source chooser";
    const auto ok = test::RecordDialogsProbe::chooserOkButton();
    input->click (chooser->id, ok.x, ok.y);

    const auto files = waitForDialog ("Please enter filename for 32 Bit Stereo .WAV !");
    ASSERT_TRUE (files.has_value()) << "no file chooser";
    const auto typed = getSongFolder().getChildFile ("evening");
    const auto recorded = getSongFolder().getChildFile ("evening.wav");
    input->focus (files->id);
    const auto nameBox = test::RecordDialogsProbe::fileNameBox (files->width, files->height);
    input->click (files->id, nameBox.x, nameBox.y);
    ASSERT_TRUE (input->typeText (typed.getFullPathName().toStdString()));
    const auto save = test::RecordDialogsProbe::fileSaveButton (files->width, files->height);
    input->click (files->id, save.x, save.y);

    // The recorder writes every 10 ms once the signal has come.
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44 + 44100; }, 10s)) << "nothing recorded";
    std::this_thread::sleep_for (2s);
    clickRecordButton();
    const auto finished = recorded.getSize();
    std::this_thread::sleep_for (500ms);
    EXPECT_EQ (recorded.getSize(), finished) << "still recording after the button went off";
    EXPECT_FALSE (typed.exists());

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (recorded.createInputStream().release(), true));
    ASSERT_NE (reader, nullptr) << "not a WAV file";
    EXPECT_EQ (reader->bitsPerSample, 16u);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->sampleRate, jack->getSampleRate());
    const int frames = (int) reader->lengthInSamples;
    EXPECT_GT (frames, (int) (2 * reader->sampleRate));
    juce::AudioBuffer<float> audio (2, frames);
    reader->read (&audio, 0, frames, 0, true, true);
    EXPECT_GT (test::toneAmplitude (audio.getReadPointer (0) + frames / 2, frames / 4, toneFrequency,
                                    reader->sampleRate),
               0.1);

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
