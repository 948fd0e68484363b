#include "app/main/MainComponent.h"

#include "app/LibraryQuitSaves.h"
#include "app/MainAppWindow.h"
#include "app/device/AudioDeviceTypes.h"
#include "app/device/DeviceLossHandler.h"
#include "app/main/MainLayout.h"
#include "app/main/VBlankTickDriver.h"
#include "app/MessagePump.h"
#include "app/ZundCloseComponent.h"
#include "app/main/ZundMidiInputCallback.h"
#include "common/audio/Levels.h"
#include "library/browser/ZundBrowser.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/colours/ColourSchemeFiles.h"
#include "ui/colours/ZundColourSelector.h"
#include "ui/dialogs/LoadFileComponent.h"
#include "ui/dialogs/TextInputComponent.h"
#include "ui/master/MainChannel.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/CrossfaderContainer.h"
#include "ui/preferences/PreferencesApplier.h"
#include "ui/preferences/PreferencesComponent.h"

#include <iostream>

namespace zund
{
namespace
{
constexpr int unset = MixerHost::unsetBound;
constexpr int masterStripSection = 7;
constexpr int crossfaderSection = 10;

// Lets the windows paint before the next long step (the device, the shut-down);
// a queue that never empties is left after this long.
void flushMessages()
{
    dispatchPendingMessages (500.0);
}
}

// Start-up, in this order. Children made by later parts of the program take
// their places in this list.
MainComponent::MainComponent (MainAppWindow* owningWindow)
    : engine (std::make_unique<Engine>()),
      audioCallback (std::make_unique<MainAudioCallback> (*engine)),
      window (owningWindow),
      lastX (unset), lastY (unset), lastWidth (unset), lastHeight (unset)
{
    // 1. All eleven sections shown. (The default sans-serif face is set by the
    //    window's look and feel.) The browser with the song database and the
    //    tree file, then the channel strips, of which strips 1 and 2 are shown
    //    until the preferences say more.
    for (auto& visible : sectionVisible)
        visible = true;
    createBrowser();
    createChannelStrips();

    // 2. The audio device opens once the window is on screen (openAudioDevice):
    //    a JACK server takes a few hundred milliseconds, which the window
    //    would wait for.

    // 3. The panels: bottom bar, crossfader, master strip, the track-load
    //    dialog, the name-entry dialog and the preferences panel, whose XY
    //    views the engine feeds; the bottom bar is given the preferences panel.
    createChildPanels();
    // Not buffered to an image: the panels keep their own, and a copy of the
    // whole window behind them cost a second copy of every tick's repaints.
    setOpaque (true);
    setWantsKeyboardFocus (true); // the function keys, until the browser takes the keys

    //    Every control widget reports to the dispatcher from now on.
    ExComponent::setDefaultListener (this);

    //    The skin images, once every knob exists (a knob built later clears the film strip).
    loadBackgroundImages();

    // 4. The MIDI mapping reports to this component; then the preferences:
    //    sections, bounds, routing, channel options and count, MIDI mapping.
    //    (The routing takes the device's pairs once the device is open.)
    midiMapping.setListener (this);
    preferences.loadPreferences (*this, *engine, midiMapping, DevicePairs::of (deviceManager));
    preferencesPanel->showModel();
    showChannelModesOnStrips();
    refreshDeckIndicators();
    sendMidiFeedbackForAll();
    setControlValue (ControlIds::zeroLockRange, (float) preferences.getModel().zeroLockRange);

    //    The colour selector and the colour scheme, now that every panel exists
    //    (each new panel sets its class's colours back to the defaults).
    createColourSelector();

    // 5. MIDI inputs come with the audio device, once everything a message reaches exists.

    // 6. The main volume starts at 0.707 on every start; it is never saved.
    setControlValue (ControlIds::mainVolume, 0.707f);

    // 7. The 20 ms clock of the user interface, in step with the window's
    //    repaints once it is on screen.
    startTimer (20);
    vblankTick = std::make_unique<VBlankTickDriver> (*this);

    // 8. An unreadable preferences, database or tree file was kept aside: say so
    //    once the window is up (posted, so that the box opens over it), without
    //    holding up the start.
    juce::StringArray warnings { preferences.getReadWarning(), browser->getStartupWarning(),
                                 colourFiles->getWarning() };
    warnings.removeEmptyStrings();
    if (const auto warning = warnings.joinIntoString ("\n\n"); warning.isNotEmpty())
        juce::MessageManager::callAsync ([warning] {
            juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "Zund2", warning);
        });
}

