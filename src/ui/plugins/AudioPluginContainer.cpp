#include "ui/plugins/AudioPluginContainer.h"

#include "common/xml/NumberAttribute.h"

#include "ui/plugins/PluginListHolder.h"
#include "ui/plugins/PluginSlotHost.h"
#include "ui/plugins/PluginState.h"

namespace zund
{
AudioPluginContainer::Colours AudioPluginContainer::colours;

namespace
{
juce::Array<AudioPluginContainer*>& liveSlots()
{
    static juce::Array<AudioPluginContainer*> slots;
    return slots;
}

const char* const emptySlotText = "[Add Plugin]";
const char* const parameterAttributes[] = { "numParameter1", "numParameter2", "numParameter3" };
constexpr int chooserRequest = 0;

bool isParameterOf (const juce::AudioProcessor& processor, int number)
{
    return juce::isPositiveAndBelow (number, processor.getParameters().size());
}
}

AudioPluginContainer::AudioPluginContainer (int busIndex, int slotIndex, PluginSlotHost& slotHost)
    : bus (busIndex),
      slot (slotIndex),
      host (slotHost)
{
    colours = {};
    for (auto& number : parameterNumbers)
        number = -1;
    for (auto& flag : reported)
        flag = false;

    pluginLabel.setName ("new label");
    pluginLabel.setText ("PLUGIN", juce::dontSendNotification);
    pluginLabel.setFont (juce::Font (12.0f, juce::Font::bold));
    pluginLabel.setJustificationType (juce::Justification::centred);
    pluginLabel.setEditable (false, false, false);
    pluginLabel.setColour (juce::Label::textColourId, juce::Colour (0xffababab));
    addAndMakeVisible (pluginLabel);

    nameButton.setTexts (emptySlotText, {});
    nameButton.setTextStyle (11.0f, juce::Font::plain);
    addAndMakeVisible (nameButton);

    for (auto& knob : knobs)
    {
        knob.setListener (this);
        addAndMakeVisible (knob);
    }

    setSize (96, 62);
    setBufferedToImage (true);
    liveSlots().add (this);
}

AudioPluginContainer::~AudioPluginContainer()
{
    liveSlots().removeFirstMatchingValue (this);
    stopTimer();
    if (plugin != nullptr)
    {
        host.setPlugin (bus, slot, nullptr);
        discardPlugin();
    }
}

void AudioPluginContainer::repaintAll()
{
    for (auto* slotShown : liveSlots())
        slotShown->repaint();
}

//==============================================================================
std::unique_ptr<juce::XmlElement> AudioPluginContainer::toXml()
{
    if (plugin == nullptr)
        return keptState != nullptr ? std::make_unique<juce::XmlElement> (*keptState) : nullptr;

    auto element = PluginState::createPluginStateXml (plugin.get());
    if (element == nullptr)
        return nullptr;

    if (window != nullptr)
    {
        element->setAttribute ("xPos", window->getX());
        element->setAttribute ("yPos", window->getY());
        element->setAttribute ("visible", window->isShownToUser() ? 1 : 0);
    }
    for (int k = 0; k < numKnobs; ++k)
        element->setAttribute (parameterAttributes[k], parameterNumbers[(size_t) k].load());
    return element;
}

void AudioPluginContainer::fromXml (const juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    juce::String error;
    auto restored = PluginState::restorePluginFromXml (element, host.getPluginList().getFormatManager(),
                                                      host.getPluginSampleRate(), blockSize, error);
    if (restored == nullptr || ! host.setPlugin (bus, slot, restored.get()))
    {
        // Kept as it was, so that a plug-in missing for one run is not lost for good.
        keptState = std::make_unique<juce::XmlElement> (*element);
        return;
    }

    install (std::move (restored));
    applyParameterNumbers (*element);

    if (window != nullptr)
    {
        window->moveTo ({ readWholeNumberAttribute (*element, "xPos", 0), readWholeNumberAttribute (*element, "yPos", 0) });
        window->setAlwaysOnTop (true);
        if (readWholeNumberAttribute (*element, "visible", 0) == 1)
        {
            window->setVisible (true);
            window->toFront (false);
        }
    }
}

void AudioPluginContainer::applyParameterNumbers (const juce::XmlElement& element)
{
    for (int k = 0; k < numKnobs; ++k)
    {
        int number = readWholeNumberAttribute (element, parameterAttributes[k], -1);
        if (! isParameterOf (*plugin, number))
            number = -1; // a number from another version of the plug-in, or a damaged file
        parameterNumbers[(size_t) k] = number;
        if (number >= 0)
            knobs[(size_t) k].setValue (plugin->getParameters()[number]->getValue(), false);
    }
}

//==============================================================================
bool AudioPluginContainer::isWindowVisible() const
{
    return window != nullptr && window->isVisible();
}

void AudioPluginContainer::setWindowVisible (bool show)
{
    if (window == nullptr)
        return;
    if (! show)
    {
        window->setVisible (false);
        return;
    }
    if (plugin != nullptr)
    {
        window->setAlwaysOnTop (true);
        window->setVisible (true);
        window->toFront (false);
    }
}

void AudioPluginContainer::showWindow (bool centre)
{
    if (plugin == nullptr || window == nullptr)
        return;
    window->setAlwaysOnTop (true);
    if (centre)
        window->moveTo (window->getBounds().withCentre (host.getPluginWindowArea().getCentre()).getPosition());
    window->setVisible (true);
    window->toFront (true);
}

//==============================================================================
int AudioPluginContainer::indexOfKnob (const ExComponent* widget) const noexcept
{
    for (int k = 0; k < numKnobs; ++k)
        if (widget == &knobs[(size_t) k])
            return k;
    return -1;
}

void AudioPluginContainer::exComponentMouseDown (ExComponent* widget, const juce::MouseEvent& e)
{
    // Menus open after the click, from the message loop.
    auto request = [safeThis = juce::Component::SafePointer<AudioPluginContainer> (this)] (int code) {
        juce::MessageManager::callAsync ([safeThis, code] {
            if (safeThis != nullptr)
                safeThis->handleRequest (code);
        });
    };

    if (widget == &nameButton)
    {
        if (e.mods.isRightButtonDown() || plugin == nullptr)
            request (chooserRequest);
        else if (isWindowVisible())
            window->setVisible (false);
        else if (window != nullptr)
            showWindow (false);
        return;
    }

    const int k = indexOfKnob (widget);
    if (k < 0)
        return;
    if (e.mods.isRightButtonDown())
        request (k + 1);
    else
        host.pluginKnobMouseDown (*widget, e);
}

// Any thread: a knob turned by MIDI arrives on a MIDI thread.
void AudioPluginContainer::exComponentValueChanged (ExComponent* widget)
{
    const int k = indexOfKnob (widget);
    if (k < 0)
        return; // the name button's press and release

    {
        const juce::ScopedLock sl (pluginLock);
        const int number = parameterNumbers[(size_t) k].load();
        if (plugin != nullptr && isParameterOf (*plugin, number))
            plugin->getParameters()[number]->setValueNotifyingHost (widget->getValue());
    }
    host.pluginKnobValueChanged (*widget);
}

void AudioPluginContainer::handleRequest (int request)
{
    if (request == chooserRequest)
        runChooser();
    else if (request >= 1 && request <= numKnobs)
        runParameterMenu (request - 1);
}

void AudioPluginContainer::runChooser()
{
    bool noneChosen = false;
    juce::String error;
    auto chosen = host.getPluginList().choosePluginFromMenu (
        false, noneChosen, host.getPluginSampleRate(), blockSize,
        [this] (const juce::PopupMenu& menu) { return host.runPluginMenu (menu); }, error);

    if (chosen == nullptr && ! noneChosen)
    {
        if (error.isNotEmpty())
            host.showPluginWarning ("Couldn't load the plugin!\n\n" + error);
        return;
    }

    // The new plug-in is prepared and running before the old one goes, so a
    // plug-in that fails leaves the slot as it was.
    if (! host.setPlugin (bus, slot, chosen.get()))
    {
        if (chosen != nullptr)
            host.showPluginWarning ("Couldn't load the plugin!\n\n" + chosen->getName() + " cannot run in stereo.");
        return;
    }

    discardPlugin();
    keptState.reset(); // the user has chosen what the slot holds now
    if (chosen == nullptr)
        return;

    install (std::move (chosen));
    showWindow (true);
}

void AudioPluginContainer::runParameterMenu (int knob)
{
    if (plugin == nullptr)
        return;

    const auto& parameters = plugin->getParameters();
    const int current = parameterNumbers[(size_t) knob].load();
    juce::PopupMenu menu;
    for (int i = 0; i < parameters.size(); ++i)
        if (parameters[i]->isAutomatable())
            menu.addItem (i + 1, parameters[i]->getName (64), true, i == current); // 0 means dismissed

    const int result = host.runPluginMenu (menu);
    if (result > 0 && plugin != nullptr && isParameterOf (*plugin, result - 1))
        parameterNumbers[(size_t) knob] = result - 1;
}

//==============================================================================
void AudioPluginContainer::install (std::unique_ptr<juce::AudioPluginInstance> newPlugin)
{
    listenedTo = newPlugin.get();
    newPlugin->addListener (this);
    window.reset (PluginWindow::getWindowFor (newPlugin.get(), false));
    nameButton.setTexts (newPlugin->getName(), {});
    {
        const juce::ScopedLock sl (pluginLock);
        plugin = std::move (newPlugin);
    }
    startTimer (parameterPollMs);
}

void AudioPluginContainer::discardPlugin()
{
    stopTimer();
    std::unique_ptr<juce::AudioPluginInstance> old;
    {
        const juce::ScopedLock sl (pluginLock);
        old = std::move (plugin);
    }
    listenedTo = nullptr;
    if (old != nullptr)
        old->removeListener (this);
    window.reset(); // the editor goes before its plug-in
    old.reset();

    for (int k = 0; k < numKnobs; ++k)
    {
        parameterNumbers[(size_t) k] = -1;
        reported[(size_t) k] = false;
        knobs[(size_t) k].setValue (0.0f, false);
    }
    nameButton.setTexts (emptySlotText, {});
}

// Any thread, the audio thread included: only noted here.
void AudioPluginContainer::audioProcessorParameterChanged (juce::AudioProcessor* processor, int index, float value)
{
    if (processor != listenedTo.load())
        return;
    for (int k = 0; k < numKnobs; ++k)
    {
        if (parameterNumbers[(size_t) k].load() == index)
        {
            reportedValues[(size_t) k] = value;
            reported[(size_t) k] = true;
            return;
        }
    }
}

void AudioPluginContainer::timerCallback()
{
    for (int k = 0; k < numKnobs; ++k)
    {
        if (! reported[(size_t) k].exchange (false))
            continue;
        auto& knob = knobs[(size_t) k];
        const float value = reportedValues[(size_t) k].load();
        if (value != knob.getValue()) // the echo of the knob's own change stops here
            knob.setValue (value, true);
    }
}

//==============================================================================
void AudioPluginContainer::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    g.fillAll (colours.frame);
    g.setGradientFill (juce::ColourGradient (colours.inside1, 1.0f, 1.0f, colours.inside2, (float) (w - 1),
                                             (float) (h - 1), false));
    g.fillRect (1, 1, w - 2, h - 2);
}

void AudioPluginContainer::resized()
{
    pluginLabel.setBounds (9, 9, 79, 24);
    nameButton.setBounds (1, 1, getWidth() - 2, 14);
    for (int k = 0; k < numKnobs; ++k)
        knobs[(size_t) k].setBounds (3 + 30 * k, 25, 30, 30);
}
}
