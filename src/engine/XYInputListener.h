#pragma once

namespace zund
{
/** Receives a deck's conditioned input on the audio thread, chunk by chunk (the
    preferences panel's XY views). Must neither block nor allocate. */
class XYInputListener
{
public:
    virtual ~XYInputListener() = default;

    virtual void addSamples (const float* left, const float* right, int numSamples) = 0;
};
}
