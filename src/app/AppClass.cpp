#include "app/AppClass.h"

#include "app/MainAppWindow.h"
#include "app/main/MainComponent.h"
#include "common/HeapTuning.h"

#include <iostream>

namespace zund
{
AppClass::AppClass() = default;
AppClass::~AppClass() = default;

const juce::String AppClass::getApplicationVersion()
{
    return ZUND_VERSION; // the project's version, from the build
}

void AppClass::initialise (const juce::String&)
{
    tuneHeapForBulkFrees();

    if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
    {
        std::cerr << "Zund needs a graphical display: no X display could be opened (is DISPLAY set?)."
                  << std::endl;
        setApplicationReturnValue (1);
        quit();
        return;
    }

    // Shown only once the whole main component has been built.
    mainWindow = std::make_unique<MainAppWindow>();
    mainWindow->showOnDesktop();

    // Then the sound: the window does not wait for the audio device.
    if (auto* content = mainWindow->getMainComponent())
        content->openAudioDevice();
}

void AppClass::shutdown()
{
    mainWindow.reset();
}

void AppClass::systemRequestedQuit()
{
    if (auto* content = mainWindow != nullptr ? mainWindow->getMainComponent() : nullptr)
        content->quitRequested (false); // the system's request is not questioned
    else
        quit();
}
}
