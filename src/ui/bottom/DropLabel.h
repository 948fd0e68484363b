#pragma once

#include "common/events/SharedTimer.h"
#include "ui/waveform/ScrollTextComponent.h"
#include "ui/waveform/WaveDropTarget.h"

#include <functional>

namespace zund
{
class Engine;

/** The preview player's strip: the played part of the track in orange, the
    rest in grey, the track's name over it. A press seeks the preview; a song
    dragged from the song table, or one audio file dropped on it, is previewed
    (the same drop rules as the waveform views'). */
class DropLabel : public juce::Component,
                  public WaveDropTarget,
                  private SharedTimer
{
public:
    explicit DropLabel (Engine& engine);
    ~DropLabel() override;

    /** Loads the file into the preview player, which starts it; on success the
        strip shows its name and `onPreviewLoaded` is called. False when it did
        not load (the previous preview, if any, goes on). */
    bool loadPreview (const juce::String& path);
    std::function<void()> onPreviewLoaded;

    const ScrollTextComponent& getTitle() const noexcept { return title; }

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** A multiple of the shared 20 ms tick, so the strip wakes nothing of its own. */
    static constexpr int repaintIntervalMs = 40;

private:
    void itemWasDropped (const juce::String& description, juce::Component* source) override;
    void fileWasDropped (const juce::File& file) override;
    void timerCallback() override;
    int playedWidth() const;

    Engine& engine;
    ScrollTextComponent title;
    int paintedPlayedWidth = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DropLabel)
};
}
