#include "ui/bottom/BottomComponent.h"

#include "common/GfxImages.h"
#include "engine/Engine.h"
#include "ui/bottom/BottomBarDialogWindows.h"
#include "ui/bottom/BottomBarHost.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/widgets/FilmStrip.h"

namespace zund
{
const juce::FillType* BottomComponent::backgroundBrush = nullptr;

namespace
{
// Where each section toggle sits around the middle of the bar, and what it
// shows: its section, caption, x from the middle and width. (The toggle
// itself is a BottomComponent::SectionToggle.)
struct SectionTogglePlacement
{
    int section;
    const char* text;
    int xFromMiddle;
    int width;
};

constexpr SectionTogglePlacement sectionTogglePlacements[BottomComponent::numSectionToggles] = {
    { 9, "Channel", -278, 56 }, { 10, "Crossfader", 34, 72 }, { 8, "Player", -214, 48 },
    { 4, "Eq", -158, 24 },      { 5, "Filter", -126, 48 },     { 6, "Loop Sampler", -70, 96 },
    { 7, "Main", 114, 40 },
};

constexpr int widgetY = 2, widgetHeight = 15;

// The skin image when it holds the button's frames (4 for a push button, 8
// for a toggle), else the vector icon over the button.
template <typename Button>
void setUpPreviewButton (Button& button, const char* imageName, int frames, TransportIcon& icon)
{
    const auto image = loadGfxImage (imageName);
    if (FilmStrip (image, frames).isUsable())
        button.setImage (image);
    else
        button.addAndMakeVisible (icon);
}
}

BottomComponent::BottomComponent (Engine& engineToUse, BottomBarHost& hostToUse,
                                  std::unique_ptr<BottomBarDialogs> dialogsToUse)
    : engine (engineToUse),
      host (hostToUse),
      dialogs (dialogsToUse != nullptr ? std::move (dialogsToUse) : std::make_unique<BottomBarDialogWindows>()),
      recordingFlow (engine, host, *dialogs),
      previewStrip (engine)
{
    for (size_t i = 0; i < sectionToggles.size(); ++i)
    {
        sectionToggles[i].section = sectionTogglePlacements[i].section;
        sectionToggles[i].button = std::make_unique<KelToggleButton> (this);
        sectionToggles[i].button->setTexts (sectionTogglePlacements[i].text, {});
    }
    learnToggle.setTexts ("LEARN", {});
    learnToggle.setBlinking (true);
    infoButton.setTexts ("INFO", {});
    preferencesButton.setTexts ("Preferences", {});

    addAndMakeVisible (previewStrip);
    for (auto* widget : std::initializer_list<juce::Component*> { &rewindButton, &fastForwardButton, &playToggle,
                                                                  &recordButton, &learnToggle, &midiLamp })
        addAndMakeVisible (widget);
    for (auto& toggle : sectionToggles)
        addAndMakeVisible (toggle.button.get());
    addAndMakeVisible (infoButton);
    addAndMakeVisible (preferencesButton);

    setUpPreviewButton (rewindButton, "previewRewind.png", 4, rewindIcon);
    setUpPreviewButton (fastForwardButton, "previewForward.png", 4, fastForwardIcon);
    setUpPreviewButton (playToggle, "previewPlay.png", 8, playIcon);

    previewStrip.onPreviewLoaded = [this] { playToggle.setToggleState (true, false); };
    recordingFlow.onHalted = [this] { recordButton.setToggleState (false, false); }; // nothing left to stop

    setSize (1000, barHeight);
    refreshSectionToggles();
}

BottomComponent::~BottomComponent()
{
    previewStrip.onPreviewLoaded = nullptr;
}

KelToggleButton* BottomComponent::getSectionToggle (int section) noexcept
{
    for (auto& toggle : sectionToggles)
        if (toggle.section == section)
            return toggle.button.get();
    return nullptr;
}

void BottomComponent::refreshSectionToggles()
{
    for (auto& toggle : sectionToggles)
        toggle.button->setToggleState (host.isSectionVisible (toggle.section), false);
}

void BottomComponent::loadPreview (const juce::String& path)
{
    previewStrip.loadPreview (path);
}

void BottomComponent::paint (juce::Graphics& g)
{
    if (backgroundBrush != nullptr)
    {
        g.setFillType (*backgroundBrush);
        g.fillAll();
        return;
    }
    // Without the skin: a dark bar with a light edge towards the browser.
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour::greyLevel (0.22f), 0.0f,
                                                       juce::Colour::greyLevel (0.08f), (float) getHeight()));
    g.fillAll();
    g.setColour (juce::Colour::greyLevel (0.4f));
    g.fillRect (0, 0, getWidth(), 1);
}

