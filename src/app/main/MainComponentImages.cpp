#include "app/main/MainComponent.h"

#include "common/GfxImages.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/widgets/KelKnob.h"

namespace zund
{
void MainComponent::loadBackgroundImages()
{
    BottomComponent::setBackgroundBrush (createGfxBrush ("background.png"));
    constexpr int knobFrames = 255;
    KelKnob::setFilmStrip (loadGfxImage ("knob.png"), knobFrames);
}
}
