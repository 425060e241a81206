#pragma once
// The working values of one drag step: computed by the step, read by the
// dab, the bristles and the placement patterns, gone when the message ends.
#include <cstdint>

#include "shell/host_types.h"
#include "shell/suites.h"

struct StepValues {
    float pressureFactor = 1.0f;     // pen pressure / 255, or 1 without a pressure device
    float dabSizePressure = 1.0f;
    float bristlePressure = 1.0f;
    float widthPressure = 1.0f;
    float twistPressure = 1.0f;
    float shiftPressure = 1.0f;
    DocumentHandle document = nullptr;
    HostPoint viewCentre{};
    float documentWidth = 0.0f;
    float documentHeight = 0.0f;
    std::int32_t bristleCount = 0;
    float edgeFraction = 0.0f;
    float coreFraction = 0.0f;
    float interpolationFraction = 0.0f;
    bool paintAnywhere = false;
    SymbolHandle dabSymbol = nullptr;
    float dabAngleJitter = 0.0f;     // radians
    float jitterH = 0.0f;            // points
    float jitterV = 0.0f;
    float dabScaleH = 1.0f;
    float dabScaleV = 1.0f;
    float directionAngle = 0.0f;     // radians
};

// The 32-bit float nearest to 0.01 (0x3C23D70A): every percentage becomes a
// fraction by this product.
constexpr float kPercent = 0.01f;

// π/2 as the 32-bit float 1.5707964.
constexpr float kHalfPi = 1.5707964f;

// A random index or count: the product of a draw and a size, truncated
// toward zero. A product that is not a number counts as 0.
inline std::int32_t TruncateDraw(float product)
{
    if (!(product > -2147483648.0f)) return product < 0.0f ? INT32_MIN : 0;
    if (!(product < 2147483648.0f)) return INT32_MAX;
    return static_cast<std::int32_t>(product);
}

// One draw of the host's uniform random number in [0, 1). Every random value
// of a step is one such draw, in the documented order.
inline float Draw() { return Suite<RandomSuite>()->FloatRandom(); }
