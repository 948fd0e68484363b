#include "ui/waveform/LoadingErrorComponent.h"

namespace zund
{
LoadingErrorComponent::LoadingErrorComponent()
{
    setBufferedToImage (true);
}

LoadingErrorComponent::~LoadingErrorComponent()
{
    stopTimer();
}

void LoadingErrorComponent::start (const juce::String& newMessage)
{
    message = newMessage;
    repaint();
    setVisible (true);
    tick = 0;
    startTimer (blinkIntervalMs);
}

void LoadingErrorComponent::timerCallback()
{
    setVisible (tick % 2 == 0);
    if (tick++ >= lastTick)
    {
        stopTimer();
        setVisible (false);
    }
}

void LoadingErrorComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.8f));
    g.setColour (juce::Colour (0xffff0000));
    g.setFont (juce::Font (20.0f, juce::Font::bold));
    g.drawText (message, getLocalBounds(), juce::Justification::centred, true);
}
}
