#include "ui/preferences/PreferencesComponent.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/plugins/PluginListHolder.h"
#include "ui/preferences/PreferencesApplier.h"
#include "ui/preferences/XYGuide.h"

namespace zund
{
namespace
{
constexpr int deckRowY[] = { 288, 320, 352, 384 };
constexpr int outputRowY[] = { 440, 472, 504, 536, 592, 624 };
const char* const outputLabels[] = { "Chan. 1 Output", "Chan. 2 Output", "Chan. 3 Output",
                                     "Chan. 4 Output", "Phones Output",  "Main Output" };
constexpr int channelCountX[] = { 696, 804, 912 };
constexpr int xyViewX[] = { 696, 776, 856, 936 };
constexpr int rowHeight = 24;
constexpr int requestedChannels = 256;
constexpr int channelCountGroup = 1;
constexpr float labelFontHeight = 15.0f;
const juce::Rectangle<float> guideArea { 788.0f, 580.0f, 120.0f, 75.0f };

const char* const hintText
    = "If problems occur, check for each deck if the signal's XY View is correct (watch the direction!).";
const char* const invertPhaseTip
    = "Only activate if you have phase-inverting cartridges like Shure M-44 or Stanton 500-II !!";
}

template <typename ComponentType, typename... Args>
ComponentType* PreferencesComponent::make (juce::Rectangle<int> bounds, Args&&... args)
{
    auto* component = new ComponentType (std::forward<Args> (args)...); // deleted as a child
    controls.add (component);
    placements.add (bounds);
    component->setBounds (bounds);
    addAndMakeVisible (component);
    return component;
}

void PreferencesComponent::makeGroup (juce::Rectangle<int> bounds, const juce::String& title)
{
    // Dark on the white panel, whatever the look and feel's own colours.
    auto* group = make<juce::GroupComponent> (bounds, juce::String(), title);
    group->setColour (juce::GroupComponent::textColourId, juce::Colours::black);
    group->setColour (juce::GroupComponent::outlineColourId, juce::Colours::grey);
}

juce::Label* PreferencesComponent::makeLabel (juce::Rectangle<int> bounds, const juce::String& text,
                                              juce::Justification justification)
{
    auto* label = make<juce::Label> (bounds, juce::String(), text);
    label->setFont (juce::Font (labelFontHeight, juce::Font::plain));
    label->setJustificationType (justification);
    label->setEditable (false, false, false);
    label->setColour (juce::Label::textColourId, juce::Colours::black);
    label->setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    return label;
}

juce::Label* PreferencesComponent::makeRowLabel (int y, const juce::String& text)
{
    // As wide as the room left of the lists allows: "Chan. 1 Output" needs it.
    auto* label = makeLabel ({ 12, y, 106, rowHeight }, text, juce::Justification::centredLeft);
    label->setBorderSize ({ 1, 2, 1, 2 });
    return label;
}

juce::ToggleButton* PreferencesComponent::makeToggle (juce::Rectangle<int> bounds, const juce::String& text)
{
    auto* toggle = make<juce::ToggleButton> (bounds, text);
    toggle->addListener (this);
    return toggle;
}

juce::TextButton* PreferencesComponent::makeButton (juce::Rectangle<int> bounds, const juce::String& text)
{
    auto* button = make<juce::TextButton> (bounds, text);
    button->addListener (this);
    return button;
}

juce::ComboBox* PreferencesComponent::makeList (juce::Rectangle<int> bounds, const juce::String& name)
{
    auto* list = make<juce::ComboBox> (bounds, name);
    list->setEditableText (false);
    list->setJustificationType (juce::Justification::centredLeft);
    list->setTextWhenNothingSelected ({});
    list->setTextWhenNoChoicesAvailable ("(no choices)");
    list->addListener (this);
    return list;
}

void PreferencesComponent::makeDeviceSelector (juce::Rectangle<int> bounds)
{
    // The framework's selector sizes itself to what the device offers; in its
    // own scrolling view it never runs over the routing lists below it.
    deviceSelectorView = make<juce::Viewport> (bounds);
    deviceSelectorView->setScrollBarsShown (true, false);
    plainLook.setColourScheme (juce::LookAndFeel_V4::getLightColourScheme());
}

// Made when the panel first shows: the selector looks for every kind of
// device as it is made, which would hold up the start by a JACK round trip.
void PreferencesComponent::showDeviceSelector()
{
    if (deviceSelector != nullptr)
        return;
    deviceSelector = new juce::AudioDeviceSelectorComponent (deviceManager, requestedChannels, requestedChannels,
                                                             requestedChannels, requestedChannels, true, true, false,
                                                             false);
    deviceSelector->setLookAndFeel (&plainLook);
    deviceSelector->setSize (deviceSelectorView->getWidth() - deviceSelectorView->getScrollBarThickness(),
                             deviceSelectorView->getHeight());
    deviceSelectorView->setViewedComponent (deviceSelector, true);
}

PreferencesComponent::PreferencesComponent (MixerHost& hostToUse, Engine& engineToUse,
                                            juce::AudioDeviceManager& deviceManagerToUse,
                                            PreferencesModel& modelToUse, MidiControlSurfaceManager& midiToUse,
                                            PluginListHolder& pluginsToUse)
    : host (hostToUse),
      engine (engineToUse),
      deviceManager (deviceManagerToUse),
      model (modelToUse),
      midi (midiToUse),
      plugins (pluginsToUse)
{
    makeGroup ({ 4, 4, 672, 660 }, "AUDIO CARD CONFIGURATION");
    makeGroup ({ 680, 288, 336, 128 }, "MIDI CONTROL SETTINGS");
    makeGroup ({ 680, 4, 336, 276 }, "MISCELLANEOUS");
    makeGroup ({ 680, 424, 336, 240 }, "VINYL INPUT SIGNALS XY VIEW");

    makeDeviceSelector ({ 16, 32, 536, 240 });

    for (int d = 0; d < numDecks; ++d)
    {
        const auto text = "Deck " + juce::String (d + 1) + " Input";
        deckLists[(size_t) d] = makeList ({ 120, deckRowY[d], 304, rowHeight }, text);
        makeRowLabel (deckRowY[d], text);
    }
    for (int o = 0; o < numOutputLists; ++o)
        outputLists[(size_t) o] = makeList ({ 120, outputRowY[o], 536, rowHeight }, outputLabels[o]);
    for (int o = 0; o < numOutputLists; ++o)
        makeRowLabel (outputRowY[o], outputLabels[o]);

    for (int d = 0; d < numDecks; ++d)
        softPreampToggles[(size_t) d] = makeToggle ({ 528, deckRowY[d], 128, rowHeight }, "Soft Phono Preamp");

    for (int k = 0; k < (int) channelCountToggles.size(); ++k)
    {
        auto* toggle = makeToggle ({ channelCountX[k], 32, 88, rowHeight }, juce::String (k + 2) + " Channels");
        toggle->setRadioGroupId (channelCountGroup);
        channelCountToggles[(size_t) k] = toggle;
    }
    testToneToggle = makeToggle ({ 560, 32, 96, rowHeight }, "Test Tone");

    for (int d = 0; d < numDecks; ++d)
        xyViews[(size_t) d] = make<XYView> ({ xyViewX[d], 493, 64, 64 });
    for (int d = 0; d < numDecks; ++d)
        makeLabel ({ xyViewX[d], 559, 64, 20 }, "Deck " + juce::String (d + 1), juce::Justification::centred);
    makeLabel ({ 696, 444, 304, 46 }, hintText, juce::Justification::centred);

    resetOnLoadToggle = makeToggle ({ 696, 96, 304, rowHeight }, "Reset Channel EQ & Filter on load");
    warnOnLoadToggle = makeToggle ({ 696, 128, 304, rowHeight }, "Warn before loading new song on same Channel");
    colourSelectorButton = makeButton ({ 696, 208, 304, rowHeight }, "Colour Selector");
    pluginsButton = makeButton ({ 696, 240, 304, rowHeight }, "Audio Plugins Manager");
    saveMidiButton = makeButton ({ 696, 376, 304, rowHeight }, "Save MIDI Control Settings");
    loadMidiButton = makeButton ({ 696, 344, 304, rowHeight }, "Load MIDI Control Settings");
    clearMidiButton = makeButton ({ 696, 312, 304, rowHeight }, "Clear MIDI Control Settings");
    functionKeysToggle = makeToggle ({ 696, 168, 304, rowHeight }, "Use Function keys F1-F11");

    for (int d = 0; d < numDecks; ++d)
    {
        auto* toggle = makeToggle ({ 432, deckRowY[d], 92, rowHeight }, "Invert Phase");
        toggle->setTooltip (invertPhaseTip);
        invertPhaseToggles[(size_t) d] = toggle;
    }

    // The device open now is the one the routing read from the file belongs to.
    lastDeviceName = openDeviceName();
    deviceManager.addChangeListener (this);
    showModel();

    setSize (panelWidth, panelHeight);
    setAlwaysOnTop (true);
    toFront (false);

    onScreenWatcher = std::make_unique<OnScreenWatcher> (*this, [this] (bool onScreen) {
        if (onScreen)
            showDeviceSelector();
        host.setXYViewsShowing (onScreen);
    });
}

PreferencesComponent::~PreferencesComponent()
{
    onScreenWatcher.reset();
    deviceManager.removeChangeListener (this);
    if (deviceSelector != nullptr)
        deviceSelector->setLookAndFeel (nullptr);
    deleteAllChildren();
}

void PreferencesComponent::showModel()
{
    const auto show = [] (juce::Button* toggle, bool on) { toggle->setToggleState (on, juce::dontSendNotification); };

    show (resetOnLoadToggle, model.resetOnLoad);
    show (warnOnLoadToggle, model.warnOnLoad);
    show (functionKeysToggle, model.useFunctionKeys);
    for (int d = 0; d < numDecks; ++d)
    {
        show (softPreampToggles[(size_t) d], model.softPreamp[(size_t) d]);
        show (invertPhaseToggles[(size_t) d], model.invertPhaseLeft[(size_t) d]);
    }
    for (int k = 0; k < (int) channelCountToggles.size(); ++k)
        show (channelCountToggles[(size_t) k], model.channelCount == k + 2);

    refreshRoutingLists();
}

XYView& PreferencesComponent::getXYView (int deck)
{
    return *xyViews[(size_t) juce::jlimit (0, numDecks - 1, deck)];
}

void PreferencesComponent::setDialogs (PreferencesDialogs newDialogs)
{
    dialogs = std::move (newDialogs);
}

void PreferencesComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    drawXYGuide (g, guideArea);
}

