#include "common/GfxImages.h"

#include "common/files/ProgramFolder.h"

namespace zund
{
namespace
{
juce::Array<juce::Image>& loadedImages()
{
    static juce::Array<juce::Image> images;
    return images;
}

juce::OwnedArray<juce::FillType>& createdBrushes()
{
    static juce::OwnedArray<juce::FillType> brushes;
    return brushes;
}
}

juce::Image loadGfxImage (const juce::String& fileName)
{
    const auto file = getApplicationFolderFile ("gfx").getChildFile (fileName);
    if (! file.existsAsFile())
        return {};

    auto image = juce::ImageFileFormat::loadFrom (file);
    if (image.isValid())
        loadedImages().add (image);
    return image;
}

const juce::FillType* createGfxBrush (const juce::String& fileName)
{
    const auto image = loadGfxImage (fileName);
    if (! image.isValid())
        return nullptr;

    return createdBrushes().add (new juce::FillType (image, juce::AffineTransform()));
}
}
