#include "engine/timecode/PolyphaseInterpolator.h"

#if defined(__SSE2__)
 #include <xmmintrin.h>
#endif

namespace zund
{
const float PolyphaseInterpolator::taps[numTaps] = {
    -0.00144461915f, -0.00496836612f, -0.00676914724f, -0.00370371575f,
     0.00478478335f,  0.0146867298f,   0.0184695683f,   0.00955936313f,
    -0.0119236866f,  -0.0360365473f,  -0.0455982275f,  -0.0244102869f,
     0.0327967331f,   0.114527076f,    0.195043564f,    0.244986773f,
     0.244986773f,    0.195043564f,    0.114527076f,    0.0327967331f,
    -0.0244102869f,  -0.0455982275f,  -0.0360365473f,  -0.0119236866f,
     0.00955936313f,  0.0184695683f,   0.0146867298f,   0.00478478335f,
    -0.00370371575f, -0.00676914724f, -0.00496836612f, -0.00144461915f
};

namespace
{
constexpr int span = PolyphaseInterpolator::numTaps / PolyphaseInterpolator::factor;

/** phases[m][j]: the tap that input m (oldest first) contributes to output j,
    times the factor that makes up for the zeros stuffed between inputs. */
struct Phases
{
    alignas (16) float taps[span][PolyphaseInterpolator::factor];

    Phases() noexcept
    {
        constexpr int f = PolyphaseInterpolator::factor;
        for (int m = 0; m < span; ++m)
            for (int j = 0; j < f; ++j)
                taps[m][j] = PolyphaseInterpolator::taps[j + f * (span - 1 - m)] * (float) f;
    }
};

const Phases phases;

static_assert (PolyphaseInterpolator::factor == 4, "one output per lane of a four-float vector");

void interpolate (const float* inputs, float* out) noexcept
{
    // Oldest input first: the same sums, in the same order, as a running
    // convolution. The four outputs are summed side by side, each lane doing
    // exactly the multiplications and additions a scalar sum would.
#if defined(__SSE2__)
    __m128 sum = _mm_setzero_ps();
    for (int m = 0; m < span; ++m)
        sum = _mm_add_ps (sum, _mm_mul_ps (_mm_set1_ps (inputs[m]), _mm_load_ps (phases.taps[m])));
    _mm_storeu_ps (out, sum);
#else
    float sum[PolyphaseInterpolator::factor] = {};
    for (int m = 0; m < span; ++m)
        for (int j = 0; j < PolyphaseInterpolator::factor; ++j)
            sum[j] += inputs[m] * phases.taps[m][j];
    for (int j = 0; j < PolyphaseInterpolator::factor; ++j)
        out[j] = sum[j];
#endif
}
}

PolyphaseInterpolator::PolyphaseInterpolator() noexcept
{
    reset();
}

void PolyphaseInterpolator::reset() noexcept
{
    for (int i = 0; i < 2 * span; ++i)
        historyLeft[i] = historyRight[i] = 0.0f;
    newest = 0;
    silentInputs = span;
}

void PolyphaseInterpolator::process (float left, float right, float* leftOut, float* rightOut) noexcept
{
    // Silence after silence: every input that reaches the outputs is zero, so
    // they are too (a deck without a signal costs nothing here).
    if (left == 0.0f && right == 0.0f)
    {
        if (silentInputs >= span)
        {
            for (int j = 0; j < factor; ++j)
                leftOut[j] = rightOut[j] = 0.0f;
            return;
        }
        ++silentInputs;
    }
    else
    {
        silentInputs = 0;
    }

    newest = (newest + 1) % span;
    historyLeft[newest] = historyLeft[newest + span] = left;
    historyRight[newest] = historyRight[newest + span] = right;

    interpolate (historyLeft + newest + 1, leftOut);
    interpolate (historyRight + newest + 1, rightOut);
}
}
