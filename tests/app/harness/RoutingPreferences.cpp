#include "app/harness/RoutingPreferences.h"

namespace zund::test
{
namespace
{
PortPair programPorts (const char* prefix, int routingIndex)
{
    if (routingIndex < 1)
        return {};
    const int first = 2 * (routingIndex - 1) + 1; // JACK port numbers count from 1
    return { std::string ("Zund:") + prefix + std::to_string (first),
             std::string ("Zund:") + prefix + std::to_string (first + 1) };
}
}

RoutingSetup RoutingSetup::everyPairInUse()
{
    RoutingSetup routing;
    routing.deckInputs = { 1, 2, 3, 4 };
    routing.mainOutput = 1;
    routing.phonesOutput = 2;
    routing.channelOutputs = { 3, 4, 5, 6 };
    return routing;
}

std::unique_ptr<juce::XmlElement> makePreferences (const RoutingSetup& routing)
{
    auto root = std::make_unique<juce::XmlElement> ("Preferences");

    // The framework's device state; without channel masks it opens every
    // port of the named clients.
    auto* device = root->createNewChildElement ("DEVICESETUP");
    device->setAttribute ("deviceType", "JACK");
    device->setAttribute ("audioOutputDeviceName", juce::String (routing.outputClient));
    device->setAttribute ("audioInputDeviceName", juce::String (routing.inputClient));

    for (int i = 0; i < 4; ++i)
        root->setAttribute ("Deck" + juce::String (i + 1) + "Input", routing.deckInputs[(size_t) i]);
    for (int i = 0; i < 4; ++i)
        root->setAttribute ("Channel" + juce::String (i + 1) + "Output", routing.channelOutputs[(size_t) i]);
    root->setAttribute ("PhonesOutput", routing.phonesOutput);
    root->setAttribute ("MainOutput", routing.mainOutput);
    return root;
}

PortPair programInputsOf (int routingIndex)
{
    return programPorts ("in_", routingIndex);
}

PortPair programOutputsOf (int routingIndex)
{
    return programPorts ("out_", routingIndex);
}
}