void PreferencesComponent::resized()
{
    // Every control has its fixed place in the panel.
    for (int i = 0; i < controls.size(); ++i)
        controls[i]->setBounds (placements[i]);
}

void PreferencesComponent::buttonClicked (juce::Button* button)
{
    const bool on = button->getToggleState();

    for (int d = 0; d < numDecks; ++d)
    {
        if (button == softPreampToggles[(size_t) d])
        {
            model.softPreamp[(size_t) d] = on;
            engine.setSoftPreamp (d, on);
            return;
        }
        if (button == invertPhaseToggles[(size_t) d])
        {
            model.invertPhaseLeft[(size_t) d] = on;
            engine.setInvertPhaseLeft (d, on);
            return;
        }
    }

    for (int k = 0; k < (int) channelCountToggles.size(); ++k)
    {
        if (button == channelCountToggles[(size_t) k])
        {
            // The radio group also reports the button it switched off.
            if (on)
            {
                model.channelCount = k + 2;
                host.setNumChannels (k + 2);
            }
            return;
        }
    }

    if (button == testToneToggle)
        host.setTestToneOn (on);
    else if (button == resetOnLoadToggle)
        model.resetOnLoad = on;
    else if (button == warnOnLoadToggle)
        model.warnOnLoad = on;
    else if (button == functionKeysToggle)
        model.useFunctionKeys = on;
    else if (button == colourSelectorButton)
        deferred ([this] { host.showColourSelector(); });
    else if (button == pluginsButton)
        deferred ([this] { plugins.showPluginsDialog(); });
    else if (button == saveMidiButton)
        deferred ([this] { midi.saveSettingsFile(); });
    else if (button == loadMidiButton)
        deferred ([this] { midi.openSettingsFile(); });
    else if (button == clearMidiButton)
        deferred ([this] { askToClearMidi(); });
}

void PreferencesComponent::deferred (std::function<void()> work)
{
    juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<PreferencesComponent> (this), work] {
        if (safeThis != nullptr)
            work();
    });
}

void PreferencesComponent::askToClearMidi()
{
    dialogs.confirm ("Clear all MIDI Settings?", "Are you sure?",
                     [safeThis = juce::Component::SafePointer<PreferencesComponent> (this)] {
                         if (safeThis != nullptr)
                             safeThis->midi.clear();
                     });
}
}
