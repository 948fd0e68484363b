#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class ID3ViewComponent;

/** Listens to the song table's header for the left double click that offers
    to sort a case. */
class ID3ViewComponentMouseListener : public juce::MouseListener
{
public:
    explicit ID3ViewComponentMouseListener (ID3ViewComponent& tableToTell) : table (tableToTell) {}

    void mouseDoubleClick (const juce::MouseEvent& e) override;

private:
    ID3ViewComponent& table;
};
}
