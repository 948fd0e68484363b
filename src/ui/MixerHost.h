#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
class Engine;

/** What the panels of ui/ ask of the main component, so that they never
    include it. The main component implements it; tests give a stand-in. */
class MixerHost
{
public:
    /** Section indexes: 0..3 the channel strips, 4 EQ rows, 5 filter rows,
        6 loop-sampler rows, 7 master strip, 8 player rows, 9 channel rows,
        10 crossfader panel. */
    static constexpr int numSections = 11;
    static constexpr int masterStripSection = 7;
    static constexpr int crossfaderSection = 10;
    static constexpr int numChannelStrips = 4;
    /** A saved window bound that was never set. */
    static constexpr int unsetBound = 0x7fffffff;

    virtual ~MixerHost() = default;

    virtual void setSectionVisible (int index, bool visible) = 0;
    virtual bool isSectionVisible (int index) const = 0;

    /** 2..4: shows strips 1..count, hides the others and tells the engine. */
    virtual void setNumChannels (int count) = 0;

    /** The window bounds read from the preferences, used when the window opens. */
    virtual void setSavedBounds (int x, int y, int width, int height) = 0;
    /** Where the main window is now. */
    virtual juce::Rectangle<int> getWindowBounds() const = 0;

    /** The panel colour: the module panels' knob captions. */
    virtual juce::Colour getBackgroundColour() const = 0;

    /** For reading meters and states only: the panels' widgets reach the
        engine's setters through the control dispatcher. */
    virtual const Engine& getEngine() const = 0;
};
}
