#include "patterns/dab_target.h"

#include "settings/globals.h"
#include "shell/suites.h"

namespace {

enum DabTarget : std::int32_t {
    kSymbol = 0,
    kViewCentre = 1,
    kEntireDocument = 2,
    kCorner = 3,
    kHorizontalIncrease = 4,
    kVerticalIncrease = 5,
    kDiagonalIncrease = 6,
    kStartPoint = 7,
    kBottom = 8,
    kTop = 9,
    kLeft = 10,
    kRight = 11,
    kFrame = 12,
};

// A random point on one page edge: one draw along it.
HostPoint EdgePoint(std::int32_t edge, float width, float height)
{
    switch (edge) {
    case kBottom:
        return HostPoint{Draw() * width, 0.0f};
    case kTop:
        return HostPoint{Draw() * width, height};
    case kLeft:
        return HostPoint{0.0f, Draw() * height};
    default:
        return HostPoint{width, Draw() * height};
    }
}

}  // namespace

HostPoint ResolveDabTarget(std::int32_t interpolationTarget, const StepValues& step)
{
    const Globals& g = *gGlobals;
    const HostPoint p = g.currentPoint;
    const auto n = static_cast<float>(g.stepCount);
    const float w = step.documentWidth;
    const float h = step.documentHeight;
    switch (interpolationTarget) {
    case kViewCentre:
        return step.viewCentre;
    case kEntireDocument: {
        const float x = Draw() * w;
        return HostPoint{x, Draw() * h};
    }
    case kCorner:
        return HostPoint{0.0f, 0.0f};
    case kHorizontalIncrease:
        return HostPoint{p.h + n, p.v};
    case kVerticalIncrease:
        return HostPoint{p.h, p.v + n};
    case kDiagonalIncrease:
        return HostPoint{p.h + n, p.v + n};
    case kStartPoint:
        return g.startPoint;
    case kBottom:
    case kTop:
    case kLeft:
    case kRight:
        return EdgePoint(interpolationTarget, w, h);
    case kFrame: {
        const float v = 100.0f * Draw();
        if (v < 25.0f) return EdgePoint(kBottom, w, h);
        if (v < 50.0f) return EdgePoint(kTop, w, h);
        if (v < 75.0f) return EdgePoint(kLeft, w, h);
        return EdgePoint(kRight, w, h);
    }
    case kSymbol:
    default:
        return p;
    }
}

HostPoint InterpolateDabPoint(HostPoint base, HostPoint pointer, float t)
{
    HostPoint dabPoint = pointer;
    Suite<RealMathSuite>()->InterpolatePoint(&base, &pointer, t, &dabPoint);
    return dabPoint;
}
