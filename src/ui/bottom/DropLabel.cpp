#include "ui/bottom/DropLabel.h"

#include "engine/Engine.h"

namespace zund
{
DropLabel::DropLabel (Engine& engineToUse)
    : WaveDropTarget (static_cast<juce::Component&> (*this)),
      engine (engineToUse)
{
    title.setColours (juce::Colours::transparentBlack, juce::Colours::black, juce::Colour (0xfff0f0f0));
    addChildComponent (title); // shown once it has a text
    startTimer (repaintIntervalMs);
}

DropLabel::~DropLabel()
{
    stopTimer();
}

bool DropLabel::loadPreview (const juce::String& path)
{
    // A relative path names no file of ours (and would trip the File class).
    if (! juce::File::isAbsolutePath (path))
        return false;
    const juce::File file (path);
    const bool loaded = engine.loadPreviewFile (file);
    if (loaded)
    {
        title.setText (file.getFileName());
        if (onPreviewLoaded != nullptr)
            onPreviewLoaded();
    }
    repaint();
    return loaded;
}

bool DropLabel::isInterestedInDragSource (const SourceDetails& details)
{
    return details.description.toString() == songTableDescription;
}

void DropLabel::itemWasDropped (const juce::String& description, juce::Component* source)
{
    if (const auto song = songOfDrop (description, source); song != juce::File())
        loadPreview (song.getFullPathName());
}

void DropLabel::fileWasDropped (const juce::File& file)
{
    loadPreview (file.getFullPathName());
}

void DropLabel::mouseDown (const juce::MouseEvent& e)
{
    if (getWidth() > 0)
        engine.setPositionFraction (Engine::previewChannel, (double) e.x / (double) getWidth());
}

int DropLabel::playedWidth() const
{
    const double p = engine.getPositionFraction (Engine::previewChannel);
    return p < 1.0 ? (int) (juce::jmax (0.0, p) * getWidth()) : getWidth();
}

void DropLabel::timerCallback()
{
    // Only when the boundary has moved by a pixel.
    if (playedWidth() != paintedPlayedWidth)
        repaint();
}

void DropLabel::paint (juce::Graphics& g)
{
    const float brighten = isHighlighted() ? 0.3f : 0.0f;
    const int w = getWidth(), h = getHeight();
    paintedPlayedWidth = playedWidth();

    g.setColour (juce::Colour (0xffffa500).brighter (brighten));
    g.fillRect (0, 0, paintedPlayedWidth, h);
    g.setColour (juce::Colour::greyLevel (0.5f).brighter (brighten));
    g.fillRect (paintedPlayedWidth, 0, w - paintedPlayedWidth, h);

    g.setColour (juce::Colours::black);
    g.fillRect (0, 0, 1, h);
    g.fillRect (w - 1, 0, 1, h);
    g.fillRect (0, 0, w, 1);
    g.fillRect (0, h - 1, w, 1);
}

void DropLabel::resized()
{
    title.setBounds (getLocalBounds());
    repaint();
}
}
