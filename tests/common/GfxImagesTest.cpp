#include "common/GfxImages.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (GfxImages, MissingOrBrokenImagesAreInvalidNotFatal)
{
    test::ScopedProgramFolder folder;
    EXPECT_FALSE (loadGfxImage ("knob.png").isValid()); // no gfx folder at all
    EXPECT_EQ (createGfxBrush ("knob.png"), nullptr);

    folder.file ("gfx").createDirectory();
    EXPECT_FALSE (loadGfxImage ("knob.png").isValid()); // empty gfx folder

    folder.file ("gfx/broken.png").replaceWithText ("not a png at all");
    EXPECT_FALSE (loadGfxImage ("broken.png").isValid());
    EXPECT_EQ (createGfxBrush ("broken.png"), nullptr);
}

TEST (GfxImages, LoadsPngsFromTheGfxFolder)
{
    test::ScopedProgramFolder folder;
    folder.file ("gfx").createDirectory();

    juce::Image image (juce::Image::ARGB, 6, 4, true);
    image.setPixelAt (2, 1, juce::Colours::red);
    {
        juce::FileOutputStream out (folder.file ("gfx/skin.png"));
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
    }

    const auto loaded = loadGfxImage ("skin.png");
    ASSERT_TRUE (loaded.isValid());
    EXPECT_EQ (loaded.getWidth(), 6);
    EXPECT_EQ (loaded.getHeight(), 4);
    EXPECT_EQ (loaded.getPixelAt (2, 1), juce::Colours::red);

    const auto* brush = createGfxBrush ("skin.png");
    ASSERT_NE (brush, nullptr);
    EXPECT_TRUE (brush->isTiledImage());
    EXPECT_EQ (brush->getOpacity(), 1.0f);
    EXPECT_EQ (brush->image.getWidth(), 6);
}
