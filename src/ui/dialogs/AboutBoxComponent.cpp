#include "ui/dialogs/AboutBoxComponent.h"

namespace zund
{
namespace
{
juce::String applicationVersion()
{
    auto* app = juce::JUCEApplicationBase::getInstance();
    return app != nullptr ? app->getApplicationVersion() : juce::String();
}

juce::String lines (std::initializer_list<const char*> items)
{
    juce::String result;
    for (auto* item : items)
        result << item << "\n";
    return result;
}
}

AboutBoxComponent::AboutBoxComponent (const juce::String& textToShow) : text (textToShow)
{
    setOpaque (true);
    setWantsKeyboardFocus (true);
    setSize (width, height);
}

juce::String AboutBoxComponent::buildText()
{
    juce::String result;
    result << "Zund V" << applicationVersion() << "\n\n";

    result << lines ({ "Zund: a four-channel DJ mixer with timecode vinyl control.",
                       "Written in C++ by the Zund developers." })
           << "\n";

    // Only what this build really uses.
    result << lines ({ "JUCE 7 application framework (GPLv3), with audio and MIDI through JACK and ALSA (LGPL).",
                       "Plug-in hosting: VST3 (VST is a trademark of Steinberg Media Technologies GmbH) "
                       "and LV2 (lilv, serd, sord, sratom: ISC licence).",
                       "Tags: TagLib (LGPL / MPL). WAV and AIFF: libsndfile (LGPL). MP3: libmpg123 (LGPL).",
                       "Ogg Vorbis: libogg and libvorbis, Copyright Xiph.Org Foundation (BSD licence)." })
           << "\n\n";

    result << "Key Commands [Function Keys F1-F11 are only used if option 'Use Function Keys F1-F11' is actived "
              "in Preferences]:\n\n";

    result << lines ({ "Enter : Load Song (then press 1/2/3/4 for Channel 1/2/3/4 or Esc to escape)",
                       "F1/F2/F3/F4 : Cue2 (Loop) on/off for Channel 1/2/3/4 respectively",
                       "F5 : Main Channel Cue (Loop) on/off",
                       "F10 : FX On/Off",
                       "F11 : TAP tempo",
                       "CTRL : While turning knobs/sliders: reset to initial position",
                       "Shift : While turning knobs/sliders: increase precision" });
    return result;
}

void AboutBoxComponent::show()
{
    AboutBoxComponent box (buildText());
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        box.setCentrePosition (display->userArea.getCentre());

    box.addToDesktop (0);
    box.setVisible (true);
    box.toFront (true);
    box.runModalLoop();
}

juce::GlyphArrangement AboutBoxComponent::layOutText (const juce::String& textToLayOut, const juce::Font& font,
                                                      int boxWidth)
{
    juce::GlyphArrangement glyphs;
    glyphs.addJustifiedText (font, textToLayOut, (float) textLeft, (float) firstBaseline,
                             (float) (boxWidth - 2 * textLeft), juce::Justification::left);
    return glyphs;
}

void AboutBoxComponent::paint (juce::Graphics& g)
{
    const auto font = g.getCurrentFont().boldened();
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.drawRect (getLocalBounds(), 1);
    layOutText (text, font, getWidth()).draw (g);
}

bool AboutBoxComponent::keyPressed (const juce::KeyPress&)
{
    exitModalState (0);
    return true;
}

void AboutBoxComponent::mouseDown (const juce::MouseEvent&)
{
    exitModalState (0);
}
}
