#pragma once

#include "common/events/SharedTimer.h"
#include "ui/plugins/PluginWindow.h"
#include "ui/widgets/ExComponentListener.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelKnob.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <memory>

namespace zund
{
class PluginSlotHost;

/** One plug-in slot of the effect section: a name button that opens the
    plug-in chooser (or shows and hides the plug-in's window) and three knobs,
    each bound by a right click to one of the plug-in's parameters.

    The knobs may turn on a MIDI thread: the plug-in is then reached under the
    slot's lock. Parameter changes the plug-in reports (from any thread, the
    audio thread included) are noted and reach the knobs on the message
    thread's next tick.

    A plug-in that could not be restored leaves its saved state with the slot,
    which writes it back until the user puts something else in the slot. */
class AudioPluginContainer : public juce::Component,
                             public ExComponentListener,
                             private juce::AudioProcessorListener,
                             private SharedTimer
{
public:
    struct Colours
    {
        juce::Colour frame { 0xff000000 };
        juce::Colour inside1 { 0xff303030 };
        juce::Colour inside2 { 0xff101010 };
    };
    /** Class-wide; the colour scheme edits them. Every new slot sets them back. */
    static Colours colours;

    static constexpr int numKnobs = 3;
    static constexpr int blockSize = 256;
    static constexpr int parameterPollMs = 20;

    AudioPluginContainer (int bus, int slot, PluginSlotHost& host);
    ~AudioPluginContainer() override;

    /** The slot's "PluginState" element: its plug-in's, or the one it kept
        from a plug-in that could not be restored; null for an empty slot. */
    std::unique_ptr<juce::XmlElement> toXml();
    /** Restores the slot from an element (null: nothing). */
    void fromXml (const juce::XmlElement* element);

    bool isWindowVisible() const;
    void setWindowVisible (bool show);
    void showWindow (bool centre);

    static void repaintAll();

    juce::AudioPluginInstance* getPlugin() const noexcept { return plugin.get(); }
    PluginWindow* getWindow() const noexcept { return window.get(); }
    KelKnob& getKnob (int index) noexcept { return knobs[(size_t) index]; }
    KelButton& getNameButton() noexcept { return nameButton; }
    /** The parameter bound to a knob, -1 for none. */
    int getParameterNumber (int knob) const noexcept { return parameterNumbers[(size_t) knob].load(); }
    /** True while the slot holds the state of a plug-in that could not be restored. */
    bool hasKeptState() const noexcept { return keptState != nullptr; }

    // ExComponentListener
    void exComponentMouseDown (ExComponent* widget, const juce::MouseEvent& e) override;
    void exComponentValueChanged (ExComponent* widget) override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The deferred work of a click: 0 the plug-in chooser, 1..3 the parameter
        menu of that knob. Message thread. */
    void handleRequest (int request);

private:
    void runChooser();
    void runParameterMenu (int knob);

    /** Makes the plug-in the slot's (listened to, with a window). */
    void install (std::unique_ptr<juce::AudioPluginInstance> newPlugin);
    /** Lets the current plug-in go, after the engine has let go of it. */
    void discardPlugin();
    void applyParameterNumbers (const juce::XmlElement& element);
    int indexOfKnob (const ExComponent* widget) const noexcept;

    void audioProcessorParameterChanged (juce::AudioProcessor* processor, int index, float value) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void timerCallback() override;

    const int bus, slot;
    PluginSlotHost& host;

    juce::Label pluginLabel;
    KelButton nameButton { 0, this };
    std::array<KelKnob, numKnobs> knobs;

    juce::CriticalSection pluginLock; // the plug-in pointer against the knobs' threads
    std::unique_ptr<juce::AudioPluginInstance> plugin;
    std::atomic<juce::AudioProcessor*> listenedTo { nullptr };
    std::unique_ptr<PluginWindow> window;
    std::unique_ptr<juce::XmlElement> keptState;

    std::array<std::atomic<int>, numKnobs> parameterNumbers;
    std::array<std::atomic<float>, numKnobs> reportedValues;
    std::array<std::atomic<bool>, numKnobs> reported;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioPluginContainer)
};
}
