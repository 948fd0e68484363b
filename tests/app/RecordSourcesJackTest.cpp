// The recording sources a real JACK device offers: the main output and every
// whole stereo pair of its capture ports.

#include "app/harness/InstanceLock.h"
#include "app/harness/JackServer.h"
#include "app/harness/ScopedEnvironment.h"
#include "app/main/MainComponent.h"
#include "support/TempFolder.h"
#include "ui/dialogs/RecordInputChooser.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (RecordSourcesOnJack, OnlyWholeStereoPairsAreOffered)
{
    struct Case
    {
        int capturePorts;
        juce::StringArray items;
    };
    const Case cases[] = {
        { 4, { "Internal (Main Output)", "capture_1 / capture_2", "capture_3 / capture_4" } },
        { 3, { "Internal (Main Output)", "capture_1 / capture_2" } },
    };
    // The program's JACK clients open in this process: no program may run
    // meanwhile (other test runs' included).
    const test::ProgramInstanceHold hold (std::chrono::minutes (10));
    ASSERT_TRUE (hold.isHeld()) << "the program's single-instance lock " << test::programInstanceLockFile()
                                << " stayed held for 10 minutes";
    for (const auto& c : cases)
    {
        test::ScopedProgramFolder folder;
        test::JackServerOptions options;
        options.capturePorts = c.capturePorts;
        options.playbackPorts = 2;
        test::JackServer server (options, folder.file ("jackd.log").getFullPathName().toStdString());
        ASSERT_TRUE (server.isRunning()) << "jackd did not start";
        const test::ScopedEnvironment environment (server.environment());

        // The program opens the server's "system" ports from its preferences.
        ASSERT_TRUE (folder.file ("preferences.xml")
                         .replaceWithText ("<Preferences><DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName="
                                           "\"system\" audioInputDeviceName=\"system\"/></Preferences>"));
        MainComponent main (nullptr);
        main.openAudioDevice(); // as the program does once its window shows
        RecordInputChooser chooser;
        chooser.setInputChannelNames (main.getInputChannelNames());

        auto& list = chooser.getSourceList();
        juce::StringArray items;
        for (int i = 0; i < list.getNumItems(); ++i)
        {
            items.add (list.getItemText (i));
            EXPECT_EQ (list.getItemId (i), i + 1);
        }
        EXPECT_EQ (items, c.items) << c.capturePorts << " capture ports";
    }
}
