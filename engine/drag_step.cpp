#include <cstdint>

#include "engine/placement.h"
#include "engine/stroke.h"
#include "settings/globals.h"
#include "shell/suites.h"

namespace {

// 1/255 as the 32-bit float 0x3B808081.
constexpr float kPressureScale = 1.0f / 255.0f;
// How much a held shrink key lowers dabShrinkPerDab per processed event.
constexpr float kShrinkKeyStep = 0.1f;

// low + R (high - low), with a fresh R.
float DrawInRange(float low, float high) { return low + Draw() * (high - low); }

float PressureFactor(std::int32_t flag, float pressureFactor) { return flag != 0 ? pressureFactor : 1.0f; }

// A counter of the settings block plus one, wrapping around at the top as
// 32-bit arithmetic does: the block may hold any value.
std::int32_t Next(std::int32_t count) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u); }

}  // namespace

SymbolHandle ChooseDabSymbol(DocumentHandle document)
{
    Globals& g = *gGlobals;
    const SymbolSuite* symbols = Suite<SymbolSuite>();
    SymbolHandle symbol = nullptr;
    if (g.dabRandomSymbols == 0 && g.dabPaletteOrder == 0) {
        Suite<SymbolPaletteSuite>()->GetCurrentSymbol(&symbol);
    } else {
        std::int32_t count = 0;
        symbols->CountSymbols(&count, document);
        if (g.dabRandomSymbols != 0) {
            symbols->GetNthSymbol(TruncateDraw(Draw() * static_cast<float>(count)), &symbol, document);
        } else {
            symbols->GetNthSymbol(g.paletteOrderIndex, &symbol, document);
            g.paletteOrderIndex = Next(g.paletteOrderIndex);
            if (g.paletteOrderIndex >= count) g.paletteOrderIndex = 0;
        }
    }
    if (symbols->ValidateSymbol(symbol) != 0) return symbol;
    symbol = nullptr;
    symbols->GetNthSymbol(0, &symbol, document);
    return symbols->ValidateSymbol(symbol) != 0 ? symbol : nullptr;
}

void FinishStep(const StepValues& step)
{
    Globals& g = *gGlobals;
    g.dabShrinkScale = g.dabShrinkStep * g.dabShrinkScale;
    g.orderedShrinkScale = g.orderedShrinkStep * g.orderedShrinkScale;
    if (g.paletteOrderIndex == 0) g.orderedShrinkScale = 1.0f;
    g.dabCount = Next(g.dabCount);
    g.twistTotal = g.twistStepRadians * step.twistPressure + g.twistTotal;
    g.brushResizeScale = g.brushResize * g.brushResizeScale * kPercent;
    if (g.dabAlignToDirection != 0) g.directionOrigin = g.currentPoint;
}

bool AdvanceLayer()
{
    Globals& g = *gGlobals;
    if (g.dabsPerLayer == 0) return true;
    if (g.layerStepCount != g.dabsPerLayer) {
        g.layerStepCount = Next(g.layerStepCount);
        return true;
    }
    LayerHandle layer = nullptr;
    if (Suite<LayerSuite>()->InsertLayer(nullptr, kPlaceAboveAll, &layer) != kNoErr) return false;
    g.layerStepCount = 1;
    return true;
}

