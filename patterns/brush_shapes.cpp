#include "patterns/brush_shapes.h"

#include "engine/step_values.h"

#include "shell/suites.h"

namespace {

enum BrushShape : std::int32_t {
    kSquare = 0,
    kRing = 1,
    kLine = 2,
    kCross45 = 3,   // " X brush"
    kCross = 4,
    kArrowhead = 5,
    kSplit = 6,
    kFrame = 7,
    kDoubleRing = 8,
    kTripleRing = 9,
};

constexpr float kPi = 3.1415927f;
constexpr float kThreeHalfPi = 4.712389f;
constexpr float kOneThird = 0.33333334f;
constexpr float kTwoThirds = 0.6666667f;

// A draw compared with a threshold counts as above it only when strictly
// greater; the thresholds are 64-bit values.
bool Above(float u, double threshold) { return static_cast<double>(u) > threshold; }

// Put the point on the ellipse with semi-axes k halfWidth and k halfHeight,
// in the direction of its angle (with the angle's quadrant deciding the
// signs).
HostPoint Ring(HostPoint point, float k, float halfWidth, float halfHeight)
{
    const RealMathSuite* math = Suite<RealMathSuite>();
    const HostPoint origin{0.0f, 0.0f};
    const float theta = math->PointAngle(&origin, &point);
    const float sine = math->Sin(theta);
    const float cosine = math->Cos(theta);
    if (theta <= kPi) return HostPoint{-k * sine * halfWidth, k * cosine * halfHeight};
    if (theta <= kThreeHalfPi) return HostPoint{k * sine * halfWidth, -k * cosine * halfHeight};
    return HostPoint{k * sine * halfWidth, k * cosine * halfHeight};
}

}  // namespace

HostPoint DrawBristleOffset(std::int32_t brushShape, float halfWidth, float halfHeight)
{
    // A point uniform in the rectangle: a sign and a share for each axis.
    const float s1 = Above(Draw(), 0.5) ? -1.0f : 1.0f;
    const float x0 = Draw() * halfWidth * s1;
    const float s2 = Above(Draw(), 0.5) ? -1.0f : 1.0f;
    const float y0 = Draw() * halfHeight * s2;
    HostPoint p{x0, y0};

    switch (brushShape) {
    case kRing:
        return Ring(p, 1.0f, halfWidth, halfHeight);
    case kLine:
        p.h = p.v;
        return p;
    case kCross45:
        p.h = Above(Draw(), 0.5) ? p.v : -p.v;
        return p;
    case kCross:
        if (Above(Draw(), 0.5)) {
            p.v = 0.0f;
        } else {
            p.h = 0.0f;
        }
        return p;
    case kArrowhead:
        p.h = Above(Draw(), 0.5) ? p.v : 2.0f * halfWidth - p.v;
        return p;
    case kSplit:
        if (0.0f < p.h && p.h < halfWidth / 2.0f) {
            p.h = p.h + halfWidth / 2.0f;
        } else if (-halfWidth / 2.0f < p.h && p.h < 0.0f) {
            p.h = p.h - halfWidth / 2.0f;
        }
        return p;
    case kFrame:
        if (Above(Draw(), 0.5)) {
            p.h = Above(Draw(), 0.5) ? -halfWidth / 2.0f : halfWidth / 2.0f;
        } else {
            p.v = Above(Draw(), 0.5) ? -halfHeight / 2.0f : halfHeight / 2.0f;
        }
        return p;
    case kDoubleRing:
        return Ring(p, Above(Draw(), 0.5) ? 1.0f : 0.5f, halfWidth, halfHeight);
    case kTripleRing: {
        float k = 1.0f;
        if (!Above(Draw(), 0.3)) k = Above(Draw(), 0.5) ? kOneThird : kTwoThirds;
        return Ring(p, k, halfWidth, halfHeight);
    }
    case kSquare:
    default:
        return p;
    }
}
