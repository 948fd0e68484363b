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
    void update() noexcept;

    /** One sample pair in place: dry x input plus the wet reverb (spread by the width). */
    void process (float* left, float* right, float wet, float dry) noexcept;

private:
    struct Comb
    {
        float memory = 0.0f, feedback = 0.0f, damping1 = 0.0f, damping2 = 1.0f;
        std::vector<float> buffer;
        int index = 0;

        float process (float input) noexcept;
    };

    struct AllPass
    {
        float feedback = 0.5f;
        std::vector<float> buffer;
        int index = 0;

        float process (float input) noexcept;
    };

    float inputGain = 0.015f;
    float roomValue = 0.84f;
    float combFeedback = 0.0f;
    float dampingValue = 0.04f;
    float width = 0.3f;
    Comb combs[2][numCombs];
    AllPass allPasses[2][numAllPasses];
};
}
