#include "engine/placement.h"
#include "patterns/brush_shapes.h"
#include "patterns/mirror.h"
#include "settings/globals.h"
#include "shell/suites.h"

namespace {

struct Brush {
    float halfWidth;
    float halfHeight;
    float angle;     // φ: the brush's frame is turned clockwise by it
    float dabAngle;  // the dab's full angle, which aligned bristles share
};

Brush SizeBrush(const StepValues& step)
{
    const Globals& g = *gGlobals;
    Brush brush{};
    brush.halfWidth = g.brushWidth * 0.5f;
    brush.halfHeight = g.brushHeight * 0.5f;
    // The brush follows the dab's random scale and its shrinking.
    if (g.syncBrushToDab != 0) {
        const float f = g.orderedShrinkScale * g.dabShrinkScale;
        brush.halfWidth = brush.halfWidth * step.dabScaleH * f;
        brush.halfHeight = brush.halfHeight * step.dabScaleV * f;
    }
    if (g.randomBrushWidth != 0) brush.halfWidth = Draw() * brush.halfWidth;
    if (g.randomBrushHeight != 0) brush.halfHeight = Draw() * brush.halfHeight;
    brush.halfWidth = brush.halfWidth * step.widthPressure * g.brushResizeScale;
    brush.halfHeight = brush.halfHeight * step.widthPressure * g.brushResizeScale;
    if (brush.halfWidth == 0.0f) brush.halfWidth = 1.0f;
    if (brush.halfHeight == 0.0f) brush.halfHeight = 1.0f;
    brush.dabAngle = DabAngle(step);
    brush.angle = g.brushSlantRadians + step.directionAngle - (-kHalfPi);
    return brush;
}

// The bristle's size: the core value on the brush's centre line, the edge
// value at its sides, linear in |x| between them.
float BristleSizeFactor(const StepValues& step, float x, float halfWidth)
{
    if (step.edgeFraction == 1.0f && step.coreFraction == 1.0f) return 1.0f;
    const float sign = x < 0.0f ? -1.0f : 1.0f;
    const float t = sign * x / halfWidth;
    return Suite<RealMathSuite>()->Interpolate(step.edgeFraction, step.coreFraction, t);
}

}  // namespace

bool PlaceBristles(const StepValues& step)
{
    const Globals& g = *gGlobals;
    const SymbolSuite* symbols = Suite<SymbolSuite>();
    const RealMathSuite* math = Suite<RealMathSuite>();
    const Brush brush = SizeBrush(step);
    const HostPoint p = g.currentPoint;

    // Each bristle: a point of the brush, a size and an angle, its symbol,
    // then the instance and its copies, scaled and turned about its own
    // centre before it is moved to its place.
    for (std::int32_t i = 0; i < step.bristleCount; ++i) {
        const HostPoint offset = DrawBristleOffset(g.brushShape, brush.halfWidth, brush.halfHeight);

        float bristleAngle = 0.0f;
        if (g.alignAngleEndpoint != 0) {
            const HostPoint top{0.0f, brush.halfHeight};
            bristleAngle = kHalfPi - math->PointAngle(&top, &offset);
        }
        const float sizeFactor = BristleSizeFactor(step, offset.h, brush.halfWidth);

        SymbolHandle symbol = step.dabSymbol;
        if (g.bristlesRandomSymbols != 0) {
            std::int32_t count = 0;
            symbols->CountSymbols(&count, step.document);
            symbol = nullptr;
            symbols->GetNthSymbol(TruncateDraw(Draw() * static_cast<float>(count)), &symbol, step.document);
        }
        if (symbol == nullptr) return false;

        ArtHandle bristle = nullptr;
        symbols->NewInstanceCenteredOnPoint(symbol, p, kPlaceAboveAll, nullptr, &bristle);
        const MirrorCopies copies = CreateMirrorCopies(symbol, p);

        HostMatrix m{1, 0, 0, 1, 0, 0};
        symbols->GetInstanceMatrix(bristle, &m);
        math->MatrixConcatTranslate(&m, -p.h, -p.v);
        const float sh = g.bristleScaleH * step.dabScaleH * sizeFactor * step.bristlePressure * g.dabShrinkScale *
                         g.orderedShrinkScale * g.initialSizeFraction;
        const float sv = g.bristleScaleV * step.dabScaleV * sizeFactor * step.bristlePressure * g.dabShrinkScale *
                         g.orderedShrinkScale * g.initialSizeFraction;
        math->MatrixConcatScale(&m, sh, sv);
        math->MatrixConcatRotate(&m, bristleAngle + (g.alignBristlesToDab != 0 ? brush.dabAngle : 0.0f));

        // The brush's frame turned clockwise by φ.
        const float sin1 = math->Sin(brush.angle);
        const float cos1 = math->Cos(brush.angle);
        const float sin2 = math->Sin(brush.angle);
        const float cos2 = math->Cos(brush.angle);
        const float h = p.h + step.jitterH + (offset.h * cos1 + offset.v * sin1);
        const float v = p.v + step.jitterV + (offset.v * cos2 - offset.h * sin2);
        math->MatrixConcatTranslate(&m, h, v);
        symbols->SetInstanceMatrix(bristle, &m);

        PlaceMirrorCopies(copies, m, step);
        if (g.expandSymbolDelete != 0) ExpandAndDelete(bristle);
    }
    return true;
}
