#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <string>

namespace zund::test
{
/** Where the program's decks listen and its buses play, in the terms of its
    "preferences.xml": a routing list index is 0 for "NONE" and k + 1 for the
    device's k-th stereo pair (device channels 2k and 2k + 1).

    The device is the framework's JACK device. It names a JACK client for
    each side; the program registers one port per port of that client
    ("Zund:in_1".. for the capture ports of "system", "Zund:out_1".. for its
    playback ports, in that order) and connects them one to one. Device
    input channel c is then "Zund:in_<c + 1>", output channel c
    "Zund:out_<c + 1>".

    The framework hands the audio callback only the connected ports, packed
    together; the program puts them back on these numbers, so a port that is
    not connected moves nothing (see PatchedPortsFlowTest). The harness only
    adds connections beside the ones to "system". */
struct RoutingSetup
{
    std::string inputClient = "system", outputClient = "system";
    std::array<int, 4> deckInputs { 0, 0, 0, 0 };
    std::array<int, 4> channelOutputs { 0, 0, 0, 0 };
    int phonesOutput = 0;
    int mainOutput = 0;

    /** Deck d on input pair d, main on output pair 1, phones on 2 and
        channel c on c + 2 (with a server of 8 capture and 12 playback ports). */
    static RoutingSetup everyPairInUse();
};

/** A "preferences.xml" root that opens the JACK device and routes as given;
    a test adds what else it needs (e.g. "NumChannels") before writing it. */
std::unique_ptr<juce::XmlElement> makePreferences (const RoutingSetup& routing);

/** The program's JACK ports of a routing list index (1 = first pair);
    empty names for 0 ("NONE"). */
struct PortPair
{
    std::string left, right;
};
PortPair programInputsOf (int routingIndex);
PortPair programOutputsOf (int routingIndex);
}
