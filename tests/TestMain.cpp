#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Every test program gets the framework initialised (message manager, leak
// detector) for its whole run.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    ::testing::InitGoogleTest (&argc, argv);
    return RUN_ALL_TESTS();
}
