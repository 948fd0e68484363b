#pragma once

#include "engine/effects/FXBaseClass.h"

namespace zund
{
/** No built-in effect: carries the effect settings while only hosted plug-ins run. */
class ThruFX : public FXBaseClass
{
public:
    void process (float*, float*, int) noexcept override {}
};
}
