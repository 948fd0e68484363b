#pragma once

#include "support/UiEvents.h"
#include "ui/widgets/ExComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace zund::test
{
/** Keeps every value the listener heard, and every mouse-down and refresh. */
struct RecordingListener : public zund::ExComponentListener
{
    void exComponentValueChanged (zund::ExComponent* widget) override { values.push_back (widget->getValue()); }
    void exComponentMouseDown (zund::ExComponent*, const juce::MouseEvent&) override { ++mouseDowns; }
    void exComponentRefreshed (zund::ExComponent*) override { ++refreshes; }

    std::vector<float> values;
    int mouseDowns = 0;
    int refreshes = 0;
};

/** Sets the keyboard modifiers the widgets read, and restores them. */
class ScopedModifiers
{
public:
    explicit ScopedModifiers (juce::ModifierKeys mods);
    ~ScopedModifiers();
    void set (juce::ModifierKeys mods);

private:
    juce::ModifierKeys saved;
};

/** Perceived lightness of a pixel, 0..1. */
float brightnessAt (const juce::Image& image, int x, int y);
}
