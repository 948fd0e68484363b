// The audio callback's counters pass from the audio thread (and a JACK
// thread's stop notices) to the message thread's watchdog without a lock;
// meant to be run under ThreadSanitizer as well.

#include "app/device/DeviceWatchdog.h"
#include "app/main/MainAudioCallback.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace zund;
using namespace std::chrono_literals;

TEST (BlockProgressHandOver, BlocksOnAnotherThreadKeepTheDeviceAliveUntilTheyStop)
{
    Engine engine;
    MainAudioCallback callback (engine);
    std::atomic<bool> deviceRuns { true };
    std::atomic<int> blocksDelivered { 0 };

    std::thread audioThread ([&] {
        constexpr int blockSize = 64;
        std::vector<float> samples (4 * blockSize);
        const float* inputs[] = { samples.data(), samples.data() + blockSize };
        float* outputs[] = { samples.data() + 2 * blockSize, samples.data() + 3 * blockSize };
        while (deviceRuns.load())
        {
            callback.audioDeviceIOCallbackWithContext (inputs, 2, outputs, 2, blockSize, {});
            ++blocksDelivered;
            std::this_thread::sleep_for (1ms);
        }
    });
    // Stops reported from elsewhere meanwhile (port changes on JACK's thread).
    std::thread stopNotices ([&] {
        for (int i = 0; i < 5; ++i)
        {
            std::this_thread::sleep_for (40ms);
            callback.audioDeviceStopped();
        }
    });

    // Each look advances the watchdog's clock by 100 ms, whatever really
    // passes: only blocks that come between the looks keep it from reporting.
    double now = 0.0;
    DeviceWatchdog watchdog ([&now] { return now; });
    const auto look = [&] {
        DeviceWatchdog::Observation seen;
        seen.blockProgress = callback.getBlockProgress();
        seen.stops = callback.getStopCount();
        seen.deviceShouldRun = true;
        now += 100.0;
        return watchdog.blocksStopped (seen);
    };
    // Until the stops have all been reported, and some blocks after them.
    int looksAfterStops = 0;
    for (int i = 0; i < 2000 && looksAfterStops < 20; ++i)
    {
        looksAfterStops += callback.getStopCount() == 5 ? 1 : 0;
        const int before = blocksDelivered.load();
        for (int wait = 0; wait < 1000 && blocksDelivered.load() == before; ++wait)
            std::this_thread::sleep_for (1ms);
        EXPECT_FALSE (look()) << "look " << i << " after " << blocksDelivered.load() << " blocks";
    }
    stopNotices.join();
    EXPECT_EQ (callback.getStopCount(), 5u);

    deviceRuns = false;
    audioThread.join();
    EXPECT_EQ (callback.getBlockProgress(), 2u * (std::uint64_t) blocksDelivered.load());
    int looksUntilReported = 0;
    while (! look() && looksUntilReported < 100)
        ++looksUntilReported;
    EXPECT_GE (looksUntilReported, 9) << "reported before a second";
    EXPECT_LE (looksUntilReported, 11) << "not reported a second after the last block";
}
