// The recording sources a real JACK device offers: the main output and every
// whole stereo pair of its capture ports.

#include "app/main/MainComponent.h"
#include "app/harness/JackServer.h"
#include "support/TempFolder.h"
#include "ui/dialogs/RecordInputChooser.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zund;

namespace
{
/** Points this process's JACK clients at the server while it lives. */
struct ScopedJackEnvironment
{
    explicit ScopedJackEnvironment (const test::JackServer& server)
    {
        for (const auto& entry : server.environment())
        {
            const auto split = entry.find ('=');
            names.push_back (entry.substr (0, split));
            setenv (names.back().c_str(), entry.substr (split + 1).c_str(), 1);
        }
    }

    ~ScopedJackEnvironment()
    {
        for (const auto& name : names)
            unsetenv (name.c_str());
    }

    std::vector<std::string> names;
};
}

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
    for (const auto& c : cases)
    {
        test::ScopedProgramFolder folder;
        test::JackServerOptions options;
        options.capturePorts = c.capturePorts;
        options.playbackPorts = 2;
        test::JackServer server (options, folder.file ("jackd.log").getFullPathName().toStdString());
        ASSERT_TRUE (server.isRunning()) << "jackd did not start";
        const ScopedJackEnvironment environment (server);

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