HostError DragStep(ToolMessage* message)
{
    Globals& g = *gGlobals;

    // Apply rate: skip dabsApplyRate events, then process one.
    if (g.applyRateCount != g.dabsApplyRate) {
        g.applyRateCount = Next(g.applyRateCount);
        return kNoErr;
    }
    if (!SuitesHeld<ToolSuite, DocumentSuite, DocumentViewSuite, TrackerSuite, HitTestSuite, ArtSuite,
                    SymbolPaletteSuite, SymbolSuite, RandomSuite, RealMathSuite, LayerSuite>())
        return kNoErr;

    StepValues step;
    std::int32_t hasPressure = 0;
    Suite<ToolSuite>()->SystemHasPressure(&hasPressure);
    step.pressureFactor = hasPressure != 0 ? static_cast<float>(message->pressure) * kPressureScale : 1.0f;
    step.dabSizePressure = PressureFactor(g.pressureDabSize, step.pressureFactor);
    step.bristlePressure = PressureFactor(g.pressureBristles, step.pressureFactor);
    step.widthPressure = PressureFactor(g.pressureWidth, step.pressureFactor);
    step.twistPressure = PressureFactor(g.pressureTwist, step.pressureFactor);
    step.shiftPressure = PressureFactor(g.pressureDabShift, step.pressureFactor);

    g.applyRateCount = 0;
    g.currentPoint = message->cursor;

    Suite<DocumentSuite>()->GetDocument(&step.document);
    ViewHandle view = nullptr;
    Suite<DocumentViewSuite>()->GetNthDocumentView(0, &view);
    Suite<DocumentViewSuite>()->GetDocumentViewCenter(view, &step.viewCentre);
    DocumentSetup setup{};
    Suite<DocumentSuite>()->GetDocumentSetup(&setup);
    step.documentWidth = setup.width;
    step.documentHeight = setup.height;

    step.bristleCount = g.bristlesPerDab;
    if (g.randomBristleCount != 0) step.bristleCount = TruncateDraw(Draw() * static_cast<float>(g.bristlesPerDab));

    step.edgeFraction = g.edgeResize * kPercent;
    step.coreFraction = g.coreResize * kPercent;
    step.interpolationFraction = g.interpolationAmount * kPercent;
    step.paintAnywhere = g.paintAnywhere != 0;

    // Modifier keys, each test with a fresh reading: shrink wins over the
    // other two.
    const TrackerSuite* tracker = Suite<TrackerSuite>();
    if ((tracker->GetModifiers(nullptr) & kShrinkModifier) != 0) {
        g.dabShrinkPerDab = g.dabShrinkPerDab - kShrinkKeyStep;
        if (g.dabShrinkPerDab < 1.0f) g.dabShrinkPerDab = 1.0f;
        g.dabShrinkStep = g.dabShrinkPerDab * kPercent;
    } else if ((tracker->GetModifiers(nullptr) & kPauseModifier) != 0) {
        return kNoErr;
    } else if ((tracker->GetModifiers(nullptr) & kTargetOnlyModifier) != 0) {
        step.paintAnywhere = false;
    }

    // The hit test is always made; the art type is asked even when nothing
    // was hit.
    HitRef hit = nullptr;
    Suite<HitTestSuite>()->HitTest(nullptr, &g.currentPoint, g.hitRequest, &hit);
    HitData hitData{};
    Suite<HitTestSuite>()->GetHitData(hit, &hitData);
    std::int16_t artType = 0;
    Suite<ArtSuite>()->GetArtType(hitData.object, &artType);

    if (g.randomCreate != 0 && Draw() > 0.5f) return kNoErr;

    if (!step.paintAnywhere) {
        const bool onTarget = hitData.hit != 0 && hitData.type == g.hitTargetType &&
                              (artType != kSymbolInstanceArtType || g.overlapPaint != 0);
        if (!onTarget) return kNoErr;
    }

    step.dabSymbol = ChooseDabSymbol(step.document);
    if (step.dabSymbol != nullptr) {
        step.dabAngleJitter = DrawInRange(g.dabAngleLowRadians, g.dabAngleHighRadians);
        step.jitterH = DrawInRange(g.dabJitterHLow, g.dabJitterHHigh);
        step.jitterV = DrawInRange(g.dabJitterVLow, g.dabJitterVHigh);
        step.dabScaleH = DrawInRange(g.dabScaleHLow, g.dabScaleHHigh);
        step.dabScaleV = DrawInRange(g.dabScaleVLow, g.dabScaleVHigh);
        if (g.dabLinkResize != 0) step.dabScaleV = step.dabScaleH;

        step.directionAngle = 0.0f;
        if (g.dabAlignToDirection != 0)
            step.directionAngle = Suite<RealMathSuite>()->PointAngle(&g.directionOrigin, &g.currentPoint);

        ArtHandle dab = nullptr;
        if (g.applyBristlesAndDab != 0) dab = PlaceDab(step);

        if (!PlaceBristles(step)) return kNoErr;
        // The dab's expansion comes after all bristles of the step.
        if (g.expandSymbolDelete != 0 && dab != nullptr) ExpandAndDelete(dab);

        FinishStep(step);
    }
    if (!AdvanceLayer()) return kNoErr;
    g.stepCount = Next(g.stepCount);
    return kNoErr;
}
