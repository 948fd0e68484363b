#pragma once

#include <vector>

namespace zund
{
/** Comb and all-pass reverberator: per channel eight damped feedback combs in
    parallel, then four all-passes in series, fed with the mono sum. The buffer
    lengths are fixed in samples. All memory is allocated by the constructor. */
class ReverbModel
{
public:
    static constexpr int numCombs = 8;
    static constexpr int numAllPasses = 4;
    static const int combLengths[2][numCombs];
    static const int allPassLengths[2][numAllPasses];

    ReverbModel();

    /** 0..1: comb feedback 0.7 .. 0.98. */
    void setRoomSize (float roomSize) noexcept;

    /** One sample pair in place: dry x input plus the wet reverb (spread by the width). */
    void process (float* left, float* right, float wet, float dry) noexcept;

private:
    static constexpr float inputGain = 0.015f;
    static constexpr float damping = 0.04f;
    static constexpr float width = 0.3f;

    struct Comb
    {
        float memory = 0.0f;
        std::vector<float> buffer;
        int index = 0;

        float process (float input, float feedback) noexcept;
    };

    struct AllPass
    {
        static constexpr float feedback = 0.5f;
        std::vector<float> buffer;
        int index = 0;

        float process (float input) noexcept;
    };

    float combFeedback = 0.84f; // room size 0.5
    Comb combs[2][numCombs];
    AllPass allPasses[2][numAllPasses];
};
}
