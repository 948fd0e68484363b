#pragma once

namespace zund
{
/** Converts two 32-bit integer sample buffers to float in place (full scale maps to -1..1).
    The buffers are reinterpreted: afterwards they hold float bit patterns. */
void convertIntSamplesToFloat (int* left, int* right, int numSamples) noexcept;
}
