#pragma once

#include <initializer_list>
#include <vector>

namespace zund
{
/** A piecewise linear curve over 0..1 with equally spaced points, used for the
    fader, EQ and crossfader laws. */
class CurveTable
{
public:
    CurveTable() = default;
    CurveTable (std::initializer_list<float> points);

    void add (float point);
    int size() const noexcept { return (int) points.size(); }

    /** 0 for an empty table; the first point at or below 0 (and for NaN), the
        last at or above 1, linear in between. Never reads past the last point. */
    float lookup (float x) const noexcept;

private:
    std::vector<float> points;
};
}
