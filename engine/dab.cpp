#include "engine/placement.h"
#include "patterns/dab_target.h"
#include "patterns/mirror.h"
#include "settings/globals.h"
#include "shell/suites.h"

float DabAngle(const StepValues& step)
{
    const Globals& g = *gGlobals;
    const float alternate = g.dabCount % 2 == 0 ? g.alternateAngleRadians : 0.0f;
    return g.initialAngleRadians + g.twistTotal + step.directionAngle + step.dabAngleJitter + alternate;
}

ArtHandle PlaceDab(const StepValues& step)
{
    const Globals& g = *gGlobals;
    const SymbolSuite* symbols = Suite<SymbolSuite>();
    const RealMathSuite* math = Suite<RealMathSuite>();
    const HostPoint p = g.currentPoint;

    ArtHandle dab = nullptr;
    symbols->NewInstanceCenteredOnPoint(step.dabSymbol, p, kPlaceAboveAll, nullptr, &dab);
    const MirrorCopies copies = CreateMirrorCopies(step.dabSymbol, p);

    // Scale and turn the dab about its own centre, then move it to its point.
    HostMatrix m{1, 0, 0, 1, 0, 0};
    symbols->GetInstanceMatrix(dab, &m);
    math->MatrixConcatTranslate(&m, -p.h, -p.v);
    const float s = g.initialSizeFraction * g.orderedShrinkScale * g.dabShrinkScale;
    math->MatrixConcatScale(&m, step.dabScaleH * step.dabSizePressure * s, step.dabScaleV * step.dabSizePressure * s);
    math->MatrixConcatRotate(&m, DabAngle(step));

    const HostPoint base = ResolveDabTarget(g.interpolationTarget, step);
    HostPoint dabPoint = InterpolateDabPoint(base, p, step.interpolationFraction);
    dabPoint.h = step.jitterH * step.shiftPressure + dabPoint.h;
    dabPoint.v = step.jitterV * step.shiftPressure + dabPoint.v;
    math->MatrixConcatTranslate(&m, dabPoint.h, dabPoint.v);
    symbols->SetInstanceMatrix(dab, &m);

    PlaceMirrorCopies(copies, m, step);
    return dab;
}

void ExpandAndDelete(ArtHandle instance)
{
    ArtHandle expanded = nullptr;
    Suite<SymbolSuite>()->ExpandInstance(instance, kPlaceAboveAll, nullptr, &expanded);
    Suite<ArtSuite>()->DisposeArt(instance);
}