void BottomComponent::resized()
{
    const int w = getWidth(), middle = w / 2;
    previewStrip.setBounds (72, widgetY, 112, widgetHeight);
    rewindButton.setBounds (8, widgetY, 15, widgetHeight);
    fastForwardButton.setBounds (48, widgetY, 15, widgetHeight);
    playToggle.setBounds (28, widgetY, 15, widgetHeight);
    recordButton.setBounds (w - 76, widgetY, 16, widgetHeight);
    learnToggle.setBounds (w - 308, widgetY, 64, widgetHeight);
    midiLamp.setBounds (w - 52, widgetY, 32, widgetHeight);
    for (size_t i = 0; i < sectionToggles.size(); ++i)
        sectionToggles[i].button->setBounds (middle + sectionTogglePlacements[i].xFromMiddle, widgetY,
                                             sectionTogglePlacements[i].width, widgetHeight);
    infoButton.setBounds (w - 236, widgetY, 56, widgetHeight);
    preferencesButton.setBounds (w - 172, widgetY, 88, widgetHeight);

    for (auto* icon : { &rewindIcon, &playIcon, &fastForwardIcon })
        if (auto* button = icon->getParentComponent())
            icon->setBounds (button->getLocalBounds());
}

void BottomComponent::exComponentMouseDown (ExComponent* widget, const juce::MouseEvent&)
{
    // After the press has been handled: a toggle then shows its new state,
    // and no window opens inside the mouse handler.
    juce::MessageManager::callAsync ([bar = SafePointer<BottomComponent> (this), widget] {
        if (bar != nullptr)
            bar->handlePress (widget);
    });
}

void BottomComponent::handlePress (ExComponent* widget)
{
    if (widget == &preferencesButton)
    {
        showPreferences();
        return;
    }
    if (widget == &infoButton)
    {
        dialogs->showAbout();
        return;
    }
    for (auto& toggle : sectionToggles)
        if (widget == toggle.button.get())
            host.setSectionVisible (toggle.section, toggle.button->isOn());
}

void BottomComponent::showPreferences()
{
    if (preferencesPanel == nullptr)
        return;

    // The plug-in windows stay on top of everything: hidden while the dialog
    // is up, and each shown again afterwards if it was.
    std::array<bool, 2> wasVisible {};
    for (int i = 0; i < (int) wasVisible.size(); ++i)
        if (auto* slot = host.getPluginSlot (i))
        {
            wasVisible[(size_t) i] = slot->isWindowVisible();
            slot->setWindowVisible (false);
        }

    dialogs->showPreferences (*preferencesPanel, *this, [this, wasVisible] {
        for (int i = 0; i < (int) wasVisible.size(); ++i)
            if (auto* slot = host.getPluginSlot (i))
                slot->setWindowVisible (wasVisible[(size_t) i]);
    });
}

void BottomComponent::exComponentValueChanged (ExComponent* widget)
{
    const bool on = widget->isOn();
    if (widget == &fastForwardButton)
        on ? engine.previewFastForward() : engine.previewStopWinding();
    else if (widget == &rewindButton)
        on ? engine.previewRewind() : engine.previewStopWinding();
    else if (widget == &playToggle)
        on ? engine.startPreview() : engine.stopPreview();
    else if (widget == &recordButton)
        recordingSwitched (on);
    else if (widget == &learnToggle)
        host.setLearnMode (on);
}

juce::File BottomComponent::endRecording()
{
    if (! recordButton.isOn() || recordingFlow.isAsking())
        return {};
    const auto file = recordingFlow.getRecordingFile();
    recordButton.setToggleState (false, true); // the stop goes the user's way
    return file;
}

void BottomComponent::recordingSwitched (bool on)
{
    if (! on)
    {
        if (recordingFlow.isAsking())
            recordingFlow.abandon();
        else
            recordingFlow.stop();
        return;
    }

    // The questions open once the press has been handled.
    juce::MessageManager::callAsync ([bar = SafePointer<BottomComponent> (this)] {
        if (bar == nullptr || ! bar->recordButton.isOn())
            return;
        bar->recordingFlow.begin ([bar] (bool recording) {
            if (bar != nullptr && ! recording)
                bar->recordButton.setToggleState (false, false); // nothing to stop
        });
    });
}
}
