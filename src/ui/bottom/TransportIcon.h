#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The vector symbol of a preview button without its skin image: one triangle
    for play, two for winding. Laid over its button; clicks pass through. */
class TransportIcon : public juce::Component
{
public:
    enum class Kind { rewind, play, fastForward };

    explicit TransportIcon (Kind kind);

    Kind getKind() const noexcept { return kind; }
    void paint (juce::Graphics& g) override;

private:
    const Kind kind;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransportIcon)
};
}
