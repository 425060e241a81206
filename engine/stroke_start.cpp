#include "engine/stroke.h"

#include <utility>

#include "settings/globals.h"
#include "shell/suites.h"

namespace {

// The 32-bit float nearest to 0.01 (0x3C23D70A).
constexpr float kPercent = 0.01f;

// Put a range's two ends in order; equal ends, or ends that do not compare,
// stay as they are.
void OrderRange(float& low, float& high)
{
    if (low > high) std::swap(low, high);
}

}  // namespace

HostError StartStroke(ToolMessage* message)
{
    Globals& g = *gGlobals;
    if (!SuitesHeld<RealMathSuite, RandomSuite>()) return kNoErr;
    const RealMathSuite* math = Suite<RealMathSuite>();

    g.startPoint = message->cursor;
    g.directionOrigin = g.startPoint;

    g.dabShrinkScale = 1.0f;
    g.orderedShrinkScale = 1.0f;
    g.twistTotal = 0.0f;
    g.dabCount = 1;
    g.paletteOrderIndex = 0;
    g.stepCount = 0;
    g.layerStepCount = 0;
    g.applyRateCount = 0;
    g.brushResizeScale = 1.0f;

    g.alternateAngleRadians = math->DegreeToRadian(g.alternateAngle);
    g.twistStepRadians = math->DegreeToRadian(g.twistAngle);
    g.brushSlantRadians = math->DegreeToRadian(g.brushSlant);

    g.dabShrinkStep = g.dabShrinkPerDab * kPercent;
    g.orderedShrinkStep = g.shrinkFactorOrdered * kPercent;
    g.bristleScaleH = g.bristleResizeH * kPercent;
    g.bristleScaleV = g.bristleResizeV * kPercent;
    g.initialSizeFraction = g.initialSize * kPercent;

    g.initialAngleRadians = math->DegreeToRadian(g.initialAngle);

    g.strokeRandom = Suite<RandomSuite>()->FloatRandom();

    // The popups' positions are the host's hit request codes and part types;
    // a value outside them leaves the code of the last stroke.
    if (static_cast<std::uint32_t>(g.hitTestMode) <= 11) g.hitRequest = g.hitTestMode;
    if (static_cast<std::uint32_t>(g.paintOnTarget) <= 6) g.hitTargetType = static_cast<std::int16_t>(g.paintOnTarget);

    g.dabAngleLowRadians = math->DegreeToRadian(g.dabAngleMin);
    g.dabAngleHighRadians = math->DegreeToRadian(g.dabAngleMax);
    OrderRange(g.dabAngleLowRadians, g.dabAngleHighRadians);
    g.dabScaleHLow = g.dabResizeHMin * kPercent;
    g.dabScaleHHigh = g.dabResizeHMax * kPercent;
    OrderRange(g.dabScaleHLow, g.dabScaleHHigh);
    g.dabScaleVLow = g.dabResizeVMin * kPercent;
    g.dabScaleVHigh = g.dabResizeVMax * kPercent;
    OrderRange(g.dabScaleVLow, g.dabScaleVHigh);
    g.dabJitterHLow = g.dabJitterHMin;
    g.dabJitterHHigh = g.dabJitterHMax;
    OrderRange(g.dabJitterHLow, g.dabJitterHHigh);
    g.dabJitterVLow = g.dabJitterVMin;
    g.dabJitterVHigh = g.dabJitterVMax;
    OrderRange(g.dabJitterVLow, g.dabJitterVHigh);
    return kNoErr;
}