// Shut-down, in this order.
MainComponent::~MainComponent()
{
    // 1. No more watching the device, no more audio or MIDI callbacks, no more ticks.
    deviceLoss.reset();
    deviceManager.removeAudioCallback (audioCallback.get());
    unregisterMidiInputs();
    vblankTick.reset();
    stopTimer();

    //    This session's colours are kept.
    saveColoursAndDeleteSelector();

    // 2. MIDI is ignored from here on, and no widget reaches the dispatcher.
    closing.store (true);
    ExComponent::setDefaultListener (nullptr);
    flushMessages();
    nameEntryDialog.reset();

    // 3. "preferences.xml" (with the enabled MIDI inputs), then the inputs are let go.
    //    The VIRTUAL Z-LOCK RANGE knob's value goes into the model first.
    if (auto* zeroLock = ExComponent::getComponentByID (ControlIds::zeroLockRange))
        preferences.getModel().zeroLockRange = zeroLock->getValue();
    juce::String error;
    if (! preferences.savePreferences (deviceManager, *this, *engine, midiMapping, &error))
        std::cerr << "Zund: preferences.xml was not written: " << error << std::endl;
    deviceManager.removeChangeListener (this);
    for (const auto& identifier : midiInputIdentifiers)
        deviceManager.setMidiInputDeviceEnabled (identifier, false);

    // 4. The track-load dialog, the children (each writes its own files), then
    //    the preferences panel.
    loadFileDialog.reset();
    deleteAllChildren();
    deletePreferencesPanel();
    midiInputCallbacks.clear();

    // 5. The members go in reverse order: the peak-file builders stop, the device
    //    closes, "pluginList.xml" is written, and last the engine stops its
    //    readers and finishes a running recording.
}

void MainComponent::openAudioDevice()
{
    if (audioDeviceOpened)
        return;
    audioDeviceOpened = true;

    // The window shows its contents while the device opens.
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();

    addAudioDeviceTypes (deviceManager);

    const auto error = preferences.initialiseAudioDevice (deviceManager);
    flushMessages();
    if (error.isNotEmpty())
        juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::WarningIcon, "Zund2",
                                           "Couldn't open an output device!\n\n" + error);

    // The routing onto the device's pairs, the audio, MIDI feedback and input.
    applyRouting (preferences.getModel(), *engine, DevicePairs::of (deviceManager));
    midiFeedback.useOutput (deviceManager.getDefaultMidiOutputIdentifier());
    deviceManager.addAudioCallback (audioCallback.get());
    deviceManager.addChangeListener (this);
    preferencesPanel->showModel();
    refreshDeckIndicators();
    sendMidiFeedbackForAll();
    registerMidiInputs();

    // From now on a device that stops under the program is noticed.
    deviceLoss = std::make_unique<DeviceLossHandler> (deviceManager, *this);
    deviceLoss->start();
}

void MainComponent::createChannelStrips()
{
    channelContainer = new ChannelContainer (this); // owned as a child
    channelContainer->setName ("new component");
    addAndMakeVisible (channelContainer);
}

void MainComponent::showChannelModesOnStrips()
{
    // The preferences set each channel's sync and mode in the engine; the
    // strips' toggles take them (through the dispatcher, which echoes them).
    for (int c = 0; c < numChannelStrips; ++c)
    {
        if (auto* strip = getChannel (c))
        {
            strip->setSyncState (engine->isChannelSync (c));
            strip->setAbsoluteState (engine->isChannelAbsolute (c));
        }
    }
}

void MainComponent::createChildPanels()
{
    // The bottom bar, the crossfader panel, the master strip, then the dialogs.
    createBottomBar();
    crossfaderPanel = new CrossfaderContainer(); // owned as a child
    addAndMakeVisible (crossfaderPanel);
    createMasterStrip();

    // Shown as its own window for each question; never a child.
    loadFileDialog = std::make_unique<LoadFileComponent>();
    nameEntryDialog = std::make_unique<TextInputComponent>();
    createPreferencesPanel();
}

void MainComponent::setControlValue (int id, float value)
{
    if (auto* widget = ExComponent::getComponentByID (id))
        widget->setValue (value, true);
}

void MainComponent::registerMidiInputs()
{
    for (const auto& device : juce::MidiInput::getAvailableDevices())
    {
        midiInputCallbacks.add (new ZundMidiInputCallback (*this));
        midiInputIdentifiers.add (device.identifier);
    }
    for (int i = 0; i < midiInputIdentifiers.size(); ++i)
        deviceManager.addMidiInputDeviceCallback (midiInputIdentifiers[i], midiInputCallbacks[i]);
}

void MainComponent::unregisterMidiInputs()
{
    for (int i = 0; i < midiInputIdentifiers.size(); ++i)
        deviceManager.removeMidiInputDeviceCallback (midiInputIdentifiers[i], midiInputCallbacks[i]);
}

bool MainComponent::isAnyLoadedChannelPlaying()
{
    for (int channel = 0; channel < engine->getNumChannels(); ++channel)
        if (engine->isPlaying (channel) && engine->isTrackLoaded (channel))
            return true;
    return false;
}

