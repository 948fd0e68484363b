#include "ui/plugins/PluginWindow.h"

namespace zund
{
namespace
{
juce::Array<PluginWindow*>& liveWindows()
{
    static juce::Array<PluginWindow*> windows;
    return windows;
}

const juce::Colour windowBackground { 0xffadd8e6 };
const juce::Point<int> firstPlace { 0, 40 };
// Enough of the title bar to grab the window by.
constexpr int minimumVisible = 40;
// Farthest from the origin a window is placed on either axis: far past any
// screen, near enough that placing it cannot overflow.
constexpr int maxCoordinate = 1 << 20;
}

PluginWindow* PluginWindow::getWindowFor (juce::AudioProcessor* processor, bool useGenericView)
{
    if (processor == nullptr)
        return nullptr;

    auto& windows = liveWindows();
    for (int i = windows.size(); --i >= 0;)
        if (&windows[i]->processor == processor && windows[i]->askedForGeneric == useGenericView)
            return windows[i];

    juce::AudioProcessorEditor* editor = nullptr;
    if (! useGenericView && processor->hasEditor())
        editor = processor->createEditorIfNeeded();
    const bool generic = editor == nullptr;
    if (generic)
        editor = new juce::GenericAudioProcessorEditor (*processor);

    if (dynamic_cast<juce::AudioPluginInstance*> (processor) != nullptr)
        editor->setName (processor->getName());

    return new PluginWindow (editor, *processor, generic, useGenericView);
}

PluginWindow::PluginWindow (juce::AudioProcessorEditor* editor, juce::AudioProcessor& processorShown, bool isGenericView,
                            bool madeForGeneric)
    : juce::DocumentWindow (editor->getName(), windowBackground,
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, true),
      processor (processorShown),
      generic (isGenericView),
      askedForGeneric (madeForGeneric)
{
    setSize (400, 300);
    setUsingNativeTitleBar (true);
    setAlwaysOnTop (true);
    setContentOwned (editor, true);
    moveTo (firstPlace);
    setVisible (false);
    liveWindows().add (this);
}

PluginWindow::~PluginWindow()
{
    liveWindows().removeFirstMatchingValue (this);
    clearContentComponent(); // the editor goes before the processor it shows
}

void PluginWindow::moveTo (juce::Point<int> topLeft)
{
    // A place from a file may be any number: held where the sums that place the window cannot overflow.
    const auto reach = [] (int v) { return juce::jlimit (-maxCoordinate, maxCoordinate, v); };
    setTopLeftPosition (placeOnDisplay (getBounds().withPosition (reach (topLeft.x), reach (topLeft.y))));
}

void PluginWindow::closeButtonPressed()
{
    setVisible (false);
}

int PluginWindow::getNumWindows() noexcept
{
    return liveWindows().size();
}

juce::Array<PluginWindow*> PluginWindow::getAllWindows()
{
    return liveWindows();
}

juce::Point<int> PluginWindow::placeOnDisplay (juce::Rectangle<int> wanted)
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (wanted);
    if (display == nullptr)
        return wanted.getPosition();

    const auto area = display->userArea;
    const int x = juce::jlimit (area.getX() - wanted.getWidth() + minimumVisible,
                                area.getRight() - minimumVisible, wanted.getX());
    const int y = juce::jlimit (area.getY(), area.getBottom() - minimumVisible, wanted.getY());
    return { x, y };
}
}
