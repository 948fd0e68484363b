#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** Asks what to record (the main output or one stereo pair of the device's
    inputs) and at which quality. OK and Cancel end the modal state of the
    window it sits in; the caller then reads wasConfirmed(), the source list's
    item id and getBitsPerSample(). */
class RecordInputChooser : public juce::Component,
                           public juce::ComboBox::Listener,
                           public juce::Button::Listener
{
public:
    /** Item id of "Internal (Main Output)"; the device's pair k has id k + 2. */
    static constexpr int mainOutputId = 1;
    static constexpr int width = 480;
    static constexpr int height = 72;

    RecordInputChooser();
    ~RecordInputChooser() override;

    /** "Internal (Main Output)", then one item per whole stereo pair of the
        device's input channels ("In 1 / In 2"); an odd last channel is not
        offered. Selects the main output. */
    void setInputChannelNames (const juce::StringArray& inputNames);

    bool wasConfirmed() const noexcept { return confirmed; }
    int getBitsPerSample() const noexcept { return bitsPerSample; }
    int getSelectedSourceId() const { return sourceList.getSelectedId(); }

    /** The first device input channel of the chosen pair; -1 for the main output. */
    static int firstInputChannelOf (int sourceId) noexcept { return sourceId > mainOutputId ? 2 * sourceId - 4 : -1; }

    juce::ComboBox& getSourceList() noexcept { return sourceList; }
    juce::ComboBox& getQualityList() noexcept { return qualityList; }
    juce::Button& getOkButton() noexcept { return okButton; }
    juce::Button& getCancelButton() noexcept { return cancelButton; }

    void resized() override;
    void comboBoxChanged (juce::ComboBox* list) override;
    void buttonClicked (juce::Button* button) override;

private:
    /** Ends the modal state of the window the chooser sits in. */
    void close();

    juce::ComboBox sourceList;
    juce::TextButton okButton { "OK" };
    juce::TextButton cancelButton { "Cancel" };
    juce::ComboBox qualityList;
    juce::Label qualityLabel { {}, "Quality" };
    juce::Label sourceLabel { {}, "Source" };

    bool confirmed = false;
    int bitsPerSample = 16;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RecordInputChooser)
};
}
