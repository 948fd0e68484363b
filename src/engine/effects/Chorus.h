#pragma once

#include "engine/effects/FXBaseClass.h"

#include <memory>

namespace zund
{
/** Flanger: a delay of 1 ms plus up to 5 ms per unit of depth, swept by the LFO,
    with dry, wet and feedback gains that follow the level along fixed tables. */
class Chorus : public FXBaseClass
{
public:
    static constexpr int lineSize = 65536;

    Chorus();

    void process (float* left, float* right, int numSamples) noexcept override;

private:
    static constexpr int lineMask = lineSize - 1;

    std::unique_ptr<float[]> lineLeft, lineRight;
    int writeIndex = 0;
};
}
