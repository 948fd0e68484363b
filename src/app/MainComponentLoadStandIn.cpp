#include "app/MainComponent.h"

namespace zund
{
// Stands in until track loading joins the program (it brings the real one):
// nothing is loaded.
bool MainComponent::loadFileIntoDeck (const juce::String&, int)
{
    return false;
}
}
