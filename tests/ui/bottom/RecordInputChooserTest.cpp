#include "ui/dialogs/RecordInputChooser.h"

#include "support/ModalRun.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
juce::StringArray itemsOf (juce::ComboBox& list)
{
    juce::StringArray items;
    for (int i = 0; i < list.getNumItems(); ++i)
        items.add (juce::String (list.getItemId (i)) + " " + list.getItemText (i));
    return items;
}
}

// The main output first, then every whole stereo pair of the device's inputs;
// an odd last input is not offered. The main output is selected.
TEST (RecordInputChooser, OffersTheMainOutputAndWholeInputPairs)
{
    struct Case
    {
        juce::StringArray inputs;
        juce::StringArray items;
    };
    const Case cases[] = {
        { {}, { "1 Internal (Main Output)" } },
        { { "In 1" }, { "1 Internal (Main Output)" } },
        { { "In 1", "In 2", "In 3" }, { "1 Internal (Main Output)", "2 In 1 / In 2" } },
        { { "In 1", "In 2", "In 3", "In 4" }, { "1 Internal (Main Output)", "2 In 1 / In 2", "3 In 3 / In 4" } },
    };
    for (const auto& c : cases)
    {
        RecordInputChooser chooser;
        chooser.setInputChannelNames (c.inputs);
        EXPECT_EQ (itemsOf (chooser.getSourceList()), c.items) << c.inputs.joinIntoString (",");
        EXPECT_EQ (chooser.getSelectedSourceId(), RecordInputChooser::mainOutputId);
    }

    // Source 3 is device inputs 2 and 3; the main output is no device pair.
    EXPECT_EQ (RecordInputChooser::firstInputChannelOf (3), 2);
    EXPECT_EQ (RecordInputChooser::firstInputChannelOf (2), 0);
    EXPECT_EQ (RecordInputChooser::firstInputChannelOf (1), -1);
}

// 16 bits unless the 32-bit item is chosen; OK confirms and Cancel does not,
// both ending the modal state.
TEST (RecordInputChooser, QualityAndButtons)
{
    RecordInputChooser chooser;
    auto& quality = chooser.getQualityList();
    EXPECT_EQ (quality.getText(), "16Bit Stereo (limited to  6h 40min)");
    EXPECT_EQ (chooser.getBitsPerSample(), 16);
    quality.setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (chooser.getBitsPerSample(), 32);
    quality.setSelectedId (1, juce::sendNotificationSync);
    EXPECT_EQ (chooser.getBitsPerSample(), 16);

    for (const bool ok : { false, true })
    {
        RecordInputChooser dialog;
        test::ModalRun run (dialog);
        (ok ? dialog.getOkButton() : dialog.getCancelButton()).triggerClick();
        ASSERT_TRUE (run.closed()) << ok;
        EXPECT_EQ (run.result(), 0);
        EXPECT_EQ (dialog.wasConfirmed(), ok);
    }
}