void MainComponent::quitRequested (bool askWhilePlaying)
{
    if (audioCallback->isQuitting())
        return; // a second close click while shutting down

    if (askWhilePlaying && isAnyLoadedChannelPlaying()
        && ! juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::WarningIcon, "Really quit?",
                                                 "Do you really want to quit Zund?", "Yes", "No", nullptr,
                                                 nullptr))
        return;

    audioCallback->setQuitting(); // the engine is not called from now on
    showCloseComponent();
    LibraryQuitSaves::run (*browser); // while a failure can still be answered
    juce::JUCEApplication::quit();
}

void MainComponent::showCloseComponent()
{
    auto* panel = new ZundCloseComponent(); // owned as a child; goes with deleteAllChildren
    panel->setBounds ((getWidth() - ZundCloseComponent::width) / 2 + getX(),
                      (getHeight() - ZundCloseComponent::height) / 2 + getY(), ZundCloseComponent::width,
                      ZundCloseComponent::height);
    addAndMakeVisible (panel);
    panel->toFront (false);
    // Painted now rather than at the display's next refresh: the shut-down work comes next.
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();
    flushMessages();
}

void MainComponent::setSectionVisible (int index, bool visible)
{
    if (index < 0 || index >= numSections)
        return;
    sectionVisible[index] = visible;
    if (index == masterStripSection)
    {
        if (mainChannel != nullptr)
            mainChannel->setVisible (visible);
    }
    else if (index == crossfaderSection)
        crossfaderPanel->setVisible (visible);
    else
        channelContainer->setSectionVisible (index, visible);
    bottomBar->refreshSectionToggles();
    resized();
}

bool MainComponent::isSectionVisible (int index) const
{
    return index >= 0 && index < numSections && sectionVisible[index];
}

void MainComponent::setNumChannels (int count)
{
    count = juce::jlimit (2, numChannelStrips, count);
    for (int k = 0; k < numChannelStrips; ++k)
    {
        sectionVisible[k] = count >= k + 1;
        channelContainer->setSectionVisible (k, sectionVisible[k]);
    }
    bottomBar->refreshSectionToggles();
    resized();
    engine->setNumChannels (count);
    refreshDeckIndicators();
}

void MainComponent::setSavedBounds (int x, int y, int width, int height)
{
    lastX = x;
    lastY = y;
    lastWidth = width;
    lastHeight = height;
}

std::optional<juce::Rectangle<int>> MainComponent::getSavedBounds() const
{
    if (lastX == unset || lastY == unset || lastWidth == unset || lastHeight == unset)
        return std::nullopt;
    return juce::Rectangle<int> (lastX, lastY, lastWidth, lastHeight);
}

juce::Rectangle<int> MainComponent::getWindowBounds() const
{
    if (window != nullptr)
        return window->getBounds();
    return getBounds();
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (colours.applicationBackground);
}

void MainComponent::resized()
{
    MainLayout::Sizes sizes;
    sizes.width = getWidth();
    sizes.height = getHeight();
    if (mainChannel != nullptr)
    {
        sizes.masterVisible = mainChannel->isVisible();
        sizes.masterWidth = mainChannel->getWidth();
        sizes.masterHeight = mainChannel->getHeight();
    }
    sizes.crossfaderVisible = crossfaderPanel->isVisible();
    sizes.crossfaderHeight = crossfaderPanel->getHeight();
    sizes.bottomBarHeight = bottomBar->getHeight();
    sizes.channelsHeightForWidth = [this] (int width) { return channelContainer->getHeightForWidth (width); };
    const auto layout = MainLayout::compute (sizes);

    channelContainer->setSize (layout.channels.getWidth(), layout.channels.getHeight());
    crossfaderPanel->setBounds (layout.crossfader);
    bottomBar->setBounds (layout.bottomBar);
    if (mainChannel != nullptr)
        mainChannel->setBounds (layout.master);
    if (browser != nullptr)
        browser->setBounds (layout.browser);
}

void MainComponent::timerCallback()
{
    pluginWindowsAside.update();

    // TAP stays lit for its ticks, then goes off like a released button.
    if (tapCountdown.load() > 0 && --tapCountdown == 0)
        if (auto* tap = ExComponent::getComponentByID (ControlIds::tap))
            tap->setValue (0.0f, true);
}

void MainComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &deviceManager)
    {
        // The device selector may have chosen another MIDI output for the feedback.
        midiFeedback.useOutput (deviceManager.getDefaultMidiOutputIdentifier());

        // A new device set-up drops the MIDI callbacks; register them again.
        unregisterMidiInputs();
        for (int i = 0; i < midiInputIdentifiers.size(); ++i)
            deviceManager.addMidiInputDeviceCallback (midiInputIdentifiers[i], midiInputCallbacks[i]);
    }
    else if (colourSelector != nullptr && source == colourSelector.get())
    {
        colourSchemeChanged();
    }
}
}
