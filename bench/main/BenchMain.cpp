#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Every benchmark program runs with the framework initialised.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
