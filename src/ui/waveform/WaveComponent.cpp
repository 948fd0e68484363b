#include "ui/waveform/WaveComponent.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/waveform/OnScreen.h"
#include "ui/waveform/WaveViewDrawing.h"

namespace zund
{
WaveComponent::Colours WaveComponent::colours;

WaveComponent::WaveComponent (MixerHost* host, int channelIndex)
    : WaveDropTarget (static_cast<juce::Component&> (*this)),
      owner (*host),
      channel (channelIndex)
{
    colours = {};
    setOpaque (true);
    startTimer (repaintIntervalMs);
}

WaveComponent::~WaveComponent()
{
    stopTimer();
}

void WaveComponent::setRings (const std::atomic<float>* peakRing, const std::atomic<float>* averageRing,
                              int length) noexcept
{
    peaks = peakRing;
    averages = averageRing;
    ringLength = length;
}

void WaveComponent::timerCallback()
{
    // A hidden view (a strip not shown) is painted when it shows again.
    if (isOnScreen (*this) && pictureChanged())
        repaint();
}

bool WaveComponent::pictureChanged()
{
    if (listener != nullptr)
        listener->waveComponentNeedsData (this);

    // What moves the picture as a whole first: a playing channel changes it
    // on almost every tick, and then the entries need no reading.
    ViewFingerprint frame;
    frame.add ((juce::uint64) getWidth() << 32 | (juce::uint32) getHeight());
    frame.add ((juce::uint64) zoom << 32 | (juce::uint32) locatorLength);
    frame.add ((juce::uint64) (isHighlighted() ? 1 : 0));
    for (auto colour : { colours.background, colours.peak, colours.average, colours.peakLooped, colours.averageLooped,
                         colours.locator })
        frame.add (colour);
    const bool thru = owner.getEngine().isThru (channel);
    frame.add ((juce::uint64) (thru ? 1 : 0));
    const bool drawsEntries = ! thru && hasUsableRings();
    if (drawsEntries)
    {
        const auto loop = loopColumns();
        frame.add ((juce::uint64) loop.getStart());
        frame.add ((juce::uint64) loop.getEnd());
        frame.add ((juce::uint64) (juce::uint32) firstEntry());
        frame.add ((juce::uint64) (juce::pointer_sized_uint) peaks);
    }
    if (frame.hash != shownFrame)
    {
        shownFrame = frame.hash;
        contentKnown = false;
        return true;
    }

    // Every entry the columns read: a reader still filling its cache changes
    // what a paused channel shows.
    ViewFingerprint content;
    if (drawsEntries)
    {
        const int mask = ringLength - 1;
        const int first = firstEntry();
        const int entries = getWidth() * zoom;
        for (int k = 0; k < entries; ++k)
        {
            const int i = ((first + k) & mask) * 2;
            content.add (peaks[i].load (std::memory_order_relaxed), peaks[i + 1].load (std::memory_order_relaxed));
            content.add (averages[i].load (std::memory_order_relaxed));
        }
    }
    const bool changed = ! contentKnown || content.hash != shownContent;
    shownContent = content.hash;
    contentKnown = true;
    return changed;
}

void WaveComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isLeftButtonDown())
    {
        if (zoom > minZoom)
            --zoom;
    }
    else if (e.mods.isRightButtonDown() && zoom < maxZoom)
    {
        ++zoom;
    }
}

void WaveComponent::itemWasDropped (const juce::String& description, juce::Component* source)
{
    if (listener != nullptr)
        listener->waveComponentItemDropped (this, source, description);
}

void WaveComponent::fileWasDropped (const juce::File& file)
{
    if (listener != nullptr)
        listener->waveComponentFilesDropped (this, file);
}

juce::Range<juce::int64> WaveComponent::getLoopColumns (int width, int zoom, juce::int64 play,
                                                        juce::int64 loopStart, juce::int64 loopEnd) noexcept
{
    zoom = juce::jmax (1, zoom);
    // Frame positions rounded down to whole zoom steps.
    const auto roundDown = [zoom] (juce::int64 x) { return x - x % zoom; };
    const juce::int64 p = roundDown (play);
    const juce::int64 columnFrames = (juce::int64) zoom * framesPerRingPair;
    const juce::int64 middle = (juce::int64) (width / 2) * columnFrames;
    return { (middle - p + roundDown (loopStart)) / columnFrames, (middle - p + roundDown (loopEnd)) / columnFrames };
}

void WaveComponent::paint (juce::Graphics& g)
{
    if (listener != nullptr)
        listener->waveComponentNeedsData (this);

    auto peakColour = colours.peak, averageColour = colours.average;
    if (isHighlighted())
    {
        peakColour = peakColour.brighter (0.5f);
        averageColour = averageColour.brighter (0.5f);
    }
    const WaveColumnsPicture::Style style { colours.background, peakColour, averageColour, colours.peakLooped,
                                            colours.averageLooped };

    // A channel that plays its live input has no track to show.
    const bool thru = owner.getEngine().isThru (channel);
    if (! thru && hasUsableRings() && colours.background.isOpaque())
    {
        g.drawImageAt (columns.update (getWidth(), getHeight(), style, columnsSource()), 0, 0);
    }
    else
    {
        // A see-through background is laid over what the view showed before.
        g.fillAll (colours.background);
        if (! thru && hasUsableRings())
            WaveColumnsPicture::drawAll (g, getWidth(), getHeight(), style, columnsSource());
    }

    if (! thru)
    {
        g.setColour (colours.locator);
        g.drawVerticalLine (getWidth() / 2, 0.0f, (float) locatorLength);
    }

    drawSoftInnerFrame (g, getWidth(), getHeight());
}

bool WaveComponent::hasUsableRings() const noexcept
{
    // Indexes are masked, so a ring that is not a power of two long would be
    // read out of range.
    return peaks != nullptr && averages != nullptr && ringLength > 0 && juce::isPowerOfTwo (ringLength);
}

int WaveComponent::firstEntry() const noexcept
{
    const int position = ringPosition & (ringLength - 1);
    // Whole columns only, so the picture does not shimmer as it moves.
    return position - position % zoom - (getWidth() / 2) * zoom;
}

juce::Range<juce::int64> WaveComponent::loopColumns() const
{
    const auto& engine = owner.getEngine();
    if (! engine.isLoopActive (channel))
        return {};
    return getLoopColumns (getWidth(), zoom, engine.getPlayPosition (channel), engine.getLoopStart (channel),
                           engine.getLoopEnd (channel));
}

WaveColumnsPicture::Source WaveComponent::columnsSource() const
{
    WaveColumnsPicture::Source source;
    source.peaks = peaks;
    source.averages = averages;
    source.mask = ringLength - 1;
    source.zoom = zoom;
    source.firstEntry = firstEntry();
    source.loop = loopColumns();
    return source;
}
}
