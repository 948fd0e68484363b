#include "app/MainComponent.h"

#include "common/GfxImages.h"
#include "ui/widgets/KelKnob.h"

namespace zund
{
void MainComponent::loadBackgroundImages()
{
    // "background.png", the bottom bar's brush, joins here with the bottom bar.
    constexpr int knobFrames = 255;
    KelKnob::setFilmStrip (loadGfxImage ("knob.png"), knobFrames);
}
}
