#include "library/browser/ID3ViewComponentMouseListener.h"

#include "library/browser/ID3ViewComponent.h"

namespace zund
{
void ID3ViewComponentMouseListener::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (! e.mods.isPopupMenu())
        table.headerDoubleClicked();
}
}
