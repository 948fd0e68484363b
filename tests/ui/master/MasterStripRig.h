#pragma once

#include "engine/Engine.h"
#include "support/TempFolder.h"
#include "ui/MixerHostStandIn.h"
#include "ui/master/MasterStripHost.h"
#include "ui/plugins/PluginListHolder.h"
#include "ui/widgets/ExComponent.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace zund::test
{
/** Stands in for the main component towards the master strip: a real engine
    and plug-in list in a temporary program folder; menus answered by a script
    instead of shown; warnings, knob changes and the effect tempo noted. */
class MasterStripHostStandIn : public MasterStripHost
{
public:
    MasterStripHostStandIn();
    ~MasterStripHostStandIn() override;

    // MixerHost, as the plain stand-in does it.
    void setSectionVisible (int index, bool visible) override { mixer.setSectionVisible (index, visible); }
    bool isSectionVisible (int index) const override { return mixer.isSectionVisible (index); }
    void setNumChannels (int count) override { mixer.setNumChannels (count); }
    void setSavedBounds (int x, int y, int w, int h) override { mixer.setSavedBounds (x, y, w, h); }
    juce::Rectangle<int> getWindowBounds() const override { return mixer.getWindowBounds(); }
    juce::Colour getBackgroundColour() const override { return mixer.getBackgroundColour(); }
    const Engine& getEngine() const override { return *engine; }

    // MasterStripHost
    float getTapTempo() const override { return tapTempo; }
    void setEffectTempo (double bpm) override { effectTempos.push_back (bpm); }

    // PluginSlotHost
    PluginListHolder& getPluginList() override { return *pluginList; }
    double getPluginSampleRate() const override { return engine->getSampleRate(); }
    bool setPlugin (int bus, int slot, juce::AudioProcessor* plugin) override;
    void pluginKnobMouseDown (ExComponent& knob, const juce::MouseEvent&) override { learnClicks.push_back (&knob); }
    void pluginKnobValueChanged (ExComponent& knob) override { dispatched.push_back (knob.getID()); }
    juce::Rectangle<int> getPluginWindowArea() const override { return { 100, 100, 1000, 700 }; }
    int runPluginMenu (const juce::PopupMenu& menu) override;
    void showPluginWarning (const juce::String& message) override { warnings.add (message); }

    /** The plug-in list again, as at a new start (after the old one wrote its file). */
    void restartPluginList();

    ScopedProgramFolder folder; // first made, last gone
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    std::unique_ptr<PluginListHolder> pluginList;
    MixerHostStandIn mixer { *engine };

    /** Answers the next menus in turn; with none left a menu is dismissed (0). */
    std::deque<std::function<int (const juce::PopupMenu&)>> menuAnswers;
    std::vector<juce::PopupMenu> menusShown;

    float tapTempo = 120.0f;
    std::vector<double> effectTempos;
    std::vector<ExComponent*> learnClicks;
    std::vector<int> dispatched;
    juce::StringArray warnings;
    bool refusePlugins = false;
};

/** The items of a menu, sub-menus included, in order. */
struct MenuItemFacts
{
    juce::String text;
    int id;
    bool ticked;
};
std::vector<MenuItemFacts> itemsOf (const juce::PopupMenu& menu);

/** A menu answer: the item with this text (0, a dismissal, when there is none). */
std::function<int (const juce::PopupMenu&)> choose (const juce::String& itemText);

/** The stereo test effect (a ring modulator) with its first parameter, Freq,
    at a value that has reached the plug-in (and so its saved state). */
std::unique_ptr<juce::AudioPluginInstance> ringModWithFreq (float freq);

/** Runs posted messages until the slot has handled a click's deferred work. */
void pumpUntilMenusShown (MasterStripHostStandIn& host, size_t count);
}
