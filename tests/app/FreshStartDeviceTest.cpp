// A fresh start (no device saved) plays through a running JACK server, even
// where ALSA lists devices of its own (alsa-lib's plug-ins on a desktop; here
// the tests' card); without a server it opens an ALSA device as before.

#include "app/harness/AlsaTestCard.h"
#include "app/harness/InstanceLock.h"
#include "app/harness/JackServer.h"
#include "app/harness/ScopedEnvironment.h"
#include "app/main/MainComponent.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zund;

TEST (FreshStartDevice, ARunningJackServerIsOpenedBeforeAlsasOwnDevices)
{
    // The program's JACK client opens in this process: no program may run
    // meanwhile (other test runs' included).
    const test::ProgramInstanceHold hold (std::chrono::minutes (10));
    ASSERT_TRUE (hold.isHeld()) << "the program's single-instance lock " << test::programInstanceLockFile()
                                << " stayed held for 10 minutes";
    for (const bool serverRuns : { true, false })
    {
        SCOPED_TRACE (serverRuns ? "a JACK server runs" : "no JACK server");
        test::ScopedProgramFolder folder; // no preferences.xml
        test::AlsaTestCard card (folder.get());
        const test::ScopedEnvironment alsa (card.environment());

        std::unique_ptr<test::JackServer> server;
        std::vector<std::string> jack { "JACK_DEFAULT_SERVER=zund-none-" + std::to_string (getpid()),
                                        "JACK_NO_START_SERVER=1" };
        if (serverRuns)
        {
            server = std::make_unique<test::JackServer> (test::JackServerOptions(),
                                                         folder.file ("jackd.log").getFullPathName().toStdString());
            ASSERT_TRUE (server->isRunning()) << "jackd did not start";
            jack = server->environment();
        }
        const test::ScopedEnvironment jackEnvironment (jack);

        MainComponent main (nullptr);
        main.openAudioDevice(); // as the program does once its window shows
        const auto& manager = main.getDeviceManager();
        auto* device = manager.getCurrentAudioDevice();
        ASSERT_NE (device, nullptr) << "no device opened";
        if (serverRuns)
        {
            EXPECT_EQ (manager.getCurrentAudioDeviceType(), "JACK");
            EXPECT_EQ (device->getName(), "system");
            EXPECT_EQ (device->getOutputChannelNames().size(), 12) << "not every port of the server";
            EXPECT_TRUE (device->isOpen() && device->isPlaying());
        }
        else
        {
            EXPECT_EQ (manager.getCurrentAudioDeviceType(), "ALSA");
        }
    }
}
